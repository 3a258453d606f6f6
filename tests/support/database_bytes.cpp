#include "support/database_bytes.h"

#include <algorithm>

namespace pelmar::test {

void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::vector<std::uint8_t> utf16le(std::u16string_view text) {
    std::vector<std::uint8_t> out;
    for (const char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return out;
}

namespace {

std::vector<std::uint8_t> header(std::string_view tag, std::uint32_t headerLength) {
    std::vector<std::uint8_t> h(std::max<std::uint32_t>(headerLength, 8), 0);
    for (std::size_t i = 0; i < 4 && i < tag.size(); ++i) {
        h[i] = static_cast<std::uint8_t>(tag[i]);
    }
    put32(h, 4, headerLength);
    return h;
}

std::vector<std::uint8_t> stringBody(std::uint32_t encoding,
                                     const std::vector<std::uint8_t>& text) {
    std::vector<std::uint8_t> body(16, 0);
    put32(body, 0, encoding);
    put32(body, 4, static_cast<std::uint32_t>(text.size()));
    body.insert(body.end(), text.begin(), text.end());
    return body;
}

}  // namespace

DatabaseBytes& DatabaseBytes::raw(const std::vector<std::uint8_t>& bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}

DatabaseBytes& DatabaseBytes::record(std::string_view tag, std::uint32_t headerLength) {
    return raw(header(tag, headerLength));
}

DatabaseBytes& DatabaseBytes::root(std::uint32_t headerLength) {
    auto h = header("mhbd", headerLength);
    if (headerLength >= 16) {
        put32(h, 12, 0x0C);
    }
    return raw(h);
}

DatabaseBytes& DatabaseBytes::dataset(std::uint32_t type, std::int64_t totalLength) {
    auto h = header("mhsd", 96);
    put32(h, 12, type);
    openDatasets_.push_back(data_.size());
    statedTotals_.push_back(totalLength);
    return raw(h);
}

DatabaseBytes& DatabaseBytes::trackList(std::uint32_t count) {
    auto h = header("mhlt", 92);
    put32(h, 8, count);
    return raw(h);
}

DatabaseBytes& DatabaseBytes::track(const TrackHeader& t) {
    auto h = header("mhit", t.headerLength);
    const auto field = [&](std::size_t offset, std::uint32_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) {
            if (offset + i < h.size()) {
                h[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
            }
        }
    };
    field(8, t.headerLength, 4);
    field(12, t.childCount, 4);
    field(16, t.id, 4);
    field(31, t.rating, 1);
    field(36, t.size, 4);
    field(40, t.lengthMs, 4);
    field(44, t.trackNumber, 4);
    field(52, t.year, 4);
    field(56, t.bitrate, 4);
    field(80, t.playCount, 4);
    field(88, t.lastPlayed, 4);
    field(121, t.appRating, 1);
    field(122, t.bpm, 2);
    field(208, t.mediaKind, 4);
    field(112, static_cast<std::uint32_t>(t.databaseId), 4);
    field(116, static_cast<std::uint32_t>(t.databaseId >> 32), 4);
    return raw(h);
}

DatabaseBytes& DatabaseBytes::stringWithBody(std::uint32_t type,
                                             const std::vector<std::uint8_t>& body) {
    auto h = header("mhod", 24);
    put32(h, 8, static_cast<std::uint32_t>(24 + body.size()));
    put32(h, 12, type);
    raw(h);
    return raw(body);
}

DatabaseBytes& DatabaseBytes::string(std::uint32_t type, std::u16string_view text) {
    return stringWithBody(type, stringBody(1, utf16le(text)));
}

DatabaseBytes& DatabaseBytes::utf8String(std::uint32_t type, std::string_view text) {
    return stringWithBody(type, stringBody(2, std::vector<std::uint8_t>(text.begin(), text.end())));
}

DatabaseBytes& DatabaseBytes::playlistList(std::uint32_t count) {
    auto h = header("mhlp", 92);
    put32(h, 8, count);
    return raw(h);
}

DatabaseBytes& DatabaseBytes::playlist() {
    return record("mhyp", 108);
}

DatabaseBytes& DatabaseBytes::playlistItem(std::uint32_t trackId) {
    auto h = header("mhip", 76);
    put32(h, 24, trackId);
    return raw(h);
}

std::vector<std::uint8_t> DatabaseBytes::bytes() const {
    std::vector<std::uint8_t> out = data_;
    for (std::size_t i = 0; i < openDatasets_.size(); ++i) {
        const std::size_t start = openDatasets_[i];
        const std::size_t end = i + 1 < openDatasets_.size() ? openDatasets_[i + 1] : out.size();
        const std::int64_t stated = statedTotals_[i];
        put32(out, start + 8,
              stated >= 0 ? static_cast<std::uint32_t>(stated)
                          : static_cast<std::uint32_t>(end - start));
    }
    return out;
}

}  // namespace pelmar::test
