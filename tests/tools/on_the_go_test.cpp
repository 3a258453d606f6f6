#include <gtest/gtest.h>

#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar::player_image::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t u32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The entries as a reader finds them: by the header's lengths, as far as the file reaches.
std::vector<std::uint32_t> entriesOf(const Bytes& file) {
    std::vector<std::uint32_t> entries;
    const std::uint32_t headerLength = u32(file, 4);
    const std::uint32_t entryLength = u32(file, 8);
    for (std::uint32_t i = 0; i < u32(file, 12); ++i) {
        const std::size_t at = headerLength + std::size_t{i} * entryLength;
        if (at + 4 > file.size()) {
            break;
        }
        entries.push_back(u32(file, at));
    }
    return entries;
}

PlayerImage imageWith(std::uint32_t files, OnTheGoDamage damage) {
    Options options;
    options.trackCount = 40;
    options.withPhotos = false;
    options.onTheGoCount = files;
    options.onTheGoDamage = damage;
    return generatePlayerImage(options);
}

TEST(OnTheGoPlaylists, EachFileListsIndicesIntoTheTrackListBehindItsHeader) {
    const PlayerImage image = imageWith(3, OnTheGoDamage::None);
    ASSERT_EQ(image.onTheGoPlaylists.size(), 3U);
    for (std::size_t i = 0; i < image.onTheGoPlaylists.size(); ++i) {
        const Bytes file = onTheGoBytes(image, i, OnTheGoDamage::None);
        ASSERT_GE(file.size(), 0x14U);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "mhpo");
        EXPECT_GE(u32(file, 4), 0x14U);
        EXPECT_GE(u32(file, 8), 4U);
        EXPECT_EQ(file.size(), u32(file, 4) + u32(file, 8) * u32(file, 12));
        EXPECT_EQ(entriesOf(file), image.onTheGoPlaylists[i]);
        for (const std::uint32_t index : image.onTheGoPlaylists[i]) {
            EXPECT_LT(index, image.tracks.size());
        }
    }
}

TEST(OnTheGoPlaylists, DamagedFilesAreWhatTheySay) {
    const PlayerImage pastEnd = imageWith(2, OnTheGoDamage::IndexPastEnd);
    EXPECT_EQ(entriesOf(onTheGoBytes(pastEnd, 0, OnTheGoDamage::IndexPastEnd)).back(),
              pastEnd.tracks.size());

    const PlayerImage healthy = imageWith(2, OnTheGoDamage::None);
    const Bytes whole = onTheGoBytes(healthy, 1, OnTheGoDamage::None);
    const Bytes cut = onTheGoBytes(healthy, 1, OnTheGoDamage::ShortFile);
    EXPECT_EQ(u32(cut, 12), u32(whole, 12)) << "the header still counts every entry";
    EXPECT_EQ(cut.size(), whole.size() - 8);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), whole.begin()));
    EXPECT_EQ(onTheGoBytes(healthy, 0, OnTheGoDamage::ShortFile), onTheGoBytes(healthy, 0, {}))
        << "only the last file is cut short";
}

TEST(OnTheGoPlaylists, FilesAreNumberedWithoutGapsAndOldOnesGo) {
    pelmar::test::TempFolder folder;
    Options options;
    options.trackCount = 30;
    options.withMedia = false;
    options.withPhotos = false;
    std::string error;
    for (const std::uint32_t files : {4U, 2U}) {
        options.onTheGoCount = files;
        ASSERT_TRUE(writePlayerImage(generatePlayerImage(options), folder.path(), options, error))
            << error;
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(std::filesystem::exists(onTheGoPath(folder.path(), i)), i < files) << i;
        }
    }
    EXPECT_EQ(onTheGoPath(folder.path(), 0).filename(), "OTGPlaylistInfo");
    EXPECT_EQ(onTheGoPath(folder.path(), 1).filename(), "OTGPlaylistInfo_1");
}

}  // namespace
}  // namespace pelmar::player_image::test
