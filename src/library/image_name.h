#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelmar {

// One stored picture as an "mhni" record of the photo or artwork database describes it.
struct ImageName {
    std::uint32_t formatId = 0;
    std::uint32_t offset = 0;      // in its file
    std::uint32_t statedSize = 0;  // the slot's size in bytes
    std::uint16_t verticalPadding = 0;
    std::uint16_t horizontalPadding = 0;
    std::uint16_t height = 0;  // of the picture inside the slot
    std::uint16_t width = 0;
    std::string fileName;  // the string child's text in UTF-8, colon form; empty for none
};

// The same record with its string child's text as stored, for readers that see one name many
// times and decode it once: `text` lies in the body given, `utf16` says how it is encoded, and
// `hasText` is false when the child is missing, damaged or not a string.
struct ImageRecord {
    ImageName fields;  // fileName left empty
    std::span<const std::uint8_t> text;
    bool utf16 = false;
    bool hasText = false;
};
[[nodiscard]] std::optional<ImageRecord> parseImageRecord(std::span<const std::uint8_t> body);

// The stored text of a record as UTF-8; nothing when it is not valid in its encoding. The text
// ends at its first NUL.
[[nodiscard]] std::optional<std::string> decodeImageText(std::span<const std::uint8_t> text,
                                                         bool utf16);

// Reads the "mhni" record at the start of `body` (a data object's body) and its string child.
// Nothing when the body does not start with an "mhni" header. A child that is missing, damaged,
// not a string, or whose text is not valid UTF-8 or UTF-16 leaves fileName empty; the text ends
// at its first NUL.
[[nodiscard]] std::optional<ImageName> parseImageName(std::span<const std::uint8_t> body);

// The path below the player's root of a colon-form name inside `folder`: ":Full Resolution:
// 2005:IMG.JPG" in "Photos" gives "Photos/Full Resolution/2005/IMG.JPG". Empty for a name with
// no component, or with one that is empty, "." or "..", or holds a "/" or a NUL.
[[nodiscard]] std::string playerRelativePath(std::string_view folder, std::string_view colonName);

}  // namespace pelmar
