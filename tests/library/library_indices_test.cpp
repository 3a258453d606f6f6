#include "library/library_indices.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "library/player_library.h"
#include "support/library_builder.h"

namespace pelmar {
namespace {

using test::Tags;

class LibraryIndicesTest : public ::testing::Test {
  protected:
    LibraryIndicesTest() {
        test::addTrack(library, 1, {"Band", "Live", "Rock", "Writer", "One"});
        test::addTrack(library, 2, {"Band", "Studio", "Rock", "", "Two"});
        test::addTrack(library, 3, {"Abba", "Gold", "Pop", "Andersson", "Three"});
        test::addTrack(library, 4, {"ABBA", "Gold", "Pop", "Andersson", "Four"});
        test::addTrack(library, 5, {"", "X", "", "", "Five"});
        test::addTrack(library, 6, {"Band", "Live", "Jazz", "Writer", "Six"}, 32);
        library.trackIds.push_back(99);  // an id whose record never arrived
        buildIndices(library);
    }

    template <typename First, typename Next>
    std::vector<std::string> walk(First first, Next next) {
        std::vector<std::string> names;
        std::string name;
        for (int more = first(name); more != 0; more = next(name)) {
            names.push_back(name);
        }
        return names;
    }

    std::vector<std::string> artistsOf(std::string_view genre) {
        return walk([&](std::string& n) { return library.firstArtist(genre, n); },
                    [&](std::string& n) { return library.nextArtist(n); });
    }
    std::vector<std::string> albumsOf(std::string_view artist) {
        return walk([&](std::string& n) { return library.firstAlbum(artist, n); },
                    [&](std::string& n) { return library.nextAlbum(n); });
    }
    std::vector<std::string> composerAlbumsOf(std::string_view composer) {
        return walk([&](std::string& n) { return library.firstComposerAlbum(composer, n); },
                    [&](std::string& n) { return library.nextComposerAlbum(n); });
    }

