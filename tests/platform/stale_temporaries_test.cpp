#include "platform/stale_temporaries.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/file_lock.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

std::string onlyTemporaryName(const fs::path& folder) {
    std::string found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(kTemporaryMarker) != std::string::npos) {
            EXPECT_TRUE(found.empty()) << "more than one temporary file";
            found = name;
        }
    }
    return found;
}

TEST(StaleTemporaries, OnlyTheWritersOwnNamesCount) {
    struct Case {
        const char* name;
        bool temporary;
    };
    const Case cases[] = {
        {".song.mp3.pelmar-Ab12Z9", true},
        {".x.pelmar-abcdef", true},
        {".a.pelmar-b.pelmar-000000", true},
        {"song.mp3.pelmar-Ab12Z9", false},
        {"..pelmar-abcdef", false},
        {".pelmar-abcdef", false},
        {".song.pelmar-Ab12Z", false},
        {".song.pelmar-Ab12Z9x", false},
        {".song.pelmar-Ab1-Z9", false},
        {".song.pelmar_Ab12Z9", false},
        {".song.mp3", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isTemporaryFileName(c.name), c.temporary) << c.name;
    }

    const test::TempFolder folder;
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open((folder.path() / "Track 01.mp3").string()));
    EXPECT_TRUE(isTemporaryFileName(onlyTemporaryName(folder.path())))
        << "the name the writer really gives";
}

TEST(StaleTemporaries, RemovesWhatAKilledWriterLeftAndNothingElse) {
    const test::TempFolder folder;
    const fs::path backup = folder.path() / "backup";
    fs::create_directories(backup);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Killed mid-write: no destructor runs, the file stays, and its lock goes with the process.
        AtomicFileWriter writer;
        const bool written = writer.open((backup / "killed.mp3").string()) &&
                             writer.write(std::string_view("half a song"));
        ::_exit(written ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string stale = onlyTemporaryName(backup);
    ASSERT_FALSE(stale.empty());

    const fs::path outside = folder.path() / "private.txt";
    test::writeFile(outside, {'k', 'e', 'e', 'p'});
    const std::vector<std::string> kept = {"song.mp3",
                                           ".song.mp3",
                                           ".link.pelmar-abcdef",
                                           ".folder.pelmar-abcdef",
                                           ".fifo.pelmar-abcdef",
                                           ".other.pelmar-abcdef"};
    test::writeFile(backup / "song.mp3", {1});
    test::writeFile(backup / ".song.mp3", {1});
    fs::create_symlink(outside, backup / ".link.pelmar-abcdef");
    fs::create_directory(backup / ".folder.pelmar-abcdef");
    ASSERT_EQ(::mkfifo((backup / ".fifo.pelmar-abcdef").c_str(), 0600), 0);
    // Another program's writer at work: it holds its file locked.
    test::writeFile(backup / ".other.pelmar-abcdef", {2});
    const LockedFile other = lockFile((backup / ".other.pelmar-abcdef").string());
    ASSERT_EQ(other.outcome, LockOutcome::Taken);
    // And one of this program's own.
    AtomicFileWriter live;
    ASSERT_TRUE(live.open((backup / "live.mp3").string()));
    ASSERT_TRUE(live.write(std::string_view("being written")));

    EXPECT_EQ(removeStaleTemporaries(backup.string()), 1U);
    EXPECT_FALSE(fs::exists(backup / stale));
    for (const std::string& name : kept) {
        EXPECT_TRUE(fs::exists(fs::symlink_status(backup / name))) << name;
    }
    EXPECT_EQ(test::readAll(outside), "keep") << "a link is never followed";
    ASSERT_TRUE(live.commit(false)) << "a live writer's file survives the cleaning";
    EXPECT_EQ(test::readAll(backup / "live.mp3"), "being written");
    EXPECT_EQ(removeStaleTemporaries((folder.path() / "missing").string()), 0U);
}

}  // namespace
}  // namespace pelmar
