#pragma once

#include <filesystem>
#include <string_view>

namespace pelmar::bench {

// The player a benchmark measures: PELMAR_BENCH_PLAYER when set, else a player without media
// files written afresh to the temporary folder "pelmar-<name>-<tracks>" with PELMAR_BENCH_TRACKS
// tracks (100,000 by default). Ends the process when the player cannot be written.
[[nodiscard]] std::filesystem::path benchPlayerRoot(std::string_view name);

}  // namespace pelmar::bench
