#include "library/on_the_go_reader.h"

#include <gtest/gtest.h>

#include "library/player_library.h"
#include "support/database_bytes.h"
#include "support/temp_folder.h"
#include "util/byte_source.h"

namespace pelmar {
namespace {

std::vector<std::uint8_t> onTheGo(const std::vector<std::uint32_t>& places,
                                  std::uint32_t headerLength = 0x14, std::uint32_t entryLength = 4,
                                  std::int64_t statedCount = -1) {
    std::vector<std::uint8_t> bytes(headerLength, 0);
    std::copy_n("mhpo", 4, bytes.begin());
    test::put32(bytes, 4, headerLength);
    test::put32(bytes, 8, entryLength);
    test::put32(bytes, 12,
                statedCount >= 0 ? static_cast<std::uint32_t>(statedCount)
                                 : static_cast<std::uint32_t>(places.size()));
    for (const std::uint32_t place : places) {
        std::vector<std::uint8_t> entry(std::max<std::uint32_t>(entryLength, 4), 0xEE);
        test::put32(entry, 0, place);
        entry.resize(entryLength);
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    return bytes;
}

TEST(OnTheGo, ReadsEachEntrysPlaceWhateverTheLayout) {
    std::vector<std::uint8_t> wrongTag = onTheGo({1});
    wrongTag[3] = 'd';
    const std::vector<std::uint8_t> whole = onTheGo({1});
    const std::vector<std::uint8_t> cutHeader(whole.begin(), whole.begin() + 10);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::vector<std::uint32_t> places;
        ReadOutcome::End end;
    };
    const std::vector<Case> cases = {
        {"shortest layout", onTheGo({2, 0, 2}), {2, 0, 2}, ReadOutcome::End::EndOfData},
        {"longer header and entries",
         onTheGo({7, 1}, 0x60, 20),
         {7, 1},
         ReadOutcome::End::EndOfData},
        {"no entries", onTheGo({}), {}, ReadOutcome::End::EndOfData},
        {"more stated than held", onTheGo({4, 5}, 0x14, 4, 9), {4, 5}, ReadOutcome::End::Malformed},
        {"fewer stated than held", onTheGo({4, 5}, 0x14, 4, 1), {4}, ReadOutcome::End::EndOfData},
        {"header below 0x14", onTheGo({1}, 0x10), {}, ReadOutcome::End::Malformed},
        {"entries below 4 bytes", onTheGo({1}, 0x14, 3), {}, ReadOutcome::End::Malformed},
        {"header cut short", cutHeader, {}, ReadOutcome::End::Malformed},
        {"another file's tag", wrongTag, {}, ReadOutcome::End::Malformed},
    };
    for (const Case& c : cases) {
        MemoryByteSource source(c.bytes);
        const OnTheGoList list = readOnTheGoList(source);
        EXPECT_EQ(list.places, c.places) << c.what;
        EXPECT_EQ(list.outcome.end, c.end) << c.what;
    }
}

TEST(OnTheGo, FilesBecomePlaylistsNamedAsThePlayerShowsThem) {
    test::TempFolder folder;
    const std::filesystem::path itunes = folder.path() / "iPod_Control" / "iTunes";
    test::writeFile(itunes / "OTGPlaylistInfo", onTheGo({2, 9, 0, 1}));
    test::writeFile(itunes / "OTGPlaylistInfo_1", {'x'});
    test::writeFile(itunes / "OTGPlaylistInfo_2", onTheGo({0}));
    test::writeFile(itunes / "OTGPlaylistInfo_4", onTheGo({1}));  // after a gap: not read
    PlayerLibrary library;
    library.rootPath = folder.root();
    library.trackIds = {30, 10, 20};
    for (const std::uint32_t id : {30U, 20U}) {
        library.tracks.emplace(id, MhTrackData{});
    }
    library.playlistNames = {"iPod", "On-The-Go 2"};
    library.playlistItems["On-The-Go 2"] = {30};

    const std::vector<ReadOutcome> outcomes = readOnTheGoPlaylists(library);
    ASSERT_EQ(outcomes.size(), 3U);
    EXPECT_EQ(outcomes[1].end, ReadOutcome::End::Malformed);
    EXPECT_EQ(library.playlistNames,
              (std::vector<std::string>{"iPod", "On-The-Go 2", "On-The-Go", "On-The-Go 2 (2)"}));
    EXPECT_EQ(library.playlistItems.at("On-The-Go"), (std::vector<std::uint32_t>{20, 30}))
        << "past the end and without a record are skipped";
    EXPECT_EQ(library.playlistItems.at("On-The-Go 2"), (std::vector<std::uint32_t>{30}));
    EXPECT_EQ(library.playlistItems.at("On-The-Go 2 (2)"), (std::vector<std::uint32_t>{30}));
    EXPECT_EQ(onTheGoName(1), "On-The-Go 1");
}

}  // namespace
}  // namespace pelmar
