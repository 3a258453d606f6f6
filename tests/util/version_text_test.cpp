#include "util/version_text.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(VersionText, LongFormHasAllFourNumbers) {
    EXPECT_EQ(versionText({1, 2, 3, 0}, false), "1.2.3.0");
    EXPECT_EQ(versionText({1, 2, 3, 2}, false), "1.2.3.2");
    EXPECT_EQ(versionText({65535, 0, 10, 65535}, false), "65535.0.10.65535");
}

TEST(VersionText, ShortFormNamesTheFourthNumberByALetter) {
    EXPECT_EQ(versionText({1, 2, 3, 0}, true), "1.2.3");
    EXPECT_EQ(versionText({1, 2, 3, 1}, true), "1.2.3a");
    EXPECT_EQ(versionText({1, 2, 3, 2}, true), "1.2.3b");
    EXPECT_EQ(versionText({1, 2, 3, 26}, true), "1.2.3z");
}

TEST(VersionText, ShortFormNeverHoldsANul) {
    const std::string text = versionText({1, 2, 3, 160}, true);
    EXPECT_EQ(text, "1.2.3") << "160 + 96 wraps to a NUL byte, which ends the text";
}

TEST(VersionText, ProgramVersionIsTheBuildsProjectVersion) {
    const FileVersion version = programVersion();
    EXPECT_EQ(fileVersionText(false), versionText(version, false));
    EXPECT_EQ(fileVersionText(true), versionText(version, true));
    EXPECT_EQ(fileVersionText(false).rfind(PELMAR_PROJECT_VERSION, 0), 0u)
        << fileVersionText(false) << " starts with the version the build was given";
}

}  // namespace
}  // namespace pelmar
