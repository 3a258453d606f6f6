#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar::test {

// Numeric fields of a track header, at their offsets in the record.
struct TrackHeader {
    std::uint32_t id = 0;
    std::uint32_t childCount = 0;
    std::uint32_t headerLength = 584;
    std::uint8_t rating = 0;     // +31, the user's rating
    std::uint8_t appRating = 0;  // +121, the desktop application's copy
    std::uint32_t size = 0;
    std::uint32_t lengthMs = 0;
    std::uint32_t trackNumber = 0;
    std::uint32_t year = 0;
    std::uint32_t bitrate = 0;
    std::uint32_t playCount = 0;
    std::uint32_t lastPlayed = 0;
    std::uint16_t bpm = 0;
    std::uint32_t mediaKind = 1;
    std::uint64_t databaseId = 0;  // +112
};

// Assembles music database bytes record by record, the way the tests want them, including
// shapes no well-behaved writer produces.
class DatabaseBytes {
  public:
    DatabaseBytes& root(std::uint32_t headerLength = 0x68);
    // A dataset header; its total length covers everything up to the next dataset or the end,
    // unless `totalLength` is given.
    DatabaseBytes& dataset(std::uint32_t type, std::int64_t totalLength = -1);
    DatabaseBytes& trackList(std::uint32_t count);
    DatabaseBytes& track(const TrackHeader& header);
    // A string child in UTF-16LE (encoding 1).
    DatabaseBytes& string(std::uint32_t type, std::u16string_view text);
    // A string child in UTF-8 (encoding 2).
    DatabaseBytes& utf8String(std::uint32_t type, std::string_view text);
    // A string child with the given body bytes after the 24-byte header.
    DatabaseBytes& stringWithBody(std::uint32_t type, const std::vector<std::uint8_t>& body);
    DatabaseBytes& playlistList(std::uint32_t count);
    DatabaseBytes& playlist();
    DatabaseBytes& playlistItem(std::uint32_t trackId);
    // A record of any kind with a zeroed header of the given length.
    DatabaseBytes& record(std::string_view tag, std::uint32_t headerLength);
    DatabaseBytes& raw(const std::vector<std::uint8_t>& bytes);

    [[nodiscard]] std::vector<std::uint8_t> bytes() const;

  private:
    std::vector<std::uint8_t> data_;
    std::vector<std::size_t> openDatasets_;
    std::vector<std::int64_t> statedTotals_;
};

std::vector<std::uint8_t> utf16le(std::u16string_view text);
void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

}  // namespace pelmar::test
