#include "platform/file_copy.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

using test::readAll;

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Everything in the folder, to show that no temporary file stayed behind.
std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FileCopy : public ::testing::Test {
  protected:
    FileCopy() {
        fs::create_directories(source());
        fs::create_directories(target());
        std::string content(9 * 1024 * 1024 + 7, '\0');
        for (std::size_t i = 0; i < content.size(); ++i) {
            content[i] = static_cast<char>((i * 31) ^ (i >> 11));
        }
        writeText(source() / "song.mp3", content);
        original = content;
    }

    fs::path source() const { return folder.path() / "player"; }
    fs::path target() const { return folder.path() / "backup"; }

    test::TempFolder folder;
    std::string original;
};

TEST_F(FileCopy, CopiesEveryByteAndReportsProgressUpToTheTotal) {
    std::vector<std::uint64_t> reported;
    const int error =
        copyFileAtomically((source() / "song.mp3").string(), (target() / "song.mp3").string(),
                           false, [&](std::uint64_t total, std::uint64_t copied) {
                               EXPECT_EQ(total, original.size());
                               reported.push_back(copied);
                           });
    ASSERT_EQ(error, 0);
    EXPECT_EQ(readAll(target() / "song.mp3"), original);
    ASSERT_FALSE(reported.empty());
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_EQ(reported.back(), original.size());
    EXPECT_EQ(entries(target()), (std::vector<std::string>{"song.mp3"}));
}

TEST_F(FileCopy, NeverReplacesUnlessAsked) {
    writeText(target() / "song.mp3", "old");
    EXPECT_EQ(copyFileAtomically((source() / "song.mp3").string(), (target() / "song.mp3").string(),
                                 false, {}),
              EEXIST);
    EXPECT_EQ(readAll(target() / "song.mp3"), "old");
    EXPECT_EQ(entries(target()), (std::vector<std::string>{"song.mp3"}));

    EXPECT_EQ(copyFileAtomically((source() / "song.mp3").string(), (target() / "song.mp3").string(),
                                 true, {}),
              0);
    EXPECT_EQ(readAll(target() / "song.mp3"), original);
}

TEST_F(FileCopy, FailuresLeaveNothingBehind) {
    EXPECT_EQ(copyFileAtomically((source() / "gone.mp3").string(), (target() / "gone.mp3").string(),
                                 false, {}),
              ENOENT);
    EXPECT_EQ(copyFileAtomically((source() / "song.mp3").string(),
                                 (target() / "missing" / "song.mp3").string(), false, {}),
              ENOENT);
    EXPECT_EQ(copyFileAtomically(source().string(), (target() / "folder").string(), false, {}),
              EINVAL)
        << "a folder is not a file to copy";
    EXPECT_TRUE(entries(target()).empty());
}

TEST_F(FileCopy, AbortStopsBetweenChunksAndRemovesTheTemporaryFile) {
    std::atomic<bool> abort{false};
    const int error =
        copyFileAtomically((source() / "song.mp3").string(), (target() / "song.mp3").string(),
                           false, [&](std::uint64_t, std::uint64_t) { abort = true; }, &abort);
    EXPECT_EQ(error, ECANCELED);
    EXPECT_TRUE(entries(target()).empty());
}

TEST_F(FileCopy, FullDiskLeavesNeitherAPartialFileNorTheTemporaryOne) {
    struct rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 1024 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    writeText(target() / "song.mp3", "old");
    const int error = copyFileAtomically((source() / "song.mp3").string(),
                                         (target() / "song.mp3").string(), true, {});
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(readAll(target() / "song.mp3"), "old")
        << "the old file stays until a new one is whole";
    EXPECT_EQ(entries(target()), (std::vector<std::string>{"song.mp3"}));
}

// The finisher works on the whole copy before it has its name; a recopy puts the source's bytes
// from the caller's offset in place, whatever the finisher left in the file.
TEST_F(FileCopy, WorkOnTheCopyIsKeptOrReplacedByAnUntouchedCopy) {
    struct Case {
        const char* what;
        std::string edit;  // written over the start of the copy
        bool shrink;       // the copy cut to the edit's length
        CopyFinish outcome;
        off_t offset;  // where the caller's source stands
    };
    const Case cases[] = {
        {"kept", "EDITED", false, CopyFinish::Keep, 0},
        {"grown and recopied", std::string(10 * 1024 * 1024, 'x'), false, CopyFinish::Recopy, 0},
        {"cut short and recopied", "cut", true, CopyFinish::Recopy, 0},
        {"recopied from the offset", "EDITED", false, CopyFinish::Recopy, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path destination = target() / "song.mp3";
        fs::remove(destination);
        const int from = ::open((source() / "song.mp3").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(from, 0);
        ASSERT_EQ(::lseek(from, c.offset, SEEK_SET), c.offset);
        const std::string expectedCopy = original.substr(static_cast<std::size_t>(c.offset));
        bool finished = false;
        const int error =
            copyOpenFileAtomically(from, destination.string(), false, {}, nullptr, [&](int fd) {
                finished = true;
                EXPECT_FALSE(fs::exists(destination)) << "not in place before it is finished";
                std::string seen(expectedCopy.size() + 1, '\0');
                EXPECT_EQ(::pread(fd, seen.data(), seen.size(), 0),
                          static_cast<ssize_t>(expectedCopy.size()));
                EXPECT_EQ(seen.substr(0, expectedCopy.size()), expectedCopy);
                EXPECT_EQ(::pwrite(fd, c.edit.data(), c.edit.size(), 0),
                          static_cast<ssize_t>(c.edit.size()));
                if (c.shrink) {
                    EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(c.edit.size())), 0);
                }
                return c.outcome;
            });
        ::close(from);
        EXPECT_EQ(error, 0);
        EXPECT_TRUE(finished);
        std::string expected = expectedCopy;
        if (c.outcome == CopyFinish::Keep) {
            expected.replace(0, c.edit.size(), c.edit);
        }
        EXPECT_EQ(readAll(destination), expected);
        EXPECT_EQ(entries(target()), (std::vector<std::string>{"song.mp3"}));
    }
}

TEST_F(FileCopy, UnwritableFolderFailsCleanly) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    fs::permissions(target(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(copyFileAtomically((source() / "song.mp3").string(), (target() / "song.mp3").string(),
                                 false, {}),
              EACCES);
    fs::permissions(target(), fs::perms::owner_all);
    EXPECT_TRUE(entries(target()).empty());
}

TEST(AtomicFileWriter, AbandonedOrFailedWritesLeaveNoFile) {
    test::TempFolder folder;
    const std::string path = (folder.path() / "list.m3u").string();
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.open(path));
        ASSERT_TRUE(writer.write(std::string_view("half a playlist")));
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));
    EXPECT_EQ(writeFileAtomically(path, std::vector<std::uint8_t>{'a', 'b'}, false), 0);
    EXPECT_EQ(readAll(path), "ab");
    EXPECT_EQ(writeFileAtomically(path, std::vector<std::uint8_t>{'c'}, false), EEXIST);
    EXPECT_EQ(writeFileAtomically(path, std::vector<std::uint8_t>{'c'}, true), 0);
    EXPECT_EQ(readAll(path), "c");
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"list.m3u"}));
}

TEST(AtomicFileWriter, NewFilesFollowTheUmaskNotThePrivateTemporaryMode) {
    test::TempFolder folder;
    const std::string path = (folder.path() / "file").string();
    ASSERT_EQ(writeFileAtomically(path, std::vector<std::uint8_t>{'x'}, false), 0);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(path).permissions()) & 0777, 0666 & ~mask);
}

}  // namespace
}  // namespace pelmar
