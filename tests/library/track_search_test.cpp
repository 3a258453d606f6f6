#include "library/track_search.h"

#include <gtest/gtest.h>

#include "library/player_library.h"
#include "support/library_builder.h"

namespace pelmar {
namespace {

class TrackSearch : public ::testing::Test {
  protected:
    TrackSearch() {
        test::addTrack(library, 1, {"Led Zeppelin", "II", "Rock", "Page", "Heartbreaker"});
        test::addTrack(library, 2, {"Zed", "", "", "", "Alpha"}, 2);
        test::addTrack(library, 3, {"Émilie", "Été", "Chanson", "", "Ça va"}, 4);
        test::addTrack(library, 4, {"Гражданская Оборона", "", "Панк", "", "Всё идёт по плану"});
        test::addTrack(library, 5, {"", "", "", "", "nothing here"});
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
};

TEST_F(TrackSearch, FindsTheTermInAnyOfFiveFieldsWithoutRegardToCase) {
    EXPECT_EQ(searchTracks(library, "zep"), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(searchTracks(library, "ZEP"), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(searchTracks(library, "page"), (std::vector<std::uint32_t>{1})) << "composer";
    EXPECT_EQ(searchTracks(library, "ROCK"), (std::vector<std::uint32_t>{1})) << "genre";
    EXPECT_EQ(searchTracks(library, "ze"), (std::vector<std::uint32_t>{1, 2}))
        << "database order, videos included";
}

TEST_F(TrackSearch, LowersNonLatinScripts) {
    EXPECT_EQ(searchTracks(library, "ÉTÉ"), (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(searchTracks(library, "ÇA"), (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(searchTracks(library, "ОБОРОНА"), (std::vector<std::uint32_t>{4}));
    EXPECT_EQ(searchTracks(library, "всё"), (std::vector<std::uint32_t>{4}));
}

TEST_F(TrackSearch, EmptyTermMatchesEveryTrackIncludingIdsWithoutRecord) {
    library.trackIds.push_back(77);
    EXPECT_EQ(searchTracks(library, ""), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 77}));
    EXPECT_EQ(searchTracks(library, "a").size(), 3U) << "Cyrillic а is another letter";
}

TEST_F(TrackSearch, MatchesNeverSpanTwoFields) {
    EXPECT_TRUE(searchTracks(library, "zeppelinii").empty());
    EXPECT_TRUE(searchTracks(library, "zeppelin ii").empty());
}

TEST_F(TrackSearch, FindsCodePageTextsToo) {
    TextCodec western("CP1252");
    PlayerLibrary stored(western);
    test::addTrack(stored, 1, {"Caf\xE9 Tacuba", "", "", "", "x"});
    EXPECT_EQ(searchTracks(stored, "CAFÉ"), (std::vector<std::uint32_t>{1}));
}

TEST_F(TrackSearch, BuiltIndexAnswersLikeAFreshScanAndNoticesNewTracks) {
    library.searchIndex.build(library);
    ASSERT_TRUE(library.searchIndex.covers(library));
    EXPECT_EQ(searchTracks(library, "ze"), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(searchTracks(library, "всё"), (std::vector<std::uint32_t>{4}));
    EXPECT_EQ(searchTracks(library, "an"), (std::vector<std::uint32_t>{3}));
    test::addTrack(library, 6, {"Zebra", "", "", "", ""});
    EXPECT_FALSE(library.searchIndex.covers(library));
    EXPECT_EQ(searchTracks(library, "ze"), (std::vector<std::uint32_t>{1, 2, 6}));
}

TEST_F(TrackSearch, EachTrackIsListedOnceHoweverManyFieldsMatch) {
    test::addTrack(library, 7, {"la la", "la", "la la la", "la", "la"});
    library.searchIndex.build(library);
    EXPECT_EQ(searchTracks(library, "la"), (std::vector<std::uint32_t>{7}));
    EXPECT_EQ(searchTracks(library, "e"), (std::vector<std::uint32_t>{1, 2, 3, 5}));
}

}  // namespace
}  // namespace pelmar
