#pragma once

#include <filesystem>

namespace pelmar::bench {

// A classic with PELMAR_BENCH_TRACKS tracks (100,000 by default) and artwork for most albums,
// written afresh to the temporary folder. Its thumbnail files are sparse, so that the player
// takes megabytes rather than gigabytes: every cover decodes as black, at the cost of any
// other. Ends the process when the player cannot be written.
[[nodiscard]] std::filesystem::path coverBenchPlayerRoot();

// Where the artwork folder of the cover bench player is put while the same player is measured
// without covers.
[[nodiscard]] std::filesystem::path artworkFolderOf(const std::filesystem::path& root);

}  // namespace pelmar::bench