    std::vector<std::uint32_t> query(std::string_view artist, std::string_view album,
                                     std::string_view genre, std::string_view composer,
                                     int* count = nullptr) {
        KernelId id;
        const int found = library.queryTracks(artist, album, genre, composer, id);
        if (count != nullptr) {
            *count = found;
        }
        std::vector<std::uint32_t> ids;
        if (found == 0) {
            return ids;
        }
        do {
            ids.push_back(id.id);
        } while (library.nextQueryResult(id) != 0);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
};

TEST_F(LibraryIndicesTest, NameListsHoldDistinctNonEmptyValuesWithoutRegardToCase) {
    const auto artists = artistsOf("");
    ASSERT_EQ(artists.size(), 3U);
    // Names differing only in case are two artists, side by side, in either order.
    EXPECT_TRUE((artists[0] == "Abba" && artists[1] == "ABBA") ||
                (artists[0] == "ABBA" && artists[1] == "Abba"));
    EXPECT_EQ(artists[2], "Band");
    EXPECT_EQ(albumsOf(""), (std::vector<std::string>{"Gold", "Live", "Studio", "X"}));
    EXPECT_EQ(library.indices.genreNames, (std::vector<std::string>{"Jazz", "Pop", "Rock"}));
    EXPECT_EQ(library.indices.composerNames, (std::vector<std::string>{"Andersson", "Writer"}));
}

TEST_F(LibraryIndicesTest, EnumerationsReturnTheirCountAndEnd) {
    std::string name;
    EXPECT_EQ(library.firstGenre(name), 3);
    EXPECT_EQ(name, "Jazz");
    EXPECT_EQ(library.nextGenre(name), 1);
    EXPECT_EQ(library.nextGenre(name), 1);
    EXPECT_EQ(library.nextGenre(name), 0);
    EXPECT_EQ(library.firstComposer(name), 2);
    EXPECT_EQ(library.firstArtist("Rock", name), 1);
    EXPECT_EQ(name, "Band");
    EXPECT_EQ(library.nextArtist(name), 0);
}

TEST_F(LibraryIndicesTest, DrillDownsFollowTheirKey) {
    EXPECT_EQ(artistsOf("Pop").size(), 2U);
    EXPECT_EQ(artistsOf("Polka"), std::vector<std::string>{}) << "a genre no track has";
    EXPECT_EQ(albumsOf("Band"), (std::vector<std::string>{"Live", "Studio"}));
    EXPECT_EQ(albumsOf("Nobody"), std::vector<std::string>{});
    EXPECT_EQ(composerAlbumsOf("Writer"), (std::vector<std::string>{"Live"}));
    EXPECT_EQ(composerAlbumsOf(""), (std::vector<std::string>{"", "Studio", "X"}))
        << "the empty composer means the tracks without one, and record-less ids count too";
}

TEST_F(LibraryIndicesTest, EmptyArtistIsAKeyButNotAName) {
    EXPECT_EQ(library.indices.tracksByArtist(""), (std::vector<std::uint32_t>{5, 99}));
    ASSERT_NE(library.indices.albumsByArtist(""), nullptr);
    EXPECT_EQ(query("", "X", "", ""), (std::vector<std::uint32_t>{5}));
    const auto artists = artistsOf("");
    EXPECT_EQ(std::count(artists.begin(), artists.end(), ""), 0);
}

TEST_F(LibraryIndicesTest, TrackSetsHoldEachTrackOnce) {
    library.trackIds.push_back(1);
    buildIndices(library);
    EXPECT_EQ(library.indices.tracksByArtist("Band"), (std::vector<std::uint32_t>{1, 2, 6}));
}

TEST_F(LibraryIndicesTest, QueryKeepsTracksMatchingEveryFilterExactly) {
    EXPECT_EQ(query("Band", "", "", ""), (std::vector<std::uint32_t>{1, 2, 6}));
    EXPECT_EQ(query("Band", "", "Rock", ""), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(query("Band", "Live", "", "Writer"), (std::vector<std::uint32_t>{1, 6}));
    EXPECT_EQ(query("abba", "", "", ""), std::vector<std::uint32_t>{}) << "keys are exact";
    EXPECT_EQ(query("Abba", "Gold", "", ""), (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(query("", "", "Jazz", ""), (std::vector<std::uint32_t>{6})) << "videos included";
}

TEST_F(LibraryIndicesTest, QueryWithoutUsableFilterKeepsThePreviousResults) {
    int count = -1;
    query("Band", "", "", "", &count);
    EXPECT_EQ(count, 3);
    query("", "", "", "", &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(library.queryResults.size(), 3U);
    query("Nobody", "", "", "", &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(library.queryResults.size(), 3U);
    query("Band", "", "Pop", "", &count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(library.queryResults.empty()) << "a set was walked and nothing matched";
}

TEST_F(LibraryIndicesTest, SelectionStatisticsSumPerTrackKilobytesAndCountDistinctTags) {
    library.tracks.at(1).size = 1023;
    library.tracks.at(2).size = 2047;
    library.tracks.at(1).lengthMs = 61'999;
    library.tracks.at(2).lengthMs = 1'000;
    std::vector<KernelId> selection(3);
    selection[0].id = 1;
    selection[1].id = 2;
    selection[2].id = 99;
    const SelectionTotals totals = SelectionStatistics(selection, library);
    EXPECT_EQ(totals.kilobytes, 1U);
    EXPECT_EQ(totals.seconds, 62U);
    EXPECT_EQ(totals.artistCount, 1U);
    EXPECT_EQ(totals.albumCount, 2U);
    EXPECT_EQ(totals.genreCount, 1U);
    EXPECT_EQ(totals.composerCount, 1U);
}

TEST_F(LibraryIndicesTest, TrackEnumerationsReportKindsAndNonVideoCount) {
    KernelId id;
    std::uint32_t kind = 0;
    EXPECT_EQ(library.firstTrack(id, kind), 6) << "7 ids, one of them a video";
    std::vector<std::uint32_t> kinds{kind};
    while (library.nextTrack(id, kind) != 0) {
        kinds.push_back(kind);
    }
    EXPECT_EQ(kinds, (std::vector<std::uint32_t>{1, 1, 1, 1, 1, 32, 1}));
    library.videoIds.push_back(99);
    EXPECT_EQ(library.firstVideo(id, kind), 2);
    EXPECT_EQ(id.id, 6U);
    EXPECT_EQ(library.nextVideo(id, kind), 1);
    EXPECT_EQ(kind, 2U) << "an id without a record reports kind 2 among the videos";
}

TEST_F(LibraryIndicesTest, ClearEmptiesEverythingButTheRoot) {
    library.rootPath = "/media/player/";
    library.clear();
    EXPECT_TRUE(library.trackIds.empty());
    EXPECT_TRUE(library.indices.artistNames.empty());
    EXPECT_TRUE(library.indices.tracksByArtist("Band").empty());
    EXPECT_EQ(library.rootPath, "/media/player/");
    std::string name;
    EXPECT_EQ(library.firstArtist("", name), 0);
}

TEST(TrackInfoTest, ConvertsTimesAndLengthAndLeavesMissingIdsAlone) {
    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    MhTrackData& record = test::addTrack(library, 1, {"A", "B", "C", "D", "E"});
    record.lengthMs = 1999;
    record.lastPlayed = 2082844800U + 86400;
    TrackInfo info;
    ASSERT_TRUE(library.getTrackInfo(1, info));
    EXPECT_EQ(info.lengthSeconds, 1U);
    EXPECT_EQ(info.lastPlayed, 86400U);

    record.lastPlayed = 0;
    ASSERT_TRUE(library.getTrackInfo(1, info));
    EXPECT_LT(static_cast<std::int32_t>(info.lastPlayed), 0) << "never played reads negative";

    TrackInfo untouched;
    EXPECT_FALSE(library.getTrackInfo(42, untouched));
    EXPECT_EQ(untouched.fileType, 2);
    EXPECT_TRUE(untouched.title.empty());
    EXPECT_EQ(untouched.size, 0U);
}

TEST(TrackInfoTest, FilePathDropsTheLeadingColonAndUsesSlashes) {
    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    library.rootPath = "/media/IPOD/";
    EXPECT_EQ(library.trackFilePath(":iPod_Control:Music:F01:X.mp3"),
              "/media/IPOD/iPod_Control/Music/F01/X.mp3");
    EXPECT_EQ(library.trackFilePath(""), "/media/IPOD/");
}

TEST_F(LibraryIndicesTest, CountsAgreeWithWhatTheQueryFindsForEveryMixOfFilters) {
    // A duplicated id is counted once, as the query lists it once.
    library.trackIds.push_back(1);
    buildIndices(library);
    const std::vector<std::string> artists{"", "Band", "Abba", "ABBA", "Nobody"};
    const std::vector<std::string> albums{"", "Live", "Gold", "X", "Nowhere"};
    const std::vector<std::string> genres{"", "Rock", "Pop", "Jazz"};
    const std::vector<std::string> composers{"", "Writer", "Andersson"};
    for (const auto& artist : artists) {
        for (const auto& album : albums) {
            for (const auto& genre : genres) {
                for (const auto& composer : composers) {
                    KernelId first;
                    const int found = library.queryTracks(artist, album, genre, composer, first);
                    const bool anyFilter =
                        !(artist.empty() && album.empty() && genre.empty() && composer.empty());
                    const int expected = anyFilter ? found : 0;
                    EXPECT_EQ(library.countTracks(artist, album, genre, composer), expected)
                        << artist << "/" << album << "/" << genre << "/" << composer;
                }
            }
        }
    }
    EXPECT_EQ(library.countTracks("Band", "Live", "", ""), 2);
    EXPECT_EQ(library.countTracks("", "", "Rock", "Band"), 0) << "composer, not artist";
    EXPECT_EQ(library.countTracks("Band", "", "Rock", ""), 2);
}

}  // namespace
}  // namespace pelmar
