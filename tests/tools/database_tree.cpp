#include "tools/database_tree.h"

#include <stdexcept>

namespace pelmar::player_image::test {
namespace {

constexpr std::size_t kChildHeaderLength = 24;
constexpr std::size_t kStringHeaderLength = 16;
constexpr std::size_t kPhotoStringHeaderLength = 12;
constexpr std::uint32_t kThumbnailContainerType = 2;
constexpr std::uint32_t kOriginalContainerType = 5;

bool isListHeader(const std::string& tag) {
    return tag == "mhlt" || tag == "mhlp" || tag == "mhla" || tag == "mhli" || tag == "mhlf";
}

enum class Layout { Music, Photos };

class TreeParser {
  public:
    TreeParser(std::span<const std::uint8_t> bytes, DatabaseTree& tree, Layout layout)
        : bytes_(bytes), tree_(tree), layout_(layout) {}

    // Parses the records lying exactly within [begin, end).
    std::vector<Record> parseRange(std::size_t begin, std::size_t end) {
        std::vector<Record> records;
        std::size_t pos = begin;
        while (pos < end) {
            if (end - pos < 12) {
                problem(pos, "record head cut off");
                return records;
            }
            Record record = parseHead(pos);
            const std::size_t length =
                isListHeader(record.tag) ? record.headerLength : record.totalLength;
            if (record.headerLength < 12 || length < record.headerLength || length > end - pos) {
                problem(pos, record.tag + " lengths do not fit its parent");
                return records;
            }
            record.bytes = bytes_.subspan(pos, length);
            if (isLeaf(record)) {
                tree_.bytesCovered += length;
            } else {
                tree_.bytesCovered += record.headerLength;
                record.children = parseRange(pos + record.headerLength, pos + length);
            }
            pos += length;
            records.push_back(std::move(record));
        }
        return records;
    }

  private:
    [[nodiscard]] bool isLeaf(const Record& record) const {
        if (isListHeader(record.tag)) {
            return true;
        }
        if (record.tag != "mhod") {
            return false;
        }
        return layout_ == Layout::Music || record.headerLength < 16 ||
               (record.childType() != kThumbnailContainerType &&
                record.childType() != kOriginalContainerType);
    }

    Record parseHead(std::size_t pos) {
        Record record;
        record.tag.assign(reinterpret_cast<const char*>(bytes_.data() + pos), 4);
        record.offset = pos;
        record.bytes = bytes_.subspan(pos, 12);
        record.headerLength = record.u32(4);
        record.totalLength = record.u32(8);
        return record;
    }

    void problem(std::size_t pos, const std::string& what) {
        tree_.problems.push_back("at " + std::to_string(pos) + ": " + what);
    }

    std::span<const std::uint8_t> bytes_;
    DatabaseTree& tree_;
    Layout layout_;
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string utf16ToUtf8(std::span<const std::uint8_t> text) {
    std::string out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        char32_t unit = text[i] | (text[i + 1] << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < text.size()) {
            const char32_t low = text[i + 2] | (text[i + 3] << 8);
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        appendUtf8(out, unit);
    }
    return out;
}

DatabaseTree parseTree(std::span<const std::uint8_t> bytes, Layout layout,
                       const std::string& rootTag) {
    DatabaseTree tree;
    TreeParser parser(bytes, tree, layout);
    std::vector<Record> top = parser.parseRange(0, bytes.size());
    if (top.size() != 1 || top.front().tag != rootTag) {
        tree.problems.push_back("the file is not one " + rootTag + " record");
    } else {
        tree.root = std::move(top.front());
    }
    return tree;
}

std::span<const std::uint8_t> photoStringBody(const Record& child) {
    const std::span<const std::uint8_t> body = child.bytes.subspan(child.headerLength);
    if (body.size() < kPhotoStringHeaderLength ||
        child.u32(child.headerLength) > body.size() - kPhotoStringHeaderLength) {
        throw std::runtime_error("photo string at " + std::to_string(child.offset) +
                                 " claims more text than its body holds");
    }
    return body;
}

}  // namespace

std::uint32_t Record::u32(std::size_t at) const {
    return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                      (std::uint32_t{bytes[at + 3]} << 24));
}

std::uint16_t Record::u16(std::size_t at) const {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::vector<const Record*> Record::childrenTagged(const std::string& childTag) const {
    std::vector<const Record*> found;
    for (const Record& child : children) {
        if (child.tag == childTag) {
            found.push_back(&child);
        }
    }
    return found;
}

std::vector<const Record*> DatabaseTree::datasets(std::uint32_t type) const {
    std::vector<const Record*> found;
    for (const Record* dataset : root.childrenTagged("mhsd")) {
        if (dataset->u32(12) == type) {
            found.push_back(dataset);
        }
    }
    return found;
}

DatabaseTree parseDatabase(std::span<const std::uint8_t> bytes) {
    return parseTree(bytes, Layout::Music, "mhbd");
}

DatabaseTree parsePhotoDatabase(std::span<const std::uint8_t> bytes) {
    return parseTree(bytes, Layout::Photos, "mhfd");
}

std::string stringText(const Record& child) {
    const std::span<const std::uint8_t> body = child.bytes.subspan(kChildHeaderLength);
    const std::uint32_t length = child.u32(kChildHeaderLength + 4);
    if (body.size() < kStringHeaderLength || length > body.size() - kStringHeaderLength) {
        throw std::runtime_error("string child at " + std::to_string(child.offset) +
                                 " claims more text than its body holds");
    }
    const std::span<const std::uint8_t> text = body.subspan(kStringHeaderLength, length);
    if (stringEncoding(child) == 2) {
        return {text.begin(), text.end()};
    }
    return utf16ToUtf8(text);
}

std::uint32_t stringEncoding(const Record& child) {
    return child.u32(kChildHeaderLength);
}

std::string photoStringText(const Record& child) {
    const std::span<const std::uint8_t> body = photoStringBody(child);
    const std::span<const std::uint8_t> text =
        body.subspan(kPhotoStringHeaderLength, child.u32(child.headerLength));
    if (photoStringEncoding(child) == 2) {
        return utf16ToUtf8(text);
    }
    return {text.begin(), text.end()};
}

std::uint8_t photoStringEncoding(const Record& child) {
    return photoStringBody(child)[4];
}

std::span<const std::uint8_t> photoStringPadding(const Record& child) {
    return photoStringBody(child).subspan(kPhotoStringHeaderLength + child.u32(child.headerLength));
}

}  // namespace pelmar::player_image::test
