#include "backup/backup_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/volume_space.h"
#include "support/temp_folder.h"
#include "util/setting_names.h"
#include "util/settings_store.h"

namespace pelmar {
namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;

const char* const kChooseFolder =
    "Please choose a valid destination folder before beginning backup.\n\nClick the 'Options' "
    "tab above and then the 'Choose Folder' button.";

class BackupChecksTest : public ::testing::Test {
  protected:
    std::optional<std::string> check(std::uint32_t selectedKilobytes) {
        return checkBeforeBackup(settings, selectedKilobytes, [this](const std::string& path) {
            asked.push_back(path);
            return free;
        });
    }

    void chooseBackupFolder() {
        std::filesystem::create_directory(backupFolder());
        settings.writeString(kSettingDestinationFolder, backupFolder());
    }

    std::string backupFolder() const { return (scratch.path() / "backup").string(); }

    test::TempFolder configuration;
    test::TempFolder scratch;
    SettingsStore settings{configuration.path()};
    std::optional<std::uint64_t> free = 5 * kMegabyte;
    std::vector<std::string> asked;
};

TEST_F(BackupChecksTest, FolderNeverChosenIsRefused) {
    EXPECT_EQ(check(0), kChooseFolder);
    EXPECT_TRUE(asked.empty());
}

TEST_F(BackupChecksTest, FolderThatIsGoneIsRefused) {
    settings.writeString(kSettingDestinationFolder, backupFolder());
    EXPECT_EQ(check(0), kChooseFolder);
    settings.writeString(kSettingDestinationFolder, "");
    EXPECT_EQ(check(0), kChooseFolder);
}

TEST_F(BackupChecksTest, RoomIsComparedInWholeMegabytes) {
    chooseBackupFolder();
    struct Case {
        std::uint32_t selectedKilobytes;
        bool starts;
    };
    const Case cases[] = {
        {0, true},
        {5 * 1024, true},      // exactly as much as is free
        {6 * 1024 - 1, true},  // 5.99 MB counts as 5
        {6 * 1024, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(!check(c.selectedKilobytes).has_value(), c.starts) << c.selectedKilobytes;
    }
    EXPECT_EQ(asked.front(), backupFolder());
}

TEST_F(BackupChecksTest, OneMegabyteShortNamesTheVolumeAndBothSizes) {
    chooseBackupFolder();
    EXPECT_EQ(check(6 * 1024),
              "The disk mounted at " + mountPointOf(backupFolder()) +
                  " does not have enough free space (5 MB) to backup the selected tracks (6 "
                  "MB).\nPlease select a destination folder on another disk, or select fewer "
                  "tracks to backup.");
}

TEST_F(BackupChecksTest, UnreadableVolumeHasNoRoom) {
    chooseBackupFolder();
    free.reset();
    EXPECT_TRUE(check(1024).has_value());
    EXPECT_FALSE(check(1023).has_value());
}

TEST(FreeMegabytes, KilobytesAreCountedIn32Bits) {
    const std::pair<std::optional<std::uint64_t>, std::uint32_t> cases[] = {
        {std::nullopt, 0},
        {kMegabyte - 1, 0},
        {kMegabyte, 1},
        {std::uint64_t{4095} * kMegabyte + kMegabyte - 1, 4095},
        {std::uint64_t{1} << 42, 0},  // 2^32 kilobytes: the higher bits are dropped
        {(std::uint64_t{1} << 42) + 3 * kMegabyte, 3},
    };
    for (const auto& [bytes, megabytes] : cases) {
        EXPECT_EQ(freeMegabytes(bytes), megabytes) << bytes.value_or(0);
    }
}

TEST(VolumeFreeBytes, CountsTheBlocksKeptForTheAdministrator) {
    test::TempFolder folder;
    const std::optional<std::uint64_t> all = volumeFreeBytes(folder.path().string());
    const std::optional<VolumeSpace> space = volumeSpace(folder.path().string());
    ASSERT_TRUE(all.has_value());
    ASSERT_TRUE(space.has_value());
    EXPECT_GE(*all, space->freeBytes);
    EXPECT_FALSE(volumeFreeBytes((folder.path() / "missing").string()).has_value());
}

TEST(MountPointOf, FindsTheTopOfTheVolume) {
    EXPECT_EQ(mountPointOf("/"), "/");
    EXPECT_EQ(mountPointOf("/proc/self/fd"), "/proc");

    test::TempFolder folder;
    const std::filesystem::path inside = folder.path() / "a" / "b";
    std::filesystem::create_directories(inside);
    const std::string mount = mountPointOf(inside.string());
    const std::string canonical = std::filesystem::canonical(inside).string();
    EXPECT_EQ(canonical.compare(0, mount.size(), mount), 0) << mount << " above " << canonical;
    EXPECT_EQ(mountPointOf(folder.path().string()), mount);

    EXPECT_EQ(mountPointOf("/no/such/folder"), "/no/such/folder");
}

}  // namespace
}  // namespace pelmar
