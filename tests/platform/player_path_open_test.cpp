#include "platform/player_path_open.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/player_path_walk.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
using Status = PlayerPathStatus;

// A player beside a folder of the computer's own files, with links of every kind between them.
class PlayerPathOpen : public ::testing::Test {
  protected:
    PlayerPathOpen() {
        test::writeFile(outside() / "secret", {'k', 'e', 'y'});
        const fs::path music = root() / "iPod_Control" / "Music";
        test::writeFile(music / "F00" / "song.mp3", {'s', 'o', 'n', 'g'});
        test::writeFile(music / "F00" / "Mixed.MP3", {'m', 'i', 'x'});
        const fs::path f01 = music / "F01";
        fs::create_directories(f01);
        fs::create_symlink(outside() / "secret", f01 / "to-secret");
        fs::create_symlink("../../../../outside/secret", f01 / "up-and-out");
        fs::create_directory_symlink(outside(), music / "F02");
        fs::create_directory_symlink("../../../outside", music / "F03");
        fs::create_symlink("../F00/song.mp3", f01 / "inside");
        fs::create_directory_symlink("F00", music / "F04");
        fs::create_symlink(music / "F00" / "song.mp3", f01 / "absolute-inside");
        fs::create_symlink("loop-b", f01 / "loop-a");
        fs::create_symlink("loop-a", f01 / "loop-b");
        fs::create_symlink("self", f01 / "self");
        fs::create_symlink("nothing.mp3", f01 / "dangling");
        fs::create_symlink("../../../iPod_Control/Music/F00/song.mp3", f01 / "by-the-root");
        fs::create_symlink("../f00/SONG.MP3", f01 / "other-case");
        EXPECT_EQ(::mkfifo((f01 / "fifo").c_str(), 0600), 0);
    }

    fs::path root() const { return folder.path() / "player"; }
    fs::path outside() const { return folder.path() / "outside"; }

    test::TempFolder folder;
};

// Each case once through the kernel's confined lookup (true), once through the walk alone.
class PlayerPathResolvers : public PlayerPathOpen, public ::testing::WithParamInterface<bool> {};

std::string contentOf(const UniqueFd& fd) {
    std::string text(64, '\0');
    const ssize_t n = ::pread(fd.get(), text.data(), text.size(), 0);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

TEST_P(PlayerPathResolvers, FollowsLinksOnlyWhileTheyStayOnThePlayer) {
    struct Case {
        const char* path;
        Status status;
        const char* content;  // what an opened file holds
        bool exactNames;      // found as spelt, so the kernel's lookup alone settles it
    };
    const Case cases[] = {
        {"iPod_Control/Music/F00/song.mp3", Status::Opened, "song", true},
        {"iPod_Control/Music/F01/to-secret", Status::LeadsOutside, "", true},
        {"iPod_Control/Music/F01/up-and-out", Status::LeadsOutside, "", true},
        {"iPod_Control/Music/F02/secret", Status::LeadsOutside, "", true},
        {"iPod_Control/Music/F03/secret", Status::LeadsOutside, "", true},
        {"../outside/secret", Status::LeadsOutside, "", true},
        {"iPod_Control/Music/F01/inside", Status::Opened, "song", true},
        {"iPod_Control/Music/F04/song.mp3", Status::Opened, "song", true},
        {"iPod_Control/Music/F01/by-the-root", Status::Opened, "song", true},
        {"iPod_Control/../iPod_Control/Music/F00/song.mp3", Status::Opened, "song", true},
        {"iPod_Control/Music/F01/absolute-inside", Status::LeadsOutside, "", true},
        {"iPod_Control/Music/F01/loop-a", Status::LeadsOutside, "", true},
        {"iPod_Control/Music/F01/self", Status::LeadsOutside, "", true},
        {"iPod_Control/Music/F01/fifo", Status::NotRegularFile, "", true},
        {"iPod_Control/Music", Status::NotRegularFile, "", true},
        {"", Status::NotRegularFile, "", true},
        {"IPOD_CONTROL/music/f00/SONG.mp3", Status::Opened, "song", false},
        {"iPod_Control/Music/F00/mixed.mp3", Status::Opened, "mix", false},
        {"iPod_Control/Music/f04/Song.MP3", Status::Opened, "song", false},
        {"iPod_Control/Music/F01/other-case", Status::Opened, "song", false},
        {"ipod_control/music/f02/secret", Status::LeadsOutside, "", false},
        {"/iPod_Control/Music/F00/song.mp3", Status::Opened, "song", false},
        {"iPod_Control/Music/F00/gone.mp3", Status::Missing, "", false},
        {"iPod_Control/Music/F01/dangling", Status::Missing, "", false},
        {"iPod_Control/Music/F00/song.mp3/more", Status::Missing, "", false},
    };
    const bool kernel = GetParam();
    if (kernel && !player_path::kernelResolvesBeneath()) {
        GTEST_SKIP() << "this kernel has no openat2; the walk serves alone";
    }
    const UniqueFd rootFd(::open(root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(rootFd);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PlayerPathFile file;
        if (!kernel) {
            file = player_path::openByWalk(rootFd.get(), c.path);
        } else if (c.exactNames) {
            std::optional<PlayerPathFile> settled = player_path::openBeneath(rootFd.get(), c.path);
            ASSERT_TRUE(settled.has_value()) << "the kernel's lookup should settle it";
            file = std::move(*settled);
        } else {
            file = openPlayerPath(root().string() + "/", c.path);
        }
        EXPECT_EQ(file.status, c.status);
        EXPECT_EQ(static_cast<bool>(file.fd), c.status == Status::Opened);
        if (file.fd) {
            EXPECT_EQ(contentOf(file.fd), c.content);
            EXPECT_EQ(::fcntl(file.fd.get(), F_GETFL) & O_NONBLOCK, 0) << "reads wait as usual";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(KernelAndWalk, PlayerPathResolvers, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& resolver) {
                             return resolver.param ? "Kernel" : "Walk";
                         });

TEST_F(PlayerPathOpen, ExistenceChecksRefuseWhatCannotBeOpened) {
    const std::string player = root().string() + "/";
    EXPECT_TRUE(playerFileExists(player, "iPod_Control/Music/F01/inside"));
    EXPECT_FALSE(playerFileExists(player, "iPod_Control/Music/F01/to-secret"));
    EXPECT_FALSE(playerFileExists(player, "iPod_Control/Music/F01/fifo"));
    EXPECT_EQ(openPlayerPath(player, std::string_view("iPod_Control\0/x", 15)).status,
              Status::Missing)
        << "a name cut short by a NUL byte is no name on the player";
    EXPECT_EQ(openPlayerPath((folder.path() / "gone").string() + "/", "a").status, Status::Missing);
}

TEST_F(PlayerPathOpen, DeepOrLongPathsFailWithoutRunningOutOfDescriptors) {
    const UniqueFd rootFd(::open(root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(rootFd);
    fs::create_directory_symlink(".", root() / "here");
    std::string deep;
    for (int i = 0; i < 400; ++i) {
        deep += "iPod_Control/../";
    }
    EXPECT_EQ(
        player_path::openByWalk(rootFd.get(), deep + "iPod_Control/Music/F00/song.mp3").status,
        Status::Failed)
        << "longer than any path the kernel takes";
    std::string links;
    for (int i = 0; i < 41; ++i) {
        links += "here/";
    }
    EXPECT_EQ(
        player_path::openByWalk(rootFd.get(), links + "iPod_Control/Music/F00/song.mp3").status,
        Status::LeadsOutside)
        << "more links than the kernel follows count as a loop";
}

}  // namespace
}  // namespace pelmar
