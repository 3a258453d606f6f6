#include "library/list_rows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "library/player_library.h"
#include "support/library_builder.h"

namespace pelmar {
namespace {

NodeData nodeOf(std::int32_t kind, std::int32_t subkind = 0) {
    NodeData node;
    node.kind = kind;
    node.subkind = subkind;
    return node;
}

NodeData trackRow(std::int32_t kind, std::uint32_t id, std::int32_t order) {
    NodeData row = nodeOf(kind);
    row.itemId.id = id;
    row.order = order;
    return row;
}

std::vector<std::string> titles(std::span<const ListColumn> columns) {
    std::vector<std::string> out;
    for (const ListColumn& column : columns) {
        out.emplace_back(column.title);
    }
    return out;
}

class ListRows : public ::testing::Test {
  protected:
    ListRows() {
        MhTrackData& full = test::addTrack(library, 7, {"Artist", "Album", "Rock", "Bach", "Song"});
        full.trackNumber = 3;
        full.fileType = 2;
        full.size = 1023;
        full.lengthMs = 59'999;
        full.bitrate = 1;
        full.year = 0;
        full.bpm = 120;
        full.rating = 99;
        full.playCount = 4;
        full.lastPlayed = 0;
        MhTrackData& bare = test::addTrack(library, 9, {"", "", "", "", "Only a title"});
        bare.fileType = 5;
        bare.bitrate = 192;
        bare.size = 2048;
        bare.lengthMs = 125'000;
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
};

TEST_F(ListRows, ColumnsFollowTheKindOfTheShownNode) {
    EXPECT_EQ(titles(listColumns(nullptr)), (std::vector<std::string>{"Name", "Contains"}));
    const NodeData folder = nodeOf(NK_FOLDER, folder_subkind::kArtists);
    EXPECT_EQ(titles(listColumns(&folder)), (std::vector<std::string>{"Name", "Contains"}));
    const NodeData tracks = nodeOf(NK_TRACKS, tracks_subkind::kSongs);
    const auto trackColumns = listColumns(&tracks);
    ASSERT_EQ(trackColumns.size(), 12U);
    EXPECT_EQ(std::string(trackColumns[11].title), "Last Played");
    EXPECT_EQ(trackColumns[0].width, 400);
    EXPECT_TRUE(trackColumns[2].alignRight);
    EXPECT_FALSE(trackColumns[6].alignRight);
    const NodeData playlist = nodeOf(NK_PLAYLIST);
    const auto playlistColumns = listColumns(&playlist);
    ASSERT_EQ(playlistColumns.size(), 13U);
    EXPECT_EQ(std::string(playlistColumns[0].title), "#");
    EXPECT_EQ(std::string(playlistColumns[1].title), "Name");
    const NodeData album = nodeOf(NK_PHOTO_ALBUM);
    EXPECT_EQ(titles(listColumns(&album)), (std::vector<std::string>{"Thumbnail"}));
    const NodeData device = nodeOf(NK_DEVICE_INFO);
    EXPECT_EQ(titles(listColumns(&device)), (std::vector<std::string>{"Property", "Value"}));
}

TEST_F(ListRows, TrackCellsShowTheTrackAsTheListPrintsIt) {
    const NodeData songs = nodeOf(NK_TRACKS, tracks_subkind::kSongs);
    EXPECT_EQ(listRowTexts(library, 0, songs, trackRow(NK_TRACK, 7, 0)),
              (std::vector<std::string>{"Artist - Album - 03 - Song", "mp3", "0 KB", "0:59", "VBR",
                                        "0", "Rock", "Bach", "120", "4", "4", ""}));
    const auto bare = listRowTexts(library, 0, songs, trackRow(NK_TRACK, 9, 1));
    EXPECT_EQ(bare[0], "Only a title");
    EXPECT_EQ(bare[2], "2 KB");
    EXPECT_EQ(bare[3], "2:05");
    EXPECT_EQ(bare[4], "192 Kbps");
}

TEST_F(ListRows, PlaylistRowsAreNumberedByTheirPositionFromOne) {
    const NodeData playlist = nodeOf(NK_PLAYLIST);
    const auto texts = listRowTexts(library, 0, playlist, trackRow(NK_PLAYLIST_TRACK, 9, 4));
    ASSERT_EQ(texts.size(), 13U);
    EXPECT_EQ(texts[0], "5");
    EXPECT_EQ(texts[1], "Only a title");
}

TEST_F(ListRows, ContainsShowsTheCountExceptForSearchResultsWhichIsLive) {
    const NodeData root = nodeOf(NK_FOLDER, folder_subkind::kRoot);
    NodeData artists = nodeOf(NK_FOLDER, folder_subkind::kArtists);
    artists.name = "Artists";
    artists.count = 12;
    EXPECT_EQ(listRowTexts(library, 5, root, artists), (std::vector<std::string>{"Artists", "12"}));
    NodeData search = nodeOf(NK_TRACKS, tracks_subkind::kSearchResults);
    search.name = "Search Results";
    search.count = 2;
    EXPECT_EQ(listRowTexts(library, 5, root, search)[1], "5");
    NodeData device = nodeOf(NK_DEVICE_INFO);
    device.count = -1;
    EXPECT_EQ(listRowTexts(library, 5, root, device)[1], "");
    NodeData property = nodeOf(NK_PROPERTY);
    property.name = "Free Space";
    property.text2 = "1.50 GB";
    EXPECT_EQ(listRowTexts(library, 5, nodeOf(NK_DEVICE_INFO), property),
              (std::vector<std::string>{"Free Space", "1.50 GB"}));
}

TEST_F(ListRows, TracksSortByTheirKeyWhichAlwaysHasFiveParts) {
    test::addTrack(library, 11, {"artist", "Album", "", "", "Another"}).fileType = 2;
    std::vector<NodeData> rows{trackRow(NK_TRACK, 7, 0), trackRow(NK_TRACK, 9, 1),
                               trackRow(NK_TRACK, 11, 2)};
    std::vector<NodeData*> order{&rows[0], &rows[1], &rows[2]};
    orderListRows(library, nodeOf(NK_TRACKS, tracks_subkind::kSongs), order);
    EXPECT_EQ(rows[1].name, " -  - 00 - Only a title.m4a");
    EXPECT_EQ(rows[0].name, "Artist - Album - 03 - Song.mp3");
    ASSERT_EQ(order.size(), 3U);
    EXPECT_EQ(order[0]->itemId.id, 9U);
    // "artist" and "Artist" tie without regard to case, so the track number decides.
    EXPECT_EQ(order[1]->itemId.id, 11U);
    EXPECT_EQ(order[2]->itemId.id, 7U);
}

TEST_F(ListRows, AllTracksRowComesFirstAndNamesIgnoreCase) {
    std::vector<NodeData> rows(4, nodeOf(NK_TRACKS, tracks_subkind::kArtistAlbum));
    rows[0].name = "beta";
    rows[1].name = "Alpha";
    rows[2].name = "[ All: Zed ]";
    rows[3].name = "alpha2";
    std::vector<NodeData*> order{&rows[0], &rows[1], &rows[2], &rows[3]};
    orderListRows(library, nodeOf(NK_FOLDER, folder_subkind::kArtist), order);
    std::vector<std::string> names;
    for (const NodeData* row : order) {
        names.push_back(row->name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"[ All: Zed ]", "Alpha", "alpha2", "beta"}));
}

TEST_F(ListRows, PlaylistsAlbumsDeviceAndRootKeepTheirBuildOrder) {
    for (const NodeData& current :
         {nodeOf(NK_PLAYLIST), nodeOf(NK_PHOTO_ALBUM), nodeOf(NK_DEVICE_INFO),
          nodeOf(NK_FOLDER, folder_subkind::kRoot)}) {
        std::vector<NodeData> rows{trackRow(NK_PLAYLIST_TRACK, 7, 1),
                                   trackRow(NK_PLAYLIST_TRACK, 9, 0)};
        rows[0].name = "a";
        rows[1].name = "z";
        std::vector<NodeData*> order{&rows[0], &rows[1]};
        orderListRows(library, current, order);
        EXPECT_EQ(order[0]->name, "z") << current.kind;
    }
}

TEST_F(ListRows, ShadingHeightAndStatusText) {
    const NodeData tracks = nodeOf(NK_TRACKS, tracks_subkind::kSongs);
    EXPECT_TRUE(isShadedRow(tracks, 0));
    EXPECT_FALSE(isShadedRow(tracks, 1));
    EXPECT_TRUE(isShadedRow(tracks, 2));
    EXPECT_FALSE(isShadedRow(nodeOf(NK_FOLDER, folder_subkind::kArtists), 0));
    EXPECT_FALSE(isShadedRow(nodeOf(NK_DEVICE_INFO), 0));
    EXPECT_TRUE(isShadedRow(nodeOf(NK_PHOTO_ALBUM), 0));
    const NodeData album = nodeOf(NK_PHOTO_ALBUM);
    EXPECT_EQ(listRowHeight(&album), 100);
    EXPECT_EQ(listRowHeight(&tracks), 17);
    EXPECT_EQ(listRowHeight(nullptr), 17);
    EXPECT_EQ(listStatusText(0, 12), "12 items.");
    EXPECT_EQ(listStatusText(3, 12), "3 items selected.");
    EXPECT_EQ(listStatusText(0, 0), "0 items.");
}

}  // namespace
}  // namespace pelmar
