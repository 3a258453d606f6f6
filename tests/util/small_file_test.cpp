#include "util/small_file.h"

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

TEST(ReadSmallFile, ReadsAWholeFileUpToTheLimit) {
    const test::TempFolder temp;
    const fs::path path = temp.path() / "f";
    test::writeFile(path, {'a', 'b', 'c', 'd'});
    const SmallFile exact = readSmallFile(path, 4);
    EXPECT_EQ(exact.state, SmallFile::State::Read);
    EXPECT_EQ(exact.bytes, "abcd");
    const SmallFile over = readSmallFile(path, 3);
    EXPECT_EQ(over.state, SmallFile::State::TooLarge);
    EXPECT_EQ(over.bytes, "");

    test::writeFile(path, {});
    EXPECT_EQ(readSmallFile(path, 4).state, SmallFile::State::Read);
}

TEST(ReadSmallFile, TellsAMissingFileFromOneThatCannotBeRead) {
    const test::TempFolder temp;
    EXPECT_EQ(readSmallFile(temp.path() / "none", 10).state, SmallFile::State::Missing);
    EXPECT_EQ(readSmallFile(temp.path(), 10).state, SmallFile::State::Unreadable);
    const fs::path fifo = temp.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readSmallFile(fifo, 10).state, SmallFile::State::Unreadable)
        << "and returns at once, with no writer";
}

TEST(ReplaceFileAtomically, CreatesOrReplacesWithNothingLeftBeside) {
    const test::TempFolder temp;
    const fs::path path = temp.path() / "settings.json";
    ASSERT_TRUE(replaceFileAtomically(path, "first, and longer"));
    ASSERT_TRUE(replaceFileAtomically(path, "second"));
    EXPECT_EQ(readSmallFile(path, 100).bytes, "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ReplaceFileAtomically, FailsWithoutAFolder) {
    const test::TempFolder temp;
    EXPECT_FALSE(replaceFileAtomically(temp.path() / "missing" / "f", "x"));
    EXPECT_FALSE(fs::exists(temp.path() / "missing"));
}

TEST(ReplaceFileAtomically, FailedRenameLeavesNoTemporaryFile) {
    const test::TempFolder temp;
    fs::create_directories(temp.path() / "taken" / "inside");
    EXPECT_FALSE(replaceFileAtomically(temp.path() / "taken", "x"));
    EXPECT_TRUE(fs::is_directory(temp.path() / "taken" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace pelmar
