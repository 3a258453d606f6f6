#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmar {

inline constexpr std::size_t kPathTextCapacity = 260;
inline constexpr std::size_t kTagTextCapacity = 256;

// Seconds between 1904-01-01, the player's epoch, and 1970-01-01.
inline constexpr std::uint32_t kPlayerEpochOffset = 2082844800u;

inline constexpr std::uint8_t kDefaultFileType = 2;

namespace media_kind {
inline constexpr std::uint32_t kPodcast = 4;
// Kinds listed among the videos.
[[nodiscard]] constexpr bool isVideo(std::uint32_t kind) {
    return kind == 2 || kind == 6 || kind == 32 || kind == 64;
}
}  // namespace media_kind

// One track as the music database describes it, times in the player's 1904 epoch.
struct MhTrackData {
    std::string location;  // colon form: ":iPod_Control:Music:F01:X.mp3"
    std::uint8_t fileType = kDefaultFileType;
    std::string artist;
    std::string album;
    std::string title;
    std::string genre;
    std::string composer;
    std::uint32_t size = 0;
    std::uint32_t lengthMs = 0;
    std::uint32_t trackNumber = 0;
    std::uint32_t year = 0;
    std::uint32_t bitrate = 0;
    std::uint32_t playCount = 0;
    std::uint32_t lastPlayed = 0;
    std::uint8_t rating = 0;
    std::uint16_t bpm = 0;
    std::uint32_t mediaKind = 0;
    std::uint64_t databaseId = 0;  // the 64-bit id the player's other databases know it by
    std::uint32_t dateAdded = 0;
    std::uint32_t skipCount = 0;
    std::uint32_t lastSkipped = 0;
    std::uint32_t artworkId = 0;  // the artwork database's image id; 0 for none named
    bool hasArtwork = false;      // the record says the track has artwork
};

// The caller's copy of one track, with times in Unix seconds and the length in seconds.
struct TrackInfo {
    std::string location;
    std::uint8_t fileType = kDefaultFileType;
    std::string artist;
    std::string album;
    std::string title;
    std::string genre;
    std::string composer;
    std::uint32_t size = 0;
    std::uint32_t lengthSeconds = 0;
    std::uint32_t trackNumber = 0;
    std::uint32_t year = 0;
    std::uint32_t bitrate = 0;
    std::uint32_t playCount = 0;
    // Unix seconds, computed in 32-bit arithmetic: a never-played track reads as negative when
    // taken as a signed number.
    std::uint32_t lastPlayed = 0;
    std::uint8_t rating = 0;
    std::uint16_t bpm = 0;
    std::uint64_t databaseId = 0;
    std::uint32_t dateAdded = 0;  // Unix seconds, in the same 32-bit arithmetic as lastPlayed
    std::uint32_t skipCount = 0;
};

}  // namespace pelmar
