#include "util/time_format.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "util/scoped_variable.h"

namespace pelmar {
namespace {

constexpr std::uint32_t kPlayerEpochOffset = 2082844800u;

std::int64_t fromPlayerTime(std::uint32_t playerTime) {
    return signedPlayerTime(playerTime - kPlayerEpochOffset);
}

TEST(FormatTime, UtcFollowsThePattern) {
    EXPECT_EQ(formatTimeUtc(0, "%Y-%m-%d"), "1970-01-01");
    EXPECT_EQ(formatTimeUtc(1700000000, "%m/%d/%Y %I:%M %p"), "11/14/2023 10:13 PM");
    EXPECT_EQ(formatTimeUtc(1700000000, ""), "");
}

TEST(FormatTime, MissingPatternOrNegativeTimeGivesNothing) {
    EXPECT_EQ(formatTimeUtc(0, nullptr), "");
    EXPECT_EQ(formatTimeLocal(0, nullptr), "");
    EXPECT_EQ(formatTimeUtc(-1, "%Y"), "");
    EXPECT_EQ(formatTimeLocal(-1, "%Y"), "");
}

TEST(FormatTime, ResultLongerThan127CharactersGivesNothing) {
    const std::string fits(127, 'x');
    EXPECT_EQ(formatTimeUtc(0, fits.c_str()), fits);
    const std::string tooLong(128, 'x');
    EXPECT_EQ(formatTimeUtc(0, tooLong.c_str()), "");
    const std::string expandsPastTheLimit = std::string(120, 'x').append("%Y-%m-%d");
    EXPECT_EQ(formatTimeUtc(0, expandsPastTheLimit.c_str()), "");
}

TEST(FormatTime, LocalTimeFollowsTheTimeZone) {
    {
        const test::ScopedVariable zone("TZ", "UTC+05:00");
        ::tzset();
        EXPECT_EQ(formatTimeLocal(0, "%Y-%m-%d %H:%M"), "1969-12-31 19:00");
        EXPECT_EQ(formatTimeUtc(0, "%Y-%m-%d %H:%M"), "1970-01-01 00:00");
    }
    ::tzset();
}

TEST(FormatTime, PlayerTimesShowTheirStoredClockFrom1970To2038) {
    EXPECT_EQ(formatTimeUtc(fromPlayerTime(kPlayerEpochOffset), "%Y-%m-%d"), "1970-01-01");
    EXPECT_EQ(formatTimeUtc(fromPlayerTime(0), "%Y-%m-%d"), "") << "never played";
    EXPECT_EQ(formatTimeUtc(fromPlayerTime(kPlayerEpochOffset + 0x7FFFFFFFu), "%Y-%m-%d %H:%M:%S"),
              "2038-01-19 03:14:07");
    EXPECT_EQ(formatTimeUtc(fromPlayerTime(kPlayerEpochOffset + 0x80000000u), "%Y"), "");
}

}  // namespace
}  // namespace pelmar
