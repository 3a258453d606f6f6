#include "library/track_table.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelmar {
namespace {

MhTrackData titled(const std::string& title) {
    MhTrackData track;
    track.title = title;
    return track;
}

// Runs of ids, ids that differ only above the index's bits, and ids that fold onto one slot all
// find their own records, through every growth of the index, as a map of them would.
TEST(TrackTable, FindsEveryRecordByItsIdWhateverTheIds) {
    std::vector<std::uint32_t> consecutive;
    std::vector<std::uint32_t> highBitsOnly;
    std::vector<std::uint32_t> foldedTogether;
    for (std::uint32_t i = 0; i < 3000; ++i) {
        consecutive.push_back(1000 + i);
        highBitsOnly.push_back(i << 20);
        // In the 8,192 slots that 3,000 records take, these all fold onto slot 0.
        foldedTogether.push_back(i | (i << 13));
    }
    for (const auto& ids : {consecutive, highBitsOnly, foldedTogether,
                            std::vector<std::uint32_t>{0, 0xFFFFFFFFu, 1, 0x80000000u}}) {
        TrackTable table;
        std::map<std::uint32_t, std::string> expected;
        for (const std::uint32_t id : ids) {
            table.insert_or_assign(id, titled(std::to_string(id)));
            expected[id] = std::to_string(id);
        }
        ASSERT_EQ(table.size(), expected.size());
        for (const auto& [id, title] : expected) {
            ASSERT_TRUE(table.contains(id)) << id;
            ASSERT_EQ(table.at(id).title, title) << id;
            ASSERT_EQ(table.find(id)->first, id);
        }
        std::map<std::uint32_t, std::string> walked;
        for (const auto& [id, track] : table) {
            walked[id] = track.title;
        }
        EXPECT_EQ(walked, expected);
        EXPECT_FALSE(table.contains(7));
        EXPECT_EQ(table.find(7), table.end());
        EXPECT_THROW((void)table.at(7), std::out_of_range);
    }
}

TEST(TrackTable, AssigningReplacesARecordAndEmplacingKeepsIt) {
    TrackTable table;
    table.reserve(4);
    EXPECT_TRUE(table.emplace(5, titled("first")).second);
    EXPECT_FALSE(table.emplace(5, titled("kept out")).second);
    EXPECT_EQ(table.at(5).title, "first");
    EXPECT_FALSE(table.insert_or_assign(5, titled("replaced")).second);
    EXPECT_EQ(table.at(5).title, "replaced");
    table[9].size = 12;
    EXPECT_EQ(table.at(9).size, 12U);
    EXPECT_EQ(table.size(), 2U);
    EXPECT_EQ(table.begin()->first, 5U);

    table.clear();
    EXPECT_TRUE(table.empty());
    EXPECT_FALSE(table.contains(5));
    table.insert_or_assign(5, titled("again"));
    EXPECT_EQ(table.at(5).title, "again");
}

}  // namespace
}  // namespace pelmar
