#pragma once

#include <cstdint>
#include <string>

namespace pelmar {

class SettingsStore;

// The backup options a run works with, read from the settings when it starts.
struct TransferOptions {
    std::string destinationFolder;  // without a trailing "/" unless it is "/"
    std::string folderTemplate;
    std::string fileTemplate;
    std::string existHandling;
    std::uint32_t enableITunes = 0;
    std::uint32_t saveArtwork = 1;  // each track's folder receives its album's cover
    std::uint32_t writeTags = 0;    // ratings, play counts and missing tags go into the copies
};

// The options as the worker reads them, each with the worker's own default.
[[nodiscard]] TransferOptions readTransferOptions(const SettingsStore& settings);

}  // namespace pelmar
