#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "player_image/byte_sink.h"

// Writing the image's files, each step returning false with a message in `error` on failure.
namespace pelmar::player_image {

bool createFolder(const std::filesystem::path& folder, std::string& error);
bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
               std::string& error);
bool writeText(const std::filesystem::path& path, std::string_view text, std::string& error);
// Removes a file or a folder with everything in it; nothing there is no failure.
bool removeOld(const std::filesystem::path& path, std::string& error);

// Streams what `writeContent` appends into the file at `path`.
template <typename WriteContent>
bool writeStreamed(const std::filesystem::path& path, std::string& error,
                   WriteContent writeContent) {
    FileSink sink(path);
    writeContent(sink);
    if (!sink.finish()) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

}  // namespace pelmar::player_image
