#pragma once

#include <array>
#include <string_view>

namespace pelmar {

// The folder templates, in the order the options page lists them.
inline constexpr std::array<std::string_view, 9> kFolderTemplates = {
    "[ No subfolders ]",       "Artist\\",        "Artist\\Album\\",
    "Artist - Album\\",        "Genre\\Artist\\", "Genre\\Artist\\Album\\",
    "Genre\\Artist - Album\\", "Composer\\",      "Composer\\Album\\",
};

// The file templates, in the order the options page lists them.
inline constexpr std::array<std::string_view, 6> kFileTemplates = {
    "Artist - Album - Track# - Title.ext",
    "Artist - Title.ext",
    "Album - Track# - Title.ext",
    "Track# - Title.ext",
    "Track# Title.ext",
    "Composer - Album - Track# - Title.ext",
};

// What to do with a file that exists already; any other stored text means the first.
inline constexpr std::string_view kExistDoNotCopy = "do not copy";
inline constexpr std::string_view kExistOverwrite = "overwrite existing file";
inline constexpr std::string_view kExistCopyToNewName = "copy to new name";
inline constexpr std::array<std::string_view, 3> kExistingFileChoices = {
    kExistDoNotCopy, kExistOverwrite, kExistCopyToNewName};

inline constexpr std::string_view kDefaultFolderTemplate = kFolderTemplates[0];
inline constexpr std::string_view kDefaultFileTemplate = kFileTemplates[0];

}  // namespace pelmar
