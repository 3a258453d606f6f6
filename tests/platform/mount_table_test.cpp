#include "platform/mount_table.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(MountTable, KeepsRealFileSystemsWithTheirDeviceNumbers) {
    const std::string text =
        "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
        "25 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro\n"
        "40 25 8:17 / /media/user/J\\040IPOD rw,nosuid shared:9 master:1 - vfat /dev/sdb1 rw\n"
        "41 25 0:45 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "42 25 7:0 / /mnt/image rw - hfsplus /dev/loop0 rw\n";
    const std::vector<MountedVolume> volumes = parseMountInfo(text);
    ASSERT_EQ(volumes.size(), 3U);
    EXPECT_EQ(volumes[0].mountPoint, "/");
    EXPECT_EQ(volumes[0].fileSystem, "ext4");
    EXPECT_EQ(volumes[1].mountPoint, "/media/user/J IPOD") << "octal escapes are undone";
    EXPECT_EQ(volumes[1].major, 8U);
    EXPECT_EQ(volumes[1].minor, 17U);
    EXPECT_EQ(volumes[2].fileSystem, "hfsplus");
}

TEST(MountTable, SkipsDamagedLines) {
    const std::string text =
        "garbage\n"
        "25 1 8:x / /a rw - ext4 /dev/sda1 rw\n"
        "26 1 8:2 / /b rw no-separator ext4\n"
        "\n"
        "27 1 8:3 / /c rw - ext4 /dev/sda3 rw";
    const std::vector<MountedVolume> volumes = parseMountInfo(text);
    ASSERT_EQ(volumes.size(), 1U);
    EXPECT_EQ(volumes[0].mountPoint, "/c");
}

}  // namespace
}  // namespace pelmar
