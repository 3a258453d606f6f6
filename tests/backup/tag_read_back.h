#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <taglib/tpropertymap.h>

namespace pelmar::test {

// What a second reader finds in a file: the texts under the tag library's common names, the
// FMPS fields, the popularimeter (ID3v2 only) and the pictures' bytes.
struct ReadBack {
    bool opened = false;
    TagLib::PropertyMap texts;
    std::string rating;
    std::string playCount;
    int popularimeterRating = -1;
    unsigned popularimeterCount = 0;
    std::vector<std::string> pictures;

    [[nodiscard]] std::string text(const char* name) const {
        const auto found = texts.find(name);
        return found == texts.end() || found->second.isEmpty() ? std::string()
                                                               : found->second.front().to8Bit(true);
    }
};

// Reads the file with the tag library, as another program would: by its extension.
[[nodiscard]] ReadBack readBack(const std::filesystem::path& path);

}  // namespace pelmar::test
