#include <stdexcept>
#include <string>

#include "player_image/player_image.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kHeaderLength = 0x60;
constexpr std::uint32_t kShortestEntry = 12;

// Writes a little-endian field into one entry, if the entry is long enough to hold it.
void putField(std::uint8_t* entry, std::uint32_t entryLength, std::uint32_t offset,
              std::uint32_t value, std::uint32_t width) {
    if (offset + width > entryLength) {
        return;
    }
    for (std::uint32_t i = 0; i < width; ++i) {
        entry[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::vector<std::uint8_t> playCountBytes(const PlayerImage& image, std::uint32_t entryLength) {
    if (entryLength < kShortestEntry) {
        throw std::invalid_argument("play-count entries of " + std::to_string(entryLength) +
                                    " bytes cannot hold plays, time and bookmark");
    }
    const auto count = static_cast<std::uint32_t>(image.playCounts.size());
    std::vector<std::uint8_t> bytes(kHeaderLength + std::size_t{entryLength} * count, 0);
    bytes[0] = 'm';
    bytes[1] = 'h';
    bytes[2] = 'd';
    bytes[3] = 'p';
    putField(bytes.data(), kHeaderLength, 4, kHeaderLength, 4);
    putField(bytes.data(), kHeaderLength, 8, entryLength, 4);
    putField(bytes.data(), kHeaderLength, 12, count, 4);

    std::uint8_t* entry = bytes.data() + kHeaderLength;
    for (const PlayCountEntry& played : image.playCounts) {
        putField(entry, entryLength, 0, played.plays, 4);
        putField(entry, entryLength, 4, played.lastPlayed, 4);
        putField(entry, entryLength, 8, played.bookmark, 4);
        putField(entry, entryLength, 12, played.rating, 1);
        // +16 is a word of unknown meaning in 20-byte and longer entries; it stays zero.
        putField(entry, entryLength, 20, played.skipCount, 4);
        putField(entry, entryLength, 24, played.lastSkipped, 4);
        entry += entryLength;
    }
    return bytes;
}

}  // namespace pelmar::player_image
