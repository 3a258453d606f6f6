#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reads a written music or photo database back as a tree of records, by total lengths, without
// the program's own reader: the image writer is checked against the format, not against the
// code it is meant to test.
namespace pelmar::player_image::test {

struct Record {
    std::string tag;
    std::size_t offset = 0;
    std::uint32_t headerLength = 0;
    std::uint32_t totalLength = 0;  // for list headers, just the header
    std::vector<Record> children;   // for datasets, the list header comes first, then its items
    std::span<const std::uint8_t> bytes;  // the whole record

    [[nodiscard]] std::uint32_t u32(std::size_t at) const;
    [[nodiscard]] std::uint16_t u16(std::size_t at) const;
    [[nodiscard]] std::uint8_t u8(std::size_t at) const { return bytes[at]; }
    // The +12 type of an "mhod".
    [[nodiscard]] std::uint32_t childType() const { return u32(12); }
    [[nodiscard]] std::vector<const Record*> childrenTagged(const std::string& childTag) const;
};

struct DatabaseTree {
    Record root;
    // Everything that does not add up, with offsets; empty for a well-formed database.
    std::vector<std::string> problems;
    std::size_t bytesCovered = 0;

    // Datasets of the given type, in file order.
    [[nodiscard]] std::vector<const Record*> datasets(std::uint32_t type) const;
};

[[nodiscard]] DatabaseTree parseDatabase(std::span<const std::uint8_t> bytes);
// The root is "mhfd"; an "mhod" of type 2 (a stored picture) or 5 (an original) holds an "mhni"
// as its child. Artwork databases have the same layout.
[[nodiscard]] DatabaseTree parsePhotoDatabase(std::span<const std::uint8_t> bytes);

// The text of a string child, as UTF-8, following its encoding word.
[[nodiscard]] std::string stringText(const Record& child);
// Body word +0 of a string child.
[[nodiscard]] std::uint32_t stringEncoding(const Record& child);

// A string object of the photo database: body +0 the byte length, +4 the encoding byte (1 UTF-8,
// 2 UTF-16LE), the text from body +12.
[[nodiscard]] std::string photoStringText(const Record& child);
[[nodiscard]] std::uint8_t photoStringEncoding(const Record& child);
// Body bytes after the stated text.
[[nodiscard]] std::span<const std::uint8_t> photoStringPadding(const Record& child);

}  // namespace pelmar::player_image::test
