#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

TEST(FileLock, OneHolderAtATimeUntilItsFileCloses) {
    const test::TempFolder folder;
    const std::string path = (folder.path() / "transfer.log").string();
    test::writeFile(path, {'l', 'o', 'g'});
    LockedFile first = lockFile(path);
    ASSERT_EQ(first.outcome, LockOutcome::Taken);
    EXPECT_TRUE(first.fd);
    const LockedFile second = lockFile(path);
    EXPECT_EQ(second.outcome, LockOutcome::Held) << "another open file, even in this process";
    EXPECT_FALSE(second.fd);
    EXPECT_EQ(test::readAll(path), "log") << "taking the lock leaves the content alone";
    first.fd.reset();
    EXPECT_EQ(lockFile(path).outcome, LockOutcome::Taken);
}

TEST(FileLock, NeverThroughALinkNorOnAnythingButAFile) {
    const test::TempFolder folder;
    const fs::path victim = folder.path() / "victim";
    fs::create_symlink(victim, folder.path() / "link");
    fs::create_directory(folder.path() / "folder");
    for (const char* name : {"link", "folder"}) {
        const LockedFile locked = lockFile((folder.path() / name).string());
        EXPECT_EQ(locked.outcome, LockOutcome::Unsupported) << name;
        EXPECT_NE(locked.error, 0) << name;
    }
    EXPECT_FALSE(fs::exists(victim)) << "nothing is created through the link";
    const LockedFile created = lockFile((folder.path() / "new").string());
    EXPECT_EQ(created.outcome, LockOutcome::Taken);
    EXPECT_EQ(fs::status(folder.path() / "new").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace pelmar
