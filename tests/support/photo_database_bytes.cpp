#include "support/photo_database_bytes.h"

#include "support/database_bytes.h"

#include <algorithm>

namespace pelmar::test {

namespace {

std::vector<std::uint8_t> header(std::string_view tag, std::uint32_t headerLength,
                                 std::uint32_t totalLength) {
    std::vector<std::uint8_t> h(headerLength, 0);
    for (std::size_t i = 0; i < 4 && i < tag.size(); ++i) {
        h[i] = static_cast<std::uint8_t>(tag[i]);
    }
    put32(h, 4, headerLength);
    if (headerLength >= 12) {
        put32(h, 8, totalLength);
    }
    return h;
}

}  // namespace

PhotoDatabaseBytes& PhotoDatabaseBytes::raw(const std::vector<std::uint8_t>& bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}

PhotoDatabaseBytes& PhotoDatabaseBytes::record(std::string_view tag, std::uint32_t headerLength) {
    return raw(header(tag, headerLength, headerLength));
}

PhotoDatabaseBytes& PhotoDatabaseBytes::image(std::uint32_t id, std::uint32_t modified,
                                              std::uint32_t created) {
    auto h = header("mhii", 152, 152);
    put32(h, 16, id);
    put32(h, 40, modified);
    put32(h, 44, created);
    return raw(h);
}

PhotoDatabaseBytes& PhotoDatabaseBytes::dataObject(std::uint32_t typeWord,
                                                   const std::vector<std::uint8_t>& body) {
    auto h = header("mhod", 24, static_cast<std::uint32_t>(24 + body.size()));
    put32(h, 12, typeWord);
    raw(h);
    return raw(body);
}

PhotoDatabaseBytes& PhotoDatabaseBytes::thumbnail(std::uint32_t format, std::uint32_t offset,
                                                  std::uint32_t size, std::uint32_t typeWord) {
    std::vector<std::uint8_t> ni(76, 0);
    std::copy_n("mhni", 4, ni.begin());
    put32(ni, 4, 76);
    put32(ni, 8, 76);
    put32(ni, 16, format);
    put32(ni, 20, offset);
    put32(ni, 24, size);
    return dataObject(typeWord, ni);
}

PhotoDatabaseBytes& PhotoDatabaseBytes::album() {
    return record("mhba", 148);
}

PhotoDatabaseBytes& PhotoDatabaseBytes::albumName(std::string_view bytes, std::int64_t statedLength,
                                                  std::uint16_t type) {
    std::vector<std::uint8_t> body(12, 0);
    put32(body, 0,
          statedLength >= 0 ? static_cast<std::uint32_t>(statedLength)
                            : static_cast<std::uint32_t>(bytes.size()));
    body[4] = 1;
    body.insert(body.end(), bytes.begin(), bytes.end());
    return dataObject(type, body);
}

PhotoDatabaseBytes& PhotoDatabaseBytes::albumItem(std::uint32_t imageId) {
    auto h = header("mhia", 40, 40);
    put32(h, 16, imageId);
    return raw(h);
}

}  // namespace pelmar::test
