#include "library/playlists.h"

#include <gtest/gtest.h>

#include "library/player_library.h"
#include "support/library_builder.h"

namespace pelmar {
namespace {

class Playlists : public ::testing::Test {
  protected:
    std::vector<std::string> enumeratedNames() {
        std::vector<std::string> names;
        KernelId id;
        for (int more = library.firstPlaylist(id); more != 0; more = library.nextPlaylist(id)) {
            names.push_back(library.playlistName(id));
        }
        return names;
    }

    std::vector<std::string> sortedNames() {
        std::vector<std::string> names;
        KernelId id;
        for (int more = library.firstSortedPlaylist(id); more != 0;
             more = library.nextSortedPlaylist(id)) {
            names.push_back(library.playlistName(id));
        }
        return names;
    }

    void complete() {
        completePlaylistNames(library);
        sortPlaylists(library);
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
};

TEST_F(Playlists, DatabaseWithoutPlaylistsGetsThePlaceholderMaster) {
    complete();
    EXPECT_EQ(library.playlistNames, (std::vector<std::string>{"Pelmar"}));
    EXPECT_TRUE(library.playlistItems.contains("Pelmar"));
    KernelId id;
    EXPECT_EQ(library.firstPlaylist(id), 0);
    EXPECT_EQ(library.firstSortedPlaylist(id), 0);
    EXPECT_TRUE(library.sortedPlaylistIds.empty());
}

TEST_F(Playlists, MasterAloneEnumeratesNothing) {
    test::addPlaylist(library, "iPod", {1, 2});
    complete();
    KernelId id;
    EXPECT_EQ(library.firstPlaylist(id), 0);
    EXPECT_EQ(library.playlistNames, (std::vector<std::string>{"iPod"}));
}

TEST_F(Playlists, NamesSortWithoutCaseWhileSortedIdsUseByteOrder) {
    test::addPlaylist(library, "Zmaster");
    for (const char* name : {"beta", "Zed", "Alpha", "alpha2"}) {
        test::addPlaylist(library, name);
    }
    complete();
    EXPECT_EQ(library.playlistNames[0], "Zmaster") << "the master stays first";
    EXPECT_EQ(enumeratedNames(), (std::vector<std::string>{"Alpha", "alpha2", "beta", "Zed"}));
    EXPECT_EQ(sortedNames(), (std::vector<std::string>{"Alpha", "Zed", "alpha2", "beta"}));
    KernelId id;
    EXPECT_EQ(library.firstPlaylist(id), 4);
    EXPECT_EQ(id.id, 1U);
    EXPECT_EQ(library.firstSortedPlaylist(id), 4);
}

TEST_F(Playlists, NamesDifferingOnlyInCaseStayTogether) {
    test::addPlaylist(library, "Master");
    for (const char* name : {"b", "A", "a"}) {
        test::addPlaylist(library, name);
    }
    complete();
    const auto names = enumeratedNames();
    ASSERT_EQ(names.size(), 3U);
    EXPECT_EQ(names[2], "b");
    EXPECT_EQ(sortedNames(), (std::vector<std::string>{"A", "a", "b"}));
}

TEST_F(Playlists, ItemsComeInPlaylistOrderWithTheirPositions) {
    test::addPlaylist(library, "Master", {1, 2, 3});
    test::addPlaylist(library, "Mix", {3, 1, 3});
    test::addPlaylist(library, "Empty", {});
    complete();
    KernelId mix;
    mix.id = 2;
    ASSERT_EQ(library.playlistName(mix), "Mix");
    KernelId item;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> items;
    EXPECT_EQ(library.firstPlaylistItem(mix, item), 3);
    do {
        items.emplace_back(item.id, item.position);
    } while (library.nextPlaylistItem(mix, item) != 0);
    EXPECT_EQ(items,
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{3, 0}, {1, 1}, {3, 2}}));

    KernelId empty;
    empty.id = 1;
    ASSERT_EQ(library.playlistName(empty), "Empty");
    EXPECT_EQ(library.firstPlaylistItem(empty, item), 0);

    KernelId master;
    EXPECT_EQ(library.firstPlaylistItem(master, item), 3) << "id 0 is the master playlist";
}

TEST_F(Playlists, OutOfRangeIdsHaveNoNameAndNoItems) {
    test::addPlaylist(library, "Master", {1});
    complete();
    KernelId beyond;
    beyond.id = 5;
    KernelId item;
    EXPECT_EQ(library.playlistName(beyond), "");
    EXPECT_EQ(library.firstPlaylistItem(beyond, item), 0);
    EXPECT_EQ(library.nextPlaylistItem(beyond, item), 0);
}

TEST_F(Playlists, DuplicateNamesAreBothListedWithTheLaterItems) {
    test::addPlaylist(library, "Master", {1, 2});
    test::addPlaylist(library, "Same", {1});
    test::addPlaylist(library, "Same", {2});
    complete();
    KernelId id;
    std::vector<std::uint32_t> firstItems;
    for (int more = library.firstSortedPlaylist(id); more != 0;
         more = library.nextSortedPlaylist(id)) {
        KernelId item;
        ASSERT_EQ(library.firstPlaylistItem(id, item), 1);
        firstItems.push_back(item.id);
    }
    EXPECT_EQ(firstItems, (std::vector<std::uint32_t>{2, 2}));
}

}  // namespace
}  // namespace pelmar
