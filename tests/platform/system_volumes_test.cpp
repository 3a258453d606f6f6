#include "platform/system_volumes.h"

#include <gtest/gtest.h>

#include "support/fake_system.h"

namespace pelmar {
namespace {

TEST(SystemVolumes, TellsRemovableVolumesFromFixedOnes) {
    test::FakeSystem fake;
    const std::string usb = fake.mountUsbDisk("sdb", 8, 17, 0x1261);
    const std::string usbNotFlagged = fake.mountUsbDisk("sdc", 8, 33, 0x1209, false);
    const std::string fixed = fake.mountFixedDisk("sda", 8, 1);
    fake.mountPseudo("proc", "/proc");
    const SystemVolumes system(fake.mountInfoPath(), fake.sysfsRoot());
    const std::vector<CandidateVolume> volumes = system.volumes();
    ASSERT_EQ(volumes.size(), 3U);
    EXPECT_EQ(volumes[0].mountPoint, usb);
    EXPECT_TRUE(volumes[0].removable);
    EXPECT_TRUE(volumes[1].removable) << "hanging off a USB bus counts as removable";
    EXPECT_FALSE(volumes[2].removable);
    EXPECT_EQ(volumes[2].mountPoint, fixed);
    (void)usbNotFlagged;
}

TEST(SystemVolumes, FindsTheUsbProductIdOfTheDeviceHoldingAFolder) {
    test::FakeSystem fake;
    const std::string usb = fake.mountUsbDisk("sdb", 8, 17, 0x120A);
    const std::string fixed = fake.mountFixedDisk("sda", 8, 1);
    const SystemVolumes system(fake.mountInfoPath(), fake.sysfsRoot());
    EXPECT_EQ(system.usbProductId(usb + "/"), std::optional<std::uint16_t>(0x120A));
    std::filesystem::create_directories(usb + "/deeper/player");
    EXPECT_EQ(system.usbProductId(usb + "/deeper/player/"), std::optional<std::uint16_t>(0x120A));
    EXPECT_EQ(system.usbProductId(fixed + "/"), std::nullopt);
    EXPECT_EQ(system.usbProductId("/no/such/folder/"), std::nullopt);
}

TEST(SystemVolumes, LaterMountOnTheSamePointHidesTheEarlier) {
    test::FakeSystem fake;
    const std::string first = fake.mountFixedDisk("sda", 8, 1);
    fake.mountVanished("sda", 8, 17);
    const SystemVolumes system(fake.mountInfoPath(), fake.sysfsRoot());
    const std::vector<CandidateVolume> volumes = system.volumes();
    ASSERT_EQ(volumes.size(), 1U);
    EXPECT_EQ(volumes[0].mountPoint, first);
    EXPECT_EQ(volumes[0].minor, 17U);
}

TEST(SystemVolumes, UnreadableMountTableGivesNoVolumes) {
    const SystemVolumes system("/no/such/mountinfo", "/no/such/sys");
    EXPECT_TRUE(system.volumes().empty());
}

}  // namespace
}  // namespace pelmar
