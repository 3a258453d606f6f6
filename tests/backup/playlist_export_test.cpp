#include "backup/playlist_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "backup/itunes_session.h"
#include "library/player_library.h"
#include "support/fake_itunes.h"
#include "support/library_builder.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

Strings folderEntries(const fs::path& folder) {
    Strings names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class PlaylistExport : public ::testing::Test {
  protected:
    PlaylistExport() {
        test::addPlaylist(library, "iPod", {1, 2, 3, 4});
        paths = {{1, "Band/Album/Band - Album - 01 - One.mp3"},
                 {2, "Band/Album/Band - Album - 02 - Two (copy 1).mp3"},
                 {4, "Other/Four.mp3"}};
    }

    // Adds a playlist and returns its selection id.
    KernelId playlist(const std::string& name, std::vector<std::uint32_t> items) {
        test::addPlaylist(library, name, std::move(items));
        KernelId id;
        id.id = static_cast<std::uint32_t>(library.playlistNames.size() - 1);
        return id;
    }

    int exportAll(const std::vector<KernelId>& selection, ITunesSession* itunes = nullptr) {
        return exportPlaylists(library, selection, backup, paths, itunes,
                               [this](int count) { counts.push_back(count); });
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    test::TempFolder temp;
    std::string backup = temp.path().string();
    TrackPathMap paths;
    std::vector<int> counts;
};

TEST_F(PlaylistExport, ListsTheBackedUpTracksInPlaylistOrder) {
    const KernelId mix = playlist("Road Mix", {4, 3, 1, 2, 99});
    EXPECT_EQ(exportAll({mix}), 1);
    EXPECT_EQ(counts, (std::vector<int>{1}));
    EXPECT_EQ(readAll(temp.path() / "Road Mix.m3u"),
              "Other/Four.mp3\n"
              "Band/Album/Band - Album - 01 - One.mp3\n"
              "Band/Album/Band - Album - 02 - Two (copy 1).mp3\n");
    EXPECT_EQ(folderEntries(temp.path()), (Strings{"Road Mix.m3u"})) << "no temporary file stays";
}

TEST_F(PlaylistExport, APlaylistWithoutBackedUpTracksIsStillWritten) {
    const KernelId none = playlist("Nothing Here", {3, 98});
    const KernelId empty = playlist("Empty", {});
    KernelId outOfRange;
    outOfRange.id = 500;
    EXPECT_EQ(exportAll({none, empty, outOfRange}), 3);
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(readAll(temp.path() / "Nothing Here.m3u"), "");
    EXPECT_EQ(readAll(temp.path() / "Empty.m3u"), "");
    EXPECT_EQ(readAll(temp.path() / "Unknown.m3u"), "") << "an unknown playlist has no name";
}

TEST_F(PlaylistExport, NamesAreCleanedAndEqualNamesReplaceEachOther) {
    const KernelId first = playlist("Mix?", {1});
    const KernelId second = playlist("Mix", {4});
    const KernelId nameless = playlist("???", {2});
    EXPECT_EQ(exportAll({first, second, nameless}), 3);
    EXPECT_EQ(readAll(temp.path() / "Mix.m3u"), "Other/Four.mp3\n");
    EXPECT_EQ(readAll(temp.path() / "Unknown.m3u"),
              "Band/Album/Band - Album - 02 - Two (copy 1).mp3\n");
    EXPECT_EQ(folderEntries(temp.path()), (Strings{"Mix.m3u", "Unknown.m3u"}));
}

TEST_F(PlaylistExport, ALongNameIsCutToFitAFileNameAtAWholeCharacter) {
    std::string name;
    for (int i = 0; i < 100; ++i) {
        name += "\xE6\x97\xA5";  // three bytes each
    }
    EXPECT_EQ(exportAll({playlist(name, {1})}), 1);
    const Strings files = folderEntries(temp.path());
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(files[0], name.substr(0, 249) + ".m3u");
}

TEST_F(PlaylistExport, APathThatLooksLikeACommentKeepsItsTrack) {
    paths[5] = "#1 Band/Song.mp3";
    EXPECT_EQ(exportAll({playlist("Hits", {5})}), 1);
    EXPECT_EQ(readAll(temp.path() / "Hits.m3u"), "./#1 Band/Song.mp3\n");
}

TEST_F(PlaylistExport, AFileThatCannotBeWrittenIsNotCountedAndLeavesNothing) {
    fs::create_directory(temp.path() / "Blocked.m3u");
    const KernelId blocked = playlist("Blocked", {1});
    const KernelId fine = playlist("Fine", {1});
    EXPECT_EQ(exportAll({blocked, fine}), 1);
    EXPECT_EQ(counts, (std::vector<int>{1}));
    EXPECT_TRUE(fs::is_directory(temp.path() / "Blocked.m3u"));
    EXPECT_TRUE(fs::is_empty(temp.path() / "Blocked.m3u"));
    EXPECT_EQ(folderEntries(temp.path()), (Strings{"Blocked.m3u", "Fine.m3u"}));

    backup = (temp.path() / "missing").string();
    EXPECT_EQ(exportAll({fine}), 0);
    EXPECT_FALSE(fs::exists(temp.path() / "missing"));
}

TEST_F(PlaylistExport, PlaylistsAreMadeInITunesWithFullPaths) {
    test::FakeITunes server;
    ITunesSession itunes(server);
    ASSERT_TRUE(itunes.connect({}));
    const KernelId mix = playlist("Mix:", {4, 3, 1});
    EXPECT_EQ(exportAll({mix}, &itunes), 1);
    const auto made = server.playlists();
    ASSERT_EQ(made.size(), 1U);
    EXPECT_EQ(made[0].name, "Mix");
    EXPECT_EQ(made[0].files, (Strings{backup + "/Other/Four.mp3",
                                      backup + "/Band/Album/Band - Album - 01 - One.mp3"}));
    EXPECT_TRUE(server.libraryFiles().empty()) << "playlists insert no tracks themselves";
}

TEST_F(PlaylistExport, ITunesPlaylistsNeedOnlyTheApplication) {
    test::FakeITunes server({.noLibraryPlaylist = true});
    ITunesSession itunes(server);
    EXPECT_FALSE(itunes.connect({}));
    EXPECT_EQ(exportAll({playlist("Mix", {1})}, &itunes), 1);
    ASSERT_EQ(server.playlists().size(), 1U);
    EXPECT_EQ(server.playlists()[0].files.size(), 1U);

    test::FakeITunes absent({.noApplication = true});
    ITunesSession without(absent);
    EXPECT_FALSE(without.connect({}));
    EXPECT_EQ(exportAll({playlist("Other", {1})}, &without), 1) << "the file is written anyway";
    EXPECT_EQ(absent.calls(), (Strings{"CreateApplication"}));
}

}  // namespace
}  // namespace pelmar
