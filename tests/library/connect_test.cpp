#include "library/connect.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "library/device_family.h"
#include "library/device_information.h"
#include "library/player_library.h"
#include "player_image/player_image.h"
#include "support/database_bytes.h"
#include "support/fake_system.h"
#include "support/recorded_messages.h"
#include "support/recording_progress.h"
#include "util/user_messages.h"

namespace pelmar {
namespace {

class Connect : public ::testing::Test {
  protected:
    std::optional<LoadReport> run(const std::optional<std::string>& explicitRoot = std::nullopt) {
        volumes = std::make_unique<test::FakeVolumes>(fake);
        for (const auto& [mountPoint, bytes] : sizes) {
            volumes->setTotalBytes(mountPoint, bytes);
        }
        return connect(library, progress, *volumes, messages, explicitRoot);
    }

    static void writeDatabase(const std::string& mountPoint, std::uint32_t trackId) {
        test::DatabaseBytes db;
        db.root().dataset(1).trackList(1);
        test::TrackHeader track;
        track.id = trackId;
        track.childCount = 1;
        db.track(track).string(1, u"Song");
        test::writeFile(std::filesystem::path(mountPoint) / "iPod_Control" / "iTunes" / "iTunesDB",
                        db.bytes());
    }

    test::FakeSystem fake;
    std::map<std::string, std::uint64_t> sizes;
    std::unique_ptr<test::FakeVolumes> volumes;
    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    test::RecordingProgress progress;
    test::RecordedMessages messages;
};

TEST_F(Connect, RemovablePlayerWinsOverAFixedOne) {
    const std::string removable = fake.mountUsbDisk("sdf", 8, 81, 0x1209);
    const std::string fixed = fake.mountFixedDisk("sdg", 8, 97);
    test::FakeSystem::makePlayer(removable);
    test::FakeSystem::makePlayer(fixed);
    writeDatabase(removable, 7);
    ASSERT_TRUE(run().has_value());
    EXPECT_EQ(library.rootPath, removable + "/");
    EXPECT_EQ(library.isConnected, 1);
    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{7}));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(progress.statuses.front(), "Detecting iPod...");
}

TEST_F(Connect, OfTwoRemovablePlayersTheHigherMountPointWins) {
    const std::string e = fake.mountUsbDisk("sde", 8, 65, 0x1209);
    const std::string h = fake.mountUsbDisk("sdh", 8, 113, 0x1261);
    test::FakeSystem::makePlayer(e);
    test::FakeSystem::makePlayer(h);
    ASSERT_TRUE(run().has_value());
    EXPECT_EQ(library.rootPath, h + "/");
}

TEST_F(Connect, MarkerOnTheSystemDiskIsTakenInTheFixedPass) {
    const std::string system = fake.mountFixedDisk("sda", 8, 1);
    fake.mountUsbDisk("sdb", 8, 17, 0x1261);
    test::FakeSystem::makePlayer(system);
    const std::optional<LoadReport> report = run();
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(library.rootPath, system + "/");
    EXPECT_FALSE(report->music.has_value()) << "no databases there";
    EXPECT_TRUE(library.trackIds.empty());
}

TEST_F(Connect, VanishedVolumesAndVolumesWithoutMarkerAreSkipped) {
    fake.mountVanished("sdz", 8, 200);
    fake.mountUsbDisk("sdb", 8, 17, 0x1261);
    const std::optional<LoadReport> report = run();
    EXPECT_FALSE(report.has_value());
    EXPECT_EQ(library.isConnected, 0);
    EXPECT_TRUE(library.rootPath.empty());
    ASSERT_EQ(messages.texts.size(), 1U);
    EXPECT_EQ(messages.texts[0], kPlayerNotFoundMessage);
}

TEST(PlayerNotFoundMessage, TellsHowToMountThePlayerHereAndNamesNoWindowsPlaces) {
    const std::string text = kPlayerNotFoundMessage;
    EXPECT_EQ(text.substr(0, 48), "Pelmar cannot find any connected iPod devices.\n\n");
    for (const char* advice : {"\"Do not disconnect\"", "mounted", "udisksctl mount",
                               "--player DIR", "formatted on a\nMac", "restore"}) {
        EXPECT_NE(text.find(advice), std::string::npos) << advice;
    }
    for (const char* windowsOnly :
         {"drive letter", "My Computer", "recognized as a drive", "Updater", "\t"}) {
        EXPECT_EQ(text.find(windowsOnly), std::string::npos) << windowsOnly;
    }
}

TEST_F(Connect, ExplicitRootSkipsTheScan) {
    const std::string removable = fake.mountUsbDisk("sdb", 8, 17, 0x1261);
    test::FakeSystem::makePlayer(removable);
    test::TempFolder copy;
    test::FakeSystem::makePlayer(copy.path().string());
    writeDatabase(copy.path().string(), 42);
    ASSERT_TRUE(run(copy.path().string()).has_value());
    EXPECT_EQ(library.rootPath, copy.root());
    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{42}));

    PlayerLibrary other(codec);
    test::TempFolder notAPlayer;
    EXPECT_FALSE(connect(other, progress, *volumes, messages, notAPlayer.path().string()));
    EXPECT_EQ(messages.texts.size(), 1U);
}

TEST_F(Connect, RelativeExplicitRootBecomesAbsolute) {
    test::TempFolder folder;
    test::FakeSystem::makePlayer((folder.path() / "player").string());
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const std::optional<LoadReport> report = run(std::string("./player"));
    std::filesystem::current_path(previous);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(library.rootPath, (folder.path() / "player").string() + "/");
}

