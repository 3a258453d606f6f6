#include "backup/backup_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "backup/selection_library.h"
#include "util/literal_store.h"
#include "util/protected_literals.h"

namespace pelmar {
namespace {

std::vector<std::uint32_t> idsOf(const std::vector<KernelId>& items) {
    std::vector<std::uint32_t> ids;
    for (const KernelId& item : items) {
        ids.push_back(item.id);
    }
    return ids;
}

class BackupSelectionTest : public ::testing::Test {
  protected:
    BackupSelectionTest() { test::fillSelectionLibrary(library); }

    // The child of `parent` called `name` (the first one for ""), kept alive by the fixture.
    const NodeData& child(const NodeData* parent, const std::string& name = "") {
        auto& children = built.emplace_back();
        EXPECT_TRUE(BuildChildNodes(source, parent, children));
        const auto found = std::find_if(children.begin(), children.end(),
                                        [&](const auto& node) { return node->name == name; });
        if (found == children.end()) {
            ADD_FAILURE() << "no child named " << name;
            return placeholder;
        }
        return **found;
    }

    const NodeData& root() { return child(nullptr, "iPod (/media/player)"); }
    const NodeData& category(const std::string& name) { return child(&root(), name); }

    BackupSelection collect(std::vector<const NodeData*> start) {
        return CollectBackupSelection(source, start);
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    std::vector<std::uint32_t> searchResults{4, 1};
    NodeSource source{library, searchResults, nullptr};
    std::deque<std::vector<std::unique_ptr<NodeData>>> built;  // stays put as it grows
    NodeData placeholder;
};

TEST_F(BackupSelectionTest, RootTakesEveryItemOnceInBreadthFirstOrder) {
    const BackupSelection selection = collect({&root()});
    // Songs, then the video: both lie a level above every playlist's or artist's tracks.
    EXPECT_EQ(idsOf(selection.tracks), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 99, 6}));
    std::vector<std::string> names;
    for (const KernelId& playlist : selection.playlists) {
        names.push_back(library.playlistName(playlist));
    }
    for (const KernelId& album : selection.photoAlbums) {
        names.push_back(library.photoAlbumName(album));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Zed", "alpha", "Beach", "Photo Library", "Trip"}));
    // Beach gives 12, Photo Library 10 and 11; Trip adds nothing new.
    EXPECT_EQ(idsOf(selection.photos), (std::vector<std::uint32_t>{12, 10, 11}));
    for (const auto* items : {&selection.tracks, &selection.photos}) {
        for (const KernelId& item : *items) {
            KernelId onlyId;
            onlyId.id = item.id;
            EXPECT_EQ(item, onlyId);
        }
    }
}

TEST_F(BackupSelectionTest, TrackListedTwiceInAPlaylistIsTakenOnce) {
    const NodeData& zed = child(&category("Playlists"), "Zed");
    const BackupSelection selection = collect({&zed});
    EXPECT_EQ(idsOf(selection.tracks), (std::vector<std::uint32_t>{3, 1}));
    EXPECT_EQ(selection.playlists, std::vector<KernelId>{zed.itemId});
}

TEST_F(BackupSelectionTest, PhotoInTwoPickedAlbumsIsTakenOnce) {
    const NodeData& trip = child(&category("Photos"), "Trip");
    const NodeData& beach = child(&category("Photos"), "Beach");
    const BackupSelection selection = collect({&trip, &beach});
    EXPECT_EQ(idsOf(selection.photos), (std::vector<std::uint32_t>{11, 12}));
    EXPECT_EQ(selection.photoAlbums, (std::vector<KernelId>{trip.itemId, beach.itemId}));
    EXPECT_TRUE(selection.tracks.empty());
}

TEST_F(BackupSelectionTest, DeviceInformationAddsNothing) {
    const NodeData& info = category("Device Information");
    const BackupSelection selection = collect({&info, &child(&info, "Mount Point")});
    EXPECT_TRUE(selection.tracks.empty());
    EXPECT_TRUE(selection.playlists.empty());
    EXPECT_TRUE(selection.photoAlbums.empty());
    EXPECT_TRUE(selection.photos.empty());
}

TEST_F(BackupSelectionTest, ListRowsOfMixedKindsAreWalkedBreadthFirst) {
    const NodeData& podcastRow = child(&category("Podcasts"));
    const NodeData& alpha = child(&category("Playlists"), "alpha");
    const NodeData& band = child(&category("Artists"), "Band");
    // Depth first would take the playlist's and the artist's tracks before the podcast.
    const BackupSelection selection = collect({&alpha, &band, nullptr, &podcastRow});
    EXPECT_EQ(idsOf(selection.tracks), (std::vector<std::uint32_t>{5, 2, 1, 4, 6}));
    EXPECT_EQ(selection.playlists, std::vector<KernelId>{alpha.itemId});
}

TEST_F(BackupSelectionTest, EveryDistinctTrackSetIsExpandedEvenWhenSetsRepeat) {
    const NodeData& band = child(&category("Artists"), "Band");
    const NodeData& gold = child(&band, "Gold");
    const NodeData& goldAgain = child(&band, "Gold");
    const NodeData& live = child(&band, "Live");
    const NodeData& composersGold = child(&child(&category("Composers"), "Andersson"), "Gold");
    const BackupSelection selection = collect({&gold, &goldAgain, &live, &composersGold});
    EXPECT_EQ(idsOf(selection.tracks), (std::vector<std::uint32_t>{4, 1, 3}));
}

TEST_F(BackupSelectionTest, GenreTakesItsArtistsAlbumsButNoOtherArtistlessTracks) {
    test::addTrack(library, 7, {"", "Demo", "Pop", "", "Seven"});
    buildIndices(library);
    const BackupSelection selection = collect({&child(&category("Genres"), "Pop")});
    EXPECT_EQ(idsOf(selection.tracks), (std::vector<std::uint32_t>{3, 4, 7, 1, 2, 6}));
}

TEST(BackupStart, TreeStartsFromItsSelectedNode) {
    EXPECT_EQ(backupStartFromTree(nullptr).refusal, reveal(kLiteralTreeNoSelection));
    const NodeData node;
    const BackupStart start = backupStartFromTree(&node);
    EXPECT_FALSE(start.refused());
    EXPECT_EQ(start.nodes, (std::vector<const NodeData*>{&node}));
}

TEST(BackupStart, ListStartsFromItsSelectedRowsThatCanBeBackedUp) {
    NodeData track;
    track.kind = NK_TRACK;
    NodeData property;
    property.kind = NK_PROPERTY;

    EXPECT_EQ(backupStartFromList({}).refusal, reveal(kLiteralListNoSelection));
    const std::vector<const NodeData*> nothingToTake{nullptr, &property};
    EXPECT_EQ(backupStartFromList(nothingToTake).refusal, reveal(kLiteralNothingToBackUp));

    const std::vector<const NodeData*> rows{&track, nullptr, &property, &track};
    const BackupStart start = backupStartFromList(rows);
    EXPECT_FALSE(start.refused());
    EXPECT_EQ(start.nodes, (std::vector<const NodeData*>{&track, &track}));
}

}  // namespace
}  // namespace pelmar
