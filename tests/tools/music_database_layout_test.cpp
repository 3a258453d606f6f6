#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "player_image/player_image.h"
#include "tools/database_tree.h"

namespace pelmar::player_image::test {
namespace {

struct WrittenImage {
    PlayerImage image;
    std::vector<std::uint8_t> bytes;
    DatabaseTree tree;
};

WrittenImage write(const Options& options) {
    WrittenImage written;
    written.image = generatePlayerImage(options);
    written.bytes = musicDatabaseBytes(written.image);
    written.tree = parseDatabase(written.bytes);
    return written;
}

const WrittenImage& defaultImage() {
    static const WrittenImage written = write(Options{});
    return written;
}

std::vector<std::uint32_t> datasetTypes(const DatabaseTree& tree) {
    std::vector<std::uint32_t> types;
    for (const Record* dataset : tree.root.childrenTagged("mhsd")) {
        types.push_back(dataset->u32(12));
    }
    return types;
}

TEST(MusicDatabaseLayout, WalkingByTotalLengthsCoversEveryByte) {
    Options albumsFirst;
    albumsFirst.albumsBeforeTracks = true;
    Options shortHeaders;
    shortHeaders.trackHeaderLength = 156;
    Options empty;
    empty.trackCount = 0;
    for (const Options& options : {Options{}, albumsFirst, shortHeaders, empty}) {
        const WrittenImage written = write(options);
        EXPECT_TRUE(written.tree.problems.empty()) << written.tree.problems.front();
        EXPECT_EQ(written.tree.bytesCovered, written.bytes.size());
        EXPECT_EQ(written.tree.root.totalLength, written.bytes.size());
        EXPECT_EQ(written.tree.root.u32(20), 4U) << "dataset count";
    }
}

TEST(MusicDatabaseLayout, DatasetsComeInAnOrderRealWritersUse) {
    EXPECT_EQ(datasetTypes(defaultImage().tree), (std::vector<std::uint32_t>{1, 3, 2, 4}));

    Options albumsFirst;
    albumsFirst.albumsBeforeTracks = true;
    EXPECT_EQ(datasetTypes(write(albumsFirst).tree), (std::vector<std::uint32_t>{4, 1, 3, 2}));
}

TEST(MusicDatabaseLayout, ListHeadersCountTheRecordsThatFollowThem) {
    const DatabaseTree& tree = defaultImage().tree;
    const std::pair<std::uint32_t, std::pair<const char*, const char*>> lists[] = {
        {1, {"mhlt", "mhit"}}, {2, {"mhlp", "mhyp"}}, {3, {"mhlp", "mhyp"}}, {4, {"mhla", "mhia"}}};
    for (const auto& [type, tags] : lists) {
        const Record& dataset = *tree.datasets(type).at(0);
        ASSERT_EQ(dataset.children.front().tag, tags.first);
        EXPECT_EQ(dataset.children.front().u32(8), dataset.children.size() - 1) << type;
        EXPECT_EQ(dataset.childrenTagged(tags.second).size(), dataset.children.size() - 1) << type;
    }
}

TEST(MusicDatabaseLayout, TrackChildCountsCountEveryStringChild) {
    const DatabaseTree& tree = defaultImage().tree;
    std::set<std::uint32_t> childCounts;
    for (const Record* track : tree.datasets(1).at(0)->childrenTagged("mhit")) {
        EXPECT_EQ(track->u32(12), track->children.size()) << "track at " << track->offset;
        EXPECT_EQ(track->childrenTagged("mhod").size(), track->children.size());
        childCounts.insert(track->u32(12));
    }
    EXPECT_GT(childCounts.size(), 3U) << "absent tags should make child counts vary";
}

TEST(MusicDatabaseLayout, TrackIdsAreUniqueAndEveryPlaylistItemNamesATrack) {
    const DatabaseTree& tree = defaultImage().tree;
    std::set<std::uint32_t> ids;
    for (const Record* track : tree.datasets(1).at(0)->childrenTagged("mhit")) {
        EXPECT_TRUE(ids.insert(track->u32(16)).second) << "id " << track->u32(16) << " twice";
    }
    for (const std::uint32_t type : {2U, 3U}) {
        for (const Record* playlist : tree.datasets(type).at(0)->childrenTagged("mhyp")) {
            for (const Record* item : playlist->childrenTagged("mhip")) {
                EXPECT_TRUE(ids.contains(item->u32(24))) << "item at " << item->offset;
            }
        }
    }
}

TEST(MusicDatabaseLayout, PlaylistHeadersCountTheirChildrenAndItems) {
    const DatabaseTree& tree = defaultImage().tree;
    for (const std::uint32_t type : {2U, 3U}) {
        for (const Record* playlist : tree.datasets(type).at(0)->childrenTagged("mhyp")) {
            const auto items = playlist->childrenTagged("mhip");
            EXPECT_EQ(playlist->u32(12), playlist->childrenTagged("mhod").size());
            EXPECT_EQ(playlist->u32(16), items.size());
            ASSERT_FALSE(playlist->children.empty());
            EXPECT_EQ(playlist->children.front().childType(), 1U) << "the name comes first";
            for (const Record* item : items) {
                ASSERT_EQ(item->children.size(), 1U);
                EXPECT_EQ(item->u32(12), 1U);
                EXPECT_EQ(item->children.front().childType(), 100U);
            }
        }
    }
}

TEST(MusicDatabaseLayout, MasterPlaylistComesFirstAndListsEveryTrackInDatabaseOrder) {
    const DatabaseTree& tree = defaultImage().tree;
    const Record& master = *tree.datasets(2).at(0)->childrenTagged("mhyp").at(0);
    std::vector<std::uint32_t> masterItems;
    for (const Record* item : master.childrenTagged("mhip")) {
        masterItems.push_back(item->u32(24));
    }
    std::vector<std::uint32_t> trackIds;
    for (const Record* track : tree.datasets(1).at(0)->childrenTagged("mhit")) {
        trackIds.push_back(track->u32(16));
    }
    EXPECT_EQ(masterItems, trackIds);
    EXPECT_EQ(master.u8(20), 1) << "the master playlist is hidden";
}

TEST(MusicDatabaseLayout, MasterIndexChildrenListEveryTrackPositionOnce) {
    const WrittenImage& written = defaultImage();
    const Record& master = *written.tree.datasets(2).at(0)->childrenTagged("mhyp").at(0);
    std::size_t sortIndexes = 0;
    std::size_t jumpTables = 0;
    for (const Record* child : master.childrenTagged("mhod")) {
        if (child->childType() == 52) {
            ++sortIndexes;
            const std::uint32_t count = child->u32(28);
            ASSERT_EQ(count, written.image.tracks.size());
            ASSERT_EQ(child->totalLength, 72 + 4 * count);
            std::vector<std::uint32_t> positions;
            for (std::uint32_t i = 0; i < count; ++i) {
                positions.push_back(child->u32(72 + 4 * i));
            }
            std::sort(positions.begin(), positions.end());
            for (std::uint32_t i = 0; i < count; ++i) {
                ASSERT_EQ(positions[i], i);
            }
        } else if (child->childType() == 53) {
            ++jumpTables;
            EXPECT_EQ(child->totalLength, 40 + 12 * child->u32(28));
        }
    }
    EXPECT_EQ(sortIndexes, 5U);
    EXPECT_EQ(jumpTables, 5U);
}

TEST(MusicDatabaseLayout, TrackRecordsHoldTheIntendedFieldsAndTexts) {
    const WrittenImage& written = defaultImage();
    const auto records = written.tree.datasets(1).at(0)->childrenTagged("mhit");
    ASSERT_EQ(records.size(), written.image.tracks.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = *records[i];
        const Track& track = written.image.tracks[i];
        SCOPED_TRACE("track " + std::to_string(track.id));
        EXPECT_EQ(record.headerLength, 584U);
        EXPECT_EQ(record.u32(16), track.id);
        EXPECT_EQ(record.u8(31), track.rating);
        EXPECT_EQ(record.u32(36), track.size);
        EXPECT_EQ(record.u32(40), track.lengthMs);
        EXPECT_EQ(record.u32(44), track.trackNumber);
        EXPECT_EQ(record.u32(52), track.year);
        EXPECT_EQ(record.u32(56), track.bitrate);
        EXPECT_EQ(record.u32(80), track.playCount);
        EXPECT_EQ(record.u32(88), track.lastPlayed);
        EXPECT_EQ(record.u8(121), track.appRating);
        EXPECT_EQ(record.u16(122), track.bpm);
        EXPECT_EQ(record.u32(208), track.mediaKind);

        std::map<std::uint32_t, std::string> texts;
        for (const Record& child : record.children) {
            const std::uint32_t type = child.childType();
            if (type == 15 || type == 16) {
                texts[type].assign(child.bytes.begin() + 24, child.bytes.end());
                continue;
            }
            EXPECT_EQ(stringEncoding(child), static_cast<std::uint32_t>(track.stringEncoding));
            EXPECT_TRUE(texts.emplace(type, stringText(child)).second)
                << "type " << type << " twice";
        }
        const std::pair<std::uint32_t, const std::string*> expected[] = {
            {1, &track.title},         {2, &track.location},  {3, &track.album},
            {4, &track.artist},        {5, &track.genre},     {6, &track.fileTypeText},
            {8, &track.comment},       {12, &track.composer}, {14, &track.description},
            {15, &track.enclosureUrl}, {16, &track.feedUrl}};
        for (const auto& [type, text] : expected) {
            if (text->empty()) {
                EXPECT_FALSE(texts.contains(type)) << "absent tag " << type << " has a child";
            } else {
                EXPECT_EQ(texts[type], *text) << "type " << type;
            }
        }
    }
}

TEST(MusicDatabaseLayout, PlaylistRecordsHoldTheIntendedNamesAndItems) {
    const WrittenImage& written = defaultImage();
    const std::pair<std::uint32_t, const std::vector<Playlist>*> lists[] = {
        {2, &written.image.playlists}, {3, &written.image.podcastPlaylists}};
    for (const auto& [type, playlists] : lists) {
        const auto records = written.tree.datasets(type).at(0)->childrenTagged("mhyp");
        ASSERT_EQ(records.size(), playlists->size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(stringText(records[i]->children.front()), (*playlists)[i].name);
            std::vector<std::uint32_t> items;
            for (const Record* item : records[i]->childrenTagged("mhip")) {
                items.push_back(item->u32(24));
            }
            EXPECT_EQ(items, (*playlists)[i].items) << (*playlists)[i].name;
        }
    }
}

TEST(MusicDatabaseLayout, ShortTrackHeadersLeaveOutTheMediaKind) {
    Options options;
    options.trackHeaderLength = 156;
    const WrittenImage written = write(options);
    for (const Record* track : written.tree.datasets(1).at(0)->childrenTagged("mhit")) {
        EXPECT_EQ(track->headerLength, 156U);
    }
    for (const Track& track : written.image.tracks) {
        EXPECT_EQ(track.mediaKind, 0U) << "a 156-byte header cannot hold the media kind";
        EXPECT_EQ(track.headerLength, 156U);
    }
}

}  // namespace
}  // namespace pelmar::player_image::test