TEST_F(Connect, LoadsAWholePlayerImagePhotosIncluded) {
    const std::string player = fake.mountUsbDisk("sdb", 8, 17, 0x1261);
    player_image::Options options;
    options.trackCount = 30;
    options.withMedia = false;
    std::string error;
    ASSERT_TRUE(player_image::writePlayerImage(player_image::generatePlayerImage(options), player,
                                               options, error))
        << error;
    const std::optional<LoadReport> report = run();
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(library.trackIds.size(), 30U);
    EXPECT_EQ(library.images.size(), options.photoCount);
    EXPECT_FALSE(library.sortedPhotoAlbumIds.empty());
    EXPECT_FALSE(library.sortedPlaylistIds.empty());
    EXPECT_FALSE(library.indices.artistNames.empty());
    EXPECT_TRUE(library.searchIndex.covers(library));
    const std::vector<std::string> loaderStatuses(progress.statuses.begin() + 1,
                                                  progress.statuses.end());
    EXPECT_EQ(loaderStatuses, (std::vector<std::string>{"Reading Music...", "Reading Play Data...",
                                                        "Reading Photos...", "Reading Artwork..."}))
        << "the loader run's fixed order";
}

TEST_F(Connect, FamilyComesFromTheUsbProductNumber) {
    struct Case {
        std::uint16_t productId;
        std::int32_t family;
        const char* name;
    };
    const std::vector<Case> cases = {
        {0x1209, 0, "Apple iPod"},         {0x1202, 1, "Apple iPod mini"},
        {0x1205, 1, "Apple iPod mini"},    {0x120A, 3, "Apple iPod nano"},
        {0x1260, 3, "Apple iPod nano"},    {0x1261, 0, "Apple iPod"},
        {0x1300, 2, "Apple iPod Shuffle"}, {0x1303, 2, "Apple iPod Shuffle"},
    };
    unsigned minor = 16;
    for (const Case& c : cases) {
        test::FakeSystem system;
        const std::string player = system.mountUsbDisk("sdb", 8, ++minor, c.productId);
        test::FakeSystem::makePlayer(player);
        test::FakeVolumes fakeVolumes(system);
        fakeVolumes.setTotalBytes(player, 4'000'000'000ULL);
        PlayerLibrary fresh(codec);
        ASSERT_TRUE(connect(fresh, progress, fakeVolumes, messages).has_value());
        EXPECT_EQ(fresh.deviceKind, c.family) << std::hex << c.productId;
        EXPECT_EQ(modelName(fresh.deviceKind), c.name);
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04x", c.productId);
        EXPECT_EQ(fresh.deviceProperties.at("USB Product ID"), digits);
    }
}

TEST_F(Connect, SmallRemovablePlayerWithoutUsbIdIsGuessedFromItsSize) {
    const std::string player = fake.mountUsbDisk("sdb", 8, 17, std::nullopt);
    test::FakeSystem::makePlayer(player);
    sizes[player] = 1'000'000ULL * 1024;
    ASSERT_TRUE(run().has_value());
    EXPECT_EQ(library.deviceKind, 2);
    EXPECT_EQ(modelName(library.deviceKind), "Apple iPod Shuffle");
    EXPECT_TRUE(library.deviceProperties.empty());

    sizes[player] = 1'500'000ULL * 1024;
    PlayerLibrary large(codec);
    library.clear();
    ASSERT_TRUE(run().has_value());
    EXPECT_EQ(library.deviceKind, 0) << "1,500,000 KB is not below the limit";
}

TEST_F(Connect, ProductNumberOverridesTheSizeGuess) {
    const std::string player = fake.mountUsbDisk("sdb", 8, 17, 0x1209);
    test::FakeSystem::makePlayer(player);
    sizes[player] = 512ULL * 1024 * 1024;
    ASSERT_TRUE(run().has_value());
    EXPECT_EQ(library.deviceKind, 0);
}

TEST(DeviceFamily, ModelNamesCoverEveryFamilyCode) {
    EXPECT_EQ(modelName(5), "Apple iPod nano");
    EXPECT_EQ(modelName(4), "Apple iPod");
    EXPECT_EQ(modelName(-1), "Apple iPod");
}

TEST(DeviceInformation, RowsShowModelMountPointAndSizes) {
    TextCodec codec("UTF-8");
    PlayerLibrary library(codec);
    library.rootPath = "/media/user/IPOD/";
    library.deviceKind = 3;
    const auto rows = deviceInformationRows(library, VolumeSpace{32ULL << 30, (3ULL << 30) / 2});
    ASSERT_EQ(rows.size(), 5U);
    EXPECT_EQ(rows[0].label, "Device Name");
    EXPECT_EQ(rows[0].value, "Apple iPod nano");
    EXPECT_EQ(rows[1].label, "Mount Point");
    EXPECT_EQ(rows[1].value, "/media/user/IPOD");
    EXPECT_EQ(rows[2].label, "Total Capacity");
    EXPECT_EQ(rows[2].value, "32.00 GB");
    EXPECT_EQ(rows[3].label, "Free Space");
    EXPECT_EQ(rows[3].value, "1.50 GB");
    EXPECT_EQ(rows[4].label, "Model");
    EXPECT_EQ(rows[4].value, "Apple iPod nano") << "no product id: the family's name";
    EXPECT_EQ(deviceInformationRows(library, std::nullopt)[2].value, "0.00 GB");
    EXPECT_EQ(mountPointText("/"), "/");
}

}  // namespace
}  // namespace pelmar
