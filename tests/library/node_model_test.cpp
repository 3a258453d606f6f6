#include "library/node_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "backup/selection_library.h"
#include "library/device_family.h"
#include "library/player_library.h"

namespace pelmar {
namespace {

using Nodes = std::vector<std::unique_ptr<NodeData>>;

NodeData nodeOf(std::int32_t kind, std::int32_t subkind, std::string text2 = {},
                std::string text3 = {}) {
    NodeData node;
    node.kind = kind;
    node.subkind = subkind;
    node.text2 = std::move(text2);
    node.text3 = std::move(text3);
    return node;
}

template <typename Field>
auto fieldOf(const Nodes& nodes, Field field) {
    std::vector<std::decay_t<decltype(nodes[0].get()->*field)>> out;
    for (const auto& node : nodes) {
        out.push_back(node.get()->*field);
    }
    return out;
}

std::vector<std::uint32_t> itemIds(const Nodes& nodes) {
    std::vector<std::uint32_t> ids;
    for (const auto& node : nodes) {
        ids.push_back(node->itemId.id);
    }
    return ids;
}

class NodeModel : public ::testing::Test {
  protected:
    NodeModel() { test::fillSelectionLibrary(library); }

    // The children of `node`, checked for what every build promises: success, and orders
    // 0, 1, 2... in build order.
    Nodes childrenOf(const NodeData* node) {
        Nodes out;
        EXPECT_TRUE(BuildChildNodes(source, node, out));
        for (std::size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i]->order, static_cast<std::int32_t>(i));
            EXPECT_EQ(out[i]->selectedImage, out[i]->image);
        }
        return out;
    }

    Nodes childrenOf(const NodeData& node) { return childrenOf(&node); }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    std::vector<std::uint32_t> searchResults{4, 1};
    std::vector<std::string> spaceQueries;
    NodeSource source{library, searchResults, [this](const std::string& path) {
                          spaceQueries.push_back(path);
                          return std::optional<VolumeSpace>({std::uint64_t{2} << 30, 1 << 30});
                      }};
};

TEST_F(NodeModel, RootIsThePlayerWithItsElevenCategories) {
    const Nodes root = childrenOf(nullptr);
    ASSERT_EQ(root.size(), 1U);
    EXPECT_EQ(root[0]->name, "iPod (/media/player)");
    EXPECT_EQ(std::tie(root[0]->kind, root[0]->subkind, root[0]->image, root[0]->count),
              std::make_tuple(NK_FOLDER, 1, 0, 0));

    const Nodes categories = childrenOf(*root[0]);
    EXPECT_EQ(fieldOf(categories, &NodeData::name),
              (std::vector<std::string>{"Songs (All Tracks)", "Podcasts", "Playlists", "Artists",
                                        "Albums", "Genres", "Composers", "Photos", "Videos",
                                        "Search Results", "Device Information"}));
    EXPECT_EQ(fieldOf(categories, &NodeData::kind),
              (std::vector<std::int32_t>{32, 32, 16, 16, 16, 16, 16, 16, 32, 32, 128}));
    EXPECT_EQ(fieldOf(categories, &NodeData::subkind),
              (std::vector<std::int32_t>{16, 21, 16, 32, 48, 64, 80, 144, 144, 128, 0}));
    EXPECT_EQ(fieldOf(categories, &NodeData::image),
              (std::vector<std::int32_t>{9, 37, 13, 14, 15, 16, 12, 10, 36, 11, 22}));
    // Songs: seven ids less one video.
    EXPECT_EQ(fieldOf(categories, &NodeData::count),
              (std::vector<std::int32_t>{6, 1, 2, 2, 5, 2, 2, 3, 1, 2, -1}));
}

TEST_F(NodeModel, PlaylistsAndPhotoAlbumsComeInSortedOrderWithTheirSizes) {
    const Nodes playlists = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kPlaylists));
    EXPECT_EQ(fieldOf(playlists, &NodeData::name), (std::vector<std::string>{"Zed", "alpha"}));
    EXPECT_EQ(fieldOf(playlists, &NodeData::count), (std::vector<std::int32_t>{3, 1}));
    for (const auto& node : playlists) {
        EXPECT_EQ(std::tie(node->kind, node->image), std::make_tuple(NK_PLAYLIST, 17));
        EXPECT_EQ(library.playlistName(node->itemId), node->name);
    }

    const Nodes albums = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kPhotos));
    EXPECT_EQ(fieldOf(albums, &NodeData::name),
              (std::vector<std::string>{"Beach", "Photo Library", "Trip"}));
    EXPECT_EQ(fieldOf(albums, &NodeData::count), (std::vector<std::int32_t>{1, 3, 2}));
    for (const auto& node : albums) {
        EXPECT_EQ(std::tie(node->kind, node->image), std::make_tuple(NK_PHOTO_ALBUM, 17));
        EXPECT_EQ(library.photoAlbumName(node->itemId), node->name);
    }
}

