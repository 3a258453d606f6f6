#include "platform/player_path_open.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/player_path_walk.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
using Status = PlayerPathStatus;

// Each case once through the kernel's confined lookup (true), once through the walk alone.
class PlayerPathOpen : public ::testing::TestWithParam<bool> {};

TEST_P(PlayerPathOpen, FollowsLinksOnlyWhileTheyStayOnThePlayer) {
    const test::TempFolder folder;
    const fs::path root = folder.path() / "player";
    const fs::path music = root / "iPod_Control" / "Music";
    const fs::path links = music / "F01";
    test::writeFile(folder.path() / "outside" / "secret", {'k', 'e', 'y'});
    test::writeFile(music / "F00" / "song.mp3", {'s', 'o', 'n', 'g'});
    fs::create_directories(links);
    fs::create_symlink(folder.path() / "outside" / "secret", links / "to-secret");
    fs::create_symlink("../../../../outside/secret", links / "up-and-out");
    fs::create_directory_symlink(folder.path() / "outside", music / "F02");
    fs::create_symlink("../F00/song.mp3", links / "inside");
    fs::create_directory_symlink("F00", music / "F03");
    fs::create_symlink(music / "F00" / "song.mp3", links / "absolute-inside");
    fs::create_symlink("loop-b", links / "loop-a");
    fs::create_symlink("loop-a", links / "loop-b");
    fs::create_symlink("nothing.mp3", links / "dangling");
    fs::create_symlink("../../../iPod_Control/Music/F00/song.mp3", links / "by-the-root");
    fs::create_symlink("../f00/SONG.MP3", links / "other-case");
    ASSERT_EQ(::mkfifo((links / "fifo").c_str(), 0600), 0);

    const struct {
        const char* path;
        Status status;
        bool exactNames;  // found as spelt, so the kernel's lookup alone settles it
    } cases[] = {
        {"iPod_Control/Music/F00/song.mp3", Status::Opened, true},
        {"iPod_Control/Music/F01/to-secret", Status::LeadsOutside, true},
        {"iPod_Control/Music/F01/up-and-out", Status::LeadsOutside, true},
        {"iPod_Control/Music/F02/secret", Status::LeadsOutside, true},
        {"../outside/secret", Status::LeadsOutside, true},
        {"iPod_Control/Music/F01/absolute-inside", Status::LeadsOutside, true},
        {"iPod_Control/Music/F01/loop-a", Status::LeadsOutside, true},
        {"iPod_Control/Music/F01/inside", Status::Opened, true},
        {"iPod_Control/Music/F03/song.mp3", Status::Opened, true},
        {"iPod_Control/Music/F01/by-the-root", Status::Opened, true},
        {"iPod_Control/../iPod_Control/Music/F00/song.mp3", Status::Opened, true},
        {"iPod_Control/Music/F01/fifo", Status::NotRegularFile, true},
        {"iPod_Control/Music", Status::NotRegularFile, true},
        {"IPOD_CONTROL/music/f03/SONG.mp3", Status::Opened, false},
        {"iPod_Control/Music/F01/other-case", Status::Opened, false},
        {"ipod_control/music/f02/secret", Status::LeadsOutside, false},
        {"/iPod_Control/Music/F00/song.mp3", Status::Opened, false},
        {"iPod_Control/Music/F01/dangling", Status::Missing, false},
        {"iPod_Control/Music/F00/song.mp3/more", Status::Missing, false},
    };
    const bool kernel = GetParam();
    if (kernel && !player_path::kernelResolvesBeneath()) {
        GTEST_SKIP() << "this kernel has no openat2; the walk serves alone";
    }
    const UniqueFd rootFd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(rootFd);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        PlayerPathFile file;
        if (!kernel) {
            file = player_path::openByWalk(rootFd.get(), c.path);
        } else if (c.exactNames) {
            std::optional<PlayerPathFile> settled = player_path::openBeneath(rootFd.get(), c.path);
            ASSERT_TRUE(settled.has_value());
            file = std::move(*settled);
        } else {
            file = openPlayerPath(root.string() + "/", c.path);
        }
        EXPECT_EQ(file.status, c.status);
        char content[8] = {};
        EXPECT_EQ(file.fd ? ::pread(file.fd.get(), content, sizeof content, 0) : 0,
                  c.status == Status::Opened ? 4 : 0);
        EXPECT_EQ(std::string(content), c.status == Status::Opened ? "song" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(KernelAndWalk, PlayerPathOpen, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& resolver) {
                             return resolver.param ? "Kernel" : "Walk";
                         });

}  // namespace
}  // namespace pelmar
