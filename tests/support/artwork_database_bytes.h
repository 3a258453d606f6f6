#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/database_bytes.h"

namespace pelmar::test {

// One stored picture as an "mhni" record states it; a name in encoding 2 is written as UTF-16LE.
struct PictureRecord {
    std::uint32_t format = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    std::string fileName;  // colon form, ":F1060_1.ithmb"
    std::uint8_t encoding = 1;
    std::uint32_t topAndLeft = 0;      // +28: vertical padding, then horizontal
    std::uint32_t heightAndWidth = 0;  // +32
};

inline std::vector<std::uint8_t> recordHeader(std::string_view tag, std::uint32_t headerLength,
                                              std::uint32_t totalLength) {
    std::vector<std::uint8_t> header(headerLength, 0);
    std::copy(tag.begin(), tag.end(), header.begin());
    put32(header, 4, headerLength);
    put32(header, 8, totalLength);
    return header;
}

// A record of `headerLength` with `body` after it, its total length covering both.
inline std::vector<std::uint8_t> withBody(std::string_view tag, std::uint32_t headerLength,
                                          std::uint32_t type,
                                          const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> record =
        recordHeader(tag, headerLength, static_cast<std::uint32_t>(headerLength + body.size()));
    put32(record, 12, type);
    record.insert(record.end(), body.begin(), body.end());
    return record;
}

// The body of a picture reference: the "mhni" header and its file-name string child.
inline std::vector<std::uint8_t> pictureBody(const PictureRecord& picture) {
    std::vector<std::uint8_t> name(12, 0);
    for (const char c : picture.fileName) {
        name.push_back(static_cast<std::uint8_t>(c));
        if (picture.encoding == 2) {
            name.push_back(0);
        }
    }
    put32(name, 0, static_cast<std::uint32_t>(name.size() - 12));
    name[4] = picture.encoding;
    std::vector<std::uint8_t> body = withBody("mhni", 76, 1, withBody("mhod", 24, 3, name));
    put32(body, 16, picture.format);
    put32(body, 20, picture.offset);
    put32(body, 24, picture.size);
    put32(body, 28, picture.topAndLeft);
    put32(body, 32, picture.heightAndWidth);
    return body;
}

// Assembles artwork database bytes record by record.
class ArtworkDatabaseBytes {
  public:
    ArtworkDatabaseBytes& dataset(std::uint16_t type) {
        return raw(withBody("mhsd", 96, type, {}));
    }
    ArtworkDatabaseBytes& image(std::uint32_t id, std::uint64_t trackDatabaseId = 0) {
        std::vector<std::uint8_t> header = recordHeader("mhii", 152, 152);
        put32(header, 16, id);
        put32(header, 20, static_cast<std::uint32_t>(trackDatabaseId));
        put32(header, 24, static_cast<std::uint32_t>(trackDatabaseId >> 32));
        return raw(header);
    }
    ArtworkDatabaseBytes& picture(const PictureRecord& record, std::uint32_t typeWord = 2) {
        return raw(withBody("mhod", 24, typeWord, pictureBody(record)));
    }
    ArtworkDatabaseBytes& raw(const std::vector<std::uint8_t>& bytes) {
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return *this;
    }

    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return data_; }

  private:
    std::vector<std::uint8_t> data_;
};

}  // namespace pelmar::test