TEST_F(NodeModel, FoldersListSortedNamesWithTheAllTracksNodeFirstAndQueryCounts) {
    struct Case {
        NodeData parent;
        std::vector<std::string> names;
        std::vector<std::int32_t> counts;
        std::vector<std::int32_t> kinds;
        std::vector<std::int32_t> subkinds;
        std::vector<std::int32_t> icons;
    };
    const Case cases[] = {
        {nodeOf(NK_FOLDER, folder_subkind::kArtists),
         {"Abba", "Band"},
         {1, 4},
         {16, 16},
         {96, 96},
         {14, 14}},
        {nodeOf(NK_FOLDER, folder_subkind::kAlbums),
         {"Clip", "Gold", "Live", "Studio", "X"},
         {1, 2, 1, 1, 1},
         {32, 32, 32, 32, 32},
         {64, 64, 64, 64, 64},
         {15, 15, 15, 15, 15}},
        {nodeOf(NK_FOLDER, folder_subkind::kGenres),
         {"Pop", "Rock"},
         {2, 3},
         {16, 16},
         {112, 112},
         {16, 16}},
        {nodeOf(NK_FOLDER, folder_subkind::kComposers),
         {"Andersson", "Writer"},
         {1, 1},
         {16, 16},
         {128, 128},
         {12, 12}},
        {nodeOf(NK_FOLDER, folder_subkind::kArtist, "Band"),
         {"[ All: Band ]", "Clip", "Gold", "Live", "Studio"},
         {4, 1, 1, 1, 1},
         {32, 32, 32, 32, 32},
         {32, 48, 48, 48, 48},
         {9, 15, 15, 15, 15}},
        // The genre's artist counts only its tracks in the genre.
        {nodeOf(NK_FOLDER, folder_subkind::kGenre, "Pop"),
         {"[ All: Pop ]", "Abba", "Band"},
         {2, 1, 1},
         {32, 16, 16},
         {80, 96, 96},
         {9, 14, 14}},
        {nodeOf(NK_FOLDER, folder_subkind::kComposer, "Andersson"),
         {"[ All: Andersson ]", "Gold"},
         {1, 1},
         {32, 32},
         {96, 112},
         {9, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parent.subkind);
        const Nodes children = childrenOf(c.parent);
        EXPECT_EQ(fieldOf(children, &NodeData::name), c.names);
        EXPECT_EQ(fieldOf(children, &NodeData::count), c.counts);
        EXPECT_EQ(fieldOf(children, &NodeData::kind), c.kinds);
        EXPECT_EQ(fieldOf(children, &NodeData::subkind), c.subkinds);
        EXPECT_EQ(fieldOf(children, &NodeData::image), c.icons);
    }
}

TEST_F(NodeModel, DrillDownNodesCarryTheirFilters) {
    const Nodes band = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kArtist, "Band"));
    EXPECT_EQ(std::tie(band[0]->kind, band[0]->text2, band[0]->text3),
              std::make_tuple(NK_TRACKS, std::string("Band"), std::string()));
    EXPECT_EQ(std::tie(band[2]->kind, band[2]->text2, band[2]->text3),
              std::make_tuple(NK_TRACKS, std::string("Band"), std::string("Gold")));

    const Nodes pop = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kGenre, "Pop"));
    EXPECT_EQ(std::tie(pop[0]->text2, pop[2]->kind, pop[2]->text2, pop[2]->text3),
              std::make_tuple(std::string("Pop"), NK_FOLDER, std::string("Band"), std::string()));
    // The artist carries only its name, so it opens on all of its albums.
    EXPECT_EQ(childrenOf(*pop[2]).size(), band.size());

    const Nodes composer = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kComposer, "Andersson"));
    EXPECT_EQ(std::tie(composer[1]->text2, composer[1]->text3),
              std::make_tuple(std::string("Andersson"), std::string("Gold")));
}

TEST_F(NodeModel, GenreListsNoNamelessArtist) {
    test::addTrack(library, 7, {"", "Demo", "Rock", "", "Seven"});
    buildIndices(library);
    const Nodes rock = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kGenre, "Rock"));
    EXPECT_EQ(fieldOf(rock, &NodeData::name), (std::vector<std::string>{"[ All: Rock ]", "Band"}));
    EXPECT_EQ(rock[0]->count, 4);
}

TEST_F(NodeModel, TrackSetsListTheirTracksAsRows) {
    struct Case {
        std::int32_t subkind;
        std::string text2;
        std::string text3;
        std::vector<std::uint32_t> ids;  // query results sorted: their order is not promised
    };
    const Case cases[] = {
        {tracks_subkind::kSongs, "", "", {1, 2, 3, 4, 5, 99}},
        {tracks_subkind::kPodcasts, "", "", {5}},
        {tracks_subkind::kVideos, "", "", {6}},
        {tracks_subkind::kSearchResults, "", "", {4, 1}},
        {tracks_subkind::kArtistAll, "Band", "", {1, 2, 4, 6}},
        {tracks_subkind::kArtistAlbum, "Band", "Gold", {4}},
        {tracks_subkind::kAlbum, "Gold", "", {3, 4}},
        {tracks_subkind::kGenreAll, "Rock", "", {1, 2, 6}},
        {tracks_subkind::kComposerAll, "Writer", "", {1}},
        {tracks_subkind::kComposerAlbum, "Andersson", "Gold", {3}},
        {tracks_subkind::kComposerAlbum, "Andersson", "Live", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subkind);
        const Nodes rows = childrenOf(nodeOf(NK_TRACKS, c.subkind, c.text2, c.text3));
        std::vector<std::uint32_t> ids = itemIds(rows);
        if (c.subkind >= tracks_subkind::kArtistAll &&
            c.subkind <= tracks_subkind::kComposerAlbum) {
            std::sort(ids.begin(), ids.end());
        }
        EXPECT_EQ(ids, c.ids);
        for (const auto& row : rows) {
            EXPECT_EQ(std::tie(row->kind, row->name, row->image, row->count),
                      std::make_tuple(NK_TRACK, std::string(), 27, 0));
            EXPECT_EQ(std::tie(row->itemId.position, row->itemId.text),
                      std::make_tuple(0U, std::string()));
        }
    }
}

