#include "platform/stale_temporaries.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/atomic_file.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

TEST(StaleTemporaries, RemovesOnlyUnheldFilesOfTheWritersOwnForm) {
    const test::TempFolder folder;
    const fs::path backup = folder.path() / "backup";
    // Nobody holds it: what a killed writer leaves.
    test::writeFile(backup / ".killed.mp3.pelmar-Ab12Z9", {'h', 'a', 'l', 'f'});
    AtomicFileWriter live;
    ASSERT_TRUE(live.open((backup / "live.mp3").string()));
    ASSERT_TRUE(live.write("being written"));
    const fs::path outside = folder.path() / "private.txt";
    test::writeFile(outside, {'k', 'e', 'e', 'p'});
    fs::create_symlink(outside, backup / ".link.pelmar-abcdef");
    for (const char* name : {".song.mp3", ".song.mp3.pelmar-abcde", "song.mp3.pelmar-abcdef"}) {
        test::writeFile(backup / name, {1});
    }

    EXPECT_EQ(removeStaleTemporaries(backup.string()), 1U);
    EXPECT_FALSE(fs::exists(backup / ".killed.mp3.pelmar-Ab12Z9"));
    EXPECT_EQ(std::distance(fs::directory_iterator(backup), fs::directory_iterator()), 5);
    EXPECT_EQ(test::readAll(outside), "keep") << "a link is never followed";
    ASSERT_TRUE(live.commit(false)) << "a live writer's file survives the cleaning";
    EXPECT_EQ(test::readAll(backup / "live.mp3"), "being written");
}

}  // namespace
}  // namespace pelmar
