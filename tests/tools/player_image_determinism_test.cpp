#include <gtest/gtest.h>

#include <map>

#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar::player_image::test {
namespace {

struct ImageBytes {
    std::vector<std::uint8_t> database;
    std::vector<std::uint8_t> playCounts;
    std::vector<std::uint8_t> firstMediaFile;
    std::vector<std::uint8_t> photoDatabase;
    std::vector<std::uint8_t> listThumbnails;
    std::vector<std::uint8_t> televisionThumbnails;

    bool operator==(const ImageBytes&) const = default;
};

ImageBytes bytesFor(std::uint64_t seed) {
    Options options;
    options.seed = seed;
    const PlayerImage image = generatePlayerImage(options);
    return {musicDatabaseBytes(image),          playCountBytes(image, 28),
            mediaFileBytes(image.tracks.at(0)), photoDatabaseBytes(image),
            thumbnailFileBytes(image, 1009),    thumbnailFileBytes(image, 1019)};
}

TEST(PlayerImageDeterminism, TheSameSeedGivesTheSameBytes) {
    EXPECT_TRUE(bytesFor(7) == bytesFor(7));
}

TEST(PlayerImageDeterminism, AnotherSeedGivesAnotherLibrary) {
    const ImageBytes first = bytesFor(7);
    const ImageBytes second = bytesFor(8);
    EXPECT_NE(first.database, second.database);
    EXPECT_NE(first.playCounts, second.playCounts);
    EXPECT_NE(first.photoDatabase, second.photoDatabase);
}

TEST(PlayerImageDeterminism, TrackIdsNamesAndPlacesDoNotDependOnTheLayoutOptions) {
    Options plain;
    Options layout;
    layout.trackHeaderLength = 244;
    layout.albumsBeforeTracks = true;
    layout.withMedia = false;
    const PlayerImage a = generatePlayerImage(plain);
    const PlayerImage b = generatePlayerImage(layout);
    ASSERT_EQ(a.tracks.size(), b.tracks.size());
    for (std::size_t i = 0; i < a.tracks.size(); ++i) {
        EXPECT_EQ(a.tracks[i].id, b.tracks[i].id);
        EXPECT_EQ(a.tracks[i].title, b.tracks[i].title);
        EXPECT_EQ(a.tracks[i].location, b.tracks[i].location);
    }
}

// Every file under the folder, by its path relative to it.
std::map<std::string, std::string> filesUnder(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[std::filesystem::relative(entry.path(), root).string()] =
                pelmar::test::readAll(entry.path());
        }
    }
    return files;
}

std::map<std::string, std::string> writtenFiles(Model model, std::uint64_t seed,
                                                SqliteDamage damage = SqliteDamage::None) {
    Options options = optionsFor(model);
    options.seed = seed;
    options.trackCount = 80;
    options.photoCount = 4;
    options.onTheGoCount = 2;
    options.withOriginals = playerModel(model).fullResolutionPhotos;
    options.sqliteDamage = damage;
    pelmar::test::TempFolder folder;
    std::string error;
    EXPECT_TRUE(writePlayerImage(generatePlayerImage(options), folder.path(), options, error))
        << error;
    return filesUnder(folder.path());
}

TEST(PlayerImageDeterminism, LaterModelsWriteTheSameFilesForTheSameOptions) {
    for (const Model model : {Model::Classic, Model::Nano7G}) {
        const auto first = writtenFiles(model, 11);
        const auto again = writtenFiles(model, 11);
        ASSERT_EQ(first.size(), again.size());
        for (const auto& [path, bytes] : first) {
            EXPECT_TRUE(again.at(path) == bytes) << path;
        }
        const auto other = writtenFiles(model, 12);
        const std::string database = model == Model::Nano7G ? "iPod_Control/iTunes/iTunesCDB"
                                                            : "iPod_Control/Artwork/ArtworkDB";
        EXPECT_NE(first.at(database), other.at(database));
    }
    const auto journal = writtenFiles(Model::Nano6G, 3, SqliteDamage::Journal);
    const std::string name = "iPod_Control/iTunes/iTunes Library.itlp/Dynamic.itdb-journal";
    EXPECT_TRUE(writtenFiles(Model::Nano6G, 3, SqliteDamage::Journal).at(name) == journal.at(name));
}

}  // namespace
}  // namespace pelmar::player_image::test
