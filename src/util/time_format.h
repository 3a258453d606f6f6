#pragma once

#include <cstdint>
#include <string>

namespace pelmar {

// `time` in seconds since 1970 formatted with a strftime pattern, in UTC or in local time. A
// negative time, a failed conversion or a result longer than 127 characters gives "".
[[nodiscard]] std::string formatTimeUtc(std::int64_t time, const char* pattern);
[[nodiscard]] std::string formatTimeLocal(std::int64_t time, const char* pattern);

// A player's Unix time as its users read it: the 32-bit value taken as signed, so times before
// 1970 (a never-played track among them) become negative and format as "".
[[nodiscard]] constexpr std::int64_t signedPlayerTime(std::uint32_t unixTime) {
    return static_cast<std::int32_t>(unixTime);
}

}  // namespace pelmar