TEST_F(NodeModel, AllTracksNodeOfAnEmptyNameListsNoStaleQueryResults) {
    ASSERT_EQ(childrenOf(nodeOf(NK_TRACKS, tracks_subkind::kArtistAll, "Band")).size(), 4U);
    EXPECT_TRUE(childrenOf(nodeOf(NK_TRACKS, tracks_subkind::kArtistAll, "")).empty());
}

TEST_F(NodeModel, PlaylistAndAlbumRowsCarryTheirPositions) {
    const Nodes playlists = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kPlaylists));
    const Nodes items = childrenOf(*playlists[0]);  // "Zed"
    EXPECT_EQ(itemIds(items), (std::vector<std::uint32_t>{3, 1, 3}));
    const Nodes albums = childrenOf(nodeOf(NK_FOLDER, folder_subkind::kPhotos));
    const Nodes photos = childrenOf(*albums[2]);  // "Trip"
    EXPECT_EQ(itemIds(photos), (std::vector<std::uint32_t>{11, 12}));

    for (const auto* rows : {&items, &photos}) {
        for (std::size_t i = 0; i < rows->size(); ++i) {
            const NodeData& row = *(*rows)[i];
            EXPECT_EQ(row.kind, rows == &items ? NK_PLAYLIST_TRACK : NK_PHOTO);
            EXPECT_EQ(row.itemId.position, i);
            EXPECT_EQ(std::tie(row.name, row.image, row.count), std::make_tuple("", 27, 0));
        }
    }
}

TEST_F(NodeModel, DeviceInformationShowsThePlayerVolumeAndModel) {
    const NodeData info = nodeOf(NK_DEVICE_INFO, 0);
    const Nodes rows = childrenOf(info);
    EXPECT_EQ(fieldOf(rows, &NodeData::name),
              (std::vector<std::string>{"Device Name", "Mount Point", "Total Capacity",
                                        "Free Space", "Model"}));
    EXPECT_EQ(fieldOf(rows, &NodeData::text2),
              (std::vector<std::string>{modelName(library.deviceKind), "/media/player", "2.00 GB",
                                        "1.00 GB", modelName(library.deviceKind)}));
    EXPECT_EQ(fieldOf(rows, &NodeData::kind), std::vector<std::int32_t>(5, NK_PROPERTY));
    EXPECT_EQ(fieldOf(rows, &NodeData::image), std::vector<std::int32_t>(5, 22));
    EXPECT_EQ(spaceQueries, (std::vector<std::string>{"/media/player/"}));

    source.volumeSpace = [](const std::string&) { return std::optional<VolumeSpace>(); };
    EXPECT_EQ(childrenOf(info)[3]->text2, "0.00 GB");
    source.volumeSpace = nullptr;
    EXPECT_EQ(childrenOf(info)[2]->text2, "0.00 GB");
}

TEST_F(NodeModel, PhotosWithoutAlbumsCountsZeroAndHasNoChildren) {
    library.photoAlbumNames.clear();
    library.photoAlbumItems.clear();
    sortPhotoAlbums(library);
    const Nodes categories = childrenOf(*childrenOf(nullptr)[0]);
    EXPECT_EQ(categories[7]->count, 0);
    EXPECT_TRUE(childrenOf(*categories[7]).empty());
}

TEST_F(NodeModel, OnlyContainersExpandAndUnknownNodesFail) {
    for (const std::int32_t kind : {16, 32, 48, 96, 128}) {
        EXPECT_TRUE(isExpandable(nodeOf(kind, 0))) << kind;
    }
    for (const std::int32_t kind : {0, 64, 80, 112, 144, 17}) {
        EXPECT_FALSE(isExpandable(nodeOf(kind, 0))) << kind;
    }
    for (const std::int32_t kind : {64, 80, 112, 144}) {
        EXPECT_TRUE(childrenOf(nodeOf(kind, 0)).empty()) << kind;
    }
    for (const NodeData& unknown : {nodeOf(0, 0), nodeOf(16, 999), nodeOf(32, 999)}) {
        Nodes out;
        EXPECT_FALSE(BuildChildNodes(source, &unknown, out));
        EXPECT_TRUE(out.empty());
    }
}

}  // namespace
}  // namespace pelmar
