#pragma once

#include <cstdint>

// Times in the player's files count seconds from 1904-01-01. Images are dated as if last synced
// in September 2012, so generated times never depend on the clock.
namespace pelmar::player_image::player_clock {

inline constexpr std::uint32_t kUnixEpoch = 2082844800U;
inline constexpr std::uint32_t kLibraryStarted = kUnixEpoch + 1072915200U;  // 2004-01-01
inline constexpr std::uint32_t kLastAdded = kUnixEpoch + 1338508800U;       // 2012-06-01
inline constexpr std::uint32_t kLastSync = kUnixEpoch + 1346457600U;        // 2012-09-01
inline constexpr std::uint32_t kImageTaken = kLastSync + 30U * 24U * 3600U;
// 2039-06-15: beyond a signed 32-bit Unix time, still within the player's unsigned one.
inline constexpr std::uint32_t kAfter2038 = kUnixEpoch + 2191743000U;

// The SQLite databases of later players count from 2001-01-01 instead.
inline constexpr std::uint32_t kSqliteEpoch = kUnixEpoch + 978307200U;
// 0 stays 0: never.
[[nodiscard]] constexpr std::uint32_t sqliteTime(std::uint32_t playerTime) {
    return playerTime == 0 ? 0 : playerTime - kSqliteEpoch;
}

}  // namespace pelmar::player_image::player_clock
