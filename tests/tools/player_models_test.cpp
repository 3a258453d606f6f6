#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "player_image/player_image.h"
#include "support/temp_folder.h"
#include "tools/database_tree.h"

namespace pelmar::player_image::test {
namespace {

std::set<std::uint32_t> listedPhotoFormats(const PlayerImage& image) {
    const std::vector<std::uint8_t> bytes = photoDatabaseBytes(image);
    const DatabaseTree tree = parsePhotoDatabase(bytes);
    std::set<std::uint32_t> formats;
    for (const Record* file : tree.datasets(3).at(0)->childrenTagged("mhif")) {
        formats.insert(file->u32(16));
    }
    return formats;
}

TEST(PlayerModels, EachModelWritesTheFilesOfItsGeneration) {
    pelmar::test::TempFolder folder;
    for (const PlayerModel& model : playerModels()) {
        SCOPED_TRACE(model.name);
        Options options = optionsFor(model.model);
        options.trackCount = 40;
        options.photoCount = 3;
        options.withMedia = false;
        const PlayerImage image = generatePlayerImage(options);
        std::string error;
        ASSERT_TRUE(writePlayerImage(image, folder.path(), options, error)) << error;
        const std::filesystem::path root = folder.path();

        EXPECT_EQ(model.usbProductId == 0, model.model == Model::Mixed);
        const std::vector<std::uint8_t> database = musicDatabaseBytes(image);
        const DatabaseTree tree = parseDatabase(database);
        EXPECT_TRUE(tree.problems.empty());
        EXPECT_EQ(tree.root.headerLength, model.databaseHeaderLength);
        EXPECT_EQ(tree.root.u32(16), model.databaseVersion);
        EXPECT_EQ(tree.datasets(1).at(0)->children.at(1).headerLength, model.trackHeaderLength);

        EXPECT_EQ(std::filesystem::file_size(musicDatabasePath(root)) == 0,
                  model.compressedDatabase);
        EXPECT_EQ(std::filesystem::exists(compressedDatabasePath(root)), model.compressedDatabase);
        EXPECT_EQ(std::filesystem::exists(sqliteFolderPath(root) / "Dynamic.itdb"),
                  model.sqliteDatabases);
        EXPECT_EQ(std::filesystem::exists(playCountPath(root)), !model.sqliteDatabases)
            << "players with Dynamic.itdb record plays there";
        EXPECT_EQ(std::filesystem::exists(artworkDatabasePath(root)),
                  !model.artworkFormats.empty());

        const std::string sysInfo = pelmar::test::readAll(sysInfoPath(root));
        if (model.model == Model::Mixed) {
            EXPECT_FALSE(std::filesystem::exists(sysInfoPath(root)));
        } else {
            EXPECT_NE(sysInfo.find("\nModelNumStr: " + std::string(model.modelNumber) + "\n"),
                      std::string::npos);
            EXPECT_NE(sysInfo.find("\nFirewireGuid: 0x000A2700"), std::string::npos);
            EXPECT_EQ(listedPhotoFormats(image), std::set<std::uint32_t>(model.photoFormats.begin(),
                                                                         model.photoFormats.end()));
        }
    }
}

TEST(PlayerModels, OptionsAModelDoesNotOfferAreRefused) {
    const struct {
        const char* what;
        Model model;
        std::function<void(Options&)> change;
    } cases[] = {
        {"originals on a nano", Model::Nano5G, [](Options& o) { o.withOriginals = true; }},
        {"no compressed database beside no SQLite files", Model::Nano5G,
         [](Options& o) { o.compressedPresence = CompressedPresence::Missing; }},
        {"a file limit below one slot", Model::Classic,
         [](Options& o) { o.thumbnailFileLimit = 1000; }},
        {"photos beyond a 4 GiB thumbnail file", Model::Classic,
         [](Options& o) { o.photoCount = kMostPhotos; }},
    };
    for (const auto& refused : cases) {
        Options options = optionsFor(refused.model);
        options.trackCount = 5;
        refused.change(options);
        EXPECT_THROW((void)generatePlayerImage(options), std::invalid_argument) << refused.what;
    }
}

TEST(PlayerModels, LaterFilesLeaveTheMusicSideAsItWas) {
    Options plain = optionsFor(Model::Classic);
    plain.withPhotos = false;
    plain.withArtwork = false;
    Options full = optionsFor(Model::Classic);
    full.withOriginals = true;
    full.onTheGoCount = 3;
    const PlayerImage a = generatePlayerImage(plain);
    const PlayerImage b = generatePlayerImage(full);
    ASSERT_EQ(a.tracks.size(), b.tracks.size());
    for (std::size_t i = 0; i < a.tracks.size(); ++i) {
        EXPECT_EQ(a.tracks[i].databaseId, b.tracks[i].databaseId);
        EXPECT_EQ(a.tracks[i].title, b.tracks[i].title);
        EXPECT_EQ(a.tracks[i].location, b.tracks[i].location);
    }
    EXPECT_EQ(playCountBytes(a, 16), playCountBytes(b, 16));
}

}  // namespace
}  // namespace pelmar::player_image::test
