#include "library/track_id_set.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace pelmar {
namespace {

// Each sequence is inserted in order, checked id by id against an ordered set, and then probed
// for ids it does not hold.
TEST(TrackIdSet, HoldsExactlyTheInsertedIds) {
    std::vector<std::uint32_t> manyConsecutive;
    for (std::uint32_t id = 1000; id < 6000; ++id) {
        manyConsecutive.push_back(id);
    }
    std::vector<std::uint32_t> spreadOut;
    for (std::uint32_t i = 0; i < 3000; ++i) {
        spreadOut.push_back(i * 2654435761u);
    }
    const std::vector<std::vector<std::uint32_t>> sequences = {
        {},
        {0},
        {0xFFFFFFFFu},
        {0xFFFFFFFFu, 0, 0xFFFFFFFEu, 0xFFFFFFFFu},
        {7, 7, 7},
        {5, 3, 5, 1, 3},
        manyConsecutive,
        spreadOut,
    };
    // Sized for none, for the usual count, and for far fewer than are inserted, so that ids
    // fall on both sides of the bitmap's bound.
    for (const auto& ids : sequences) {
        for (const std::size_t expected : {std::size_t{0}, ids.size(), ids.size() / 50}) {
            SCOPED_TRACE(testing::Message() << ids.size() << " ids, " << expected << " expected");
            TrackIdSet set;
            set.reset(expected);
            std::set<std::uint32_t> held;
            for (const std::uint32_t id : ids) {
                EXPECT_EQ(set.insert(id), held.insert(id).second) << id;
            }
            EXPECT_EQ(set.size(), held.size());
            for (const std::uint32_t id : ids) {
                EXPECT_TRUE(set.contains(id)) << id;
            }
            for (const std::uint32_t absent : {1u, 2u, 999u, 6000u, 0x7FFFFFFFu, 0xFFFFFFFDu}) {
                EXPECT_EQ(set.contains(absent), held.contains(absent)) << absent;
            }
        }
    }
}

TEST(TrackIdSet, ResetForgetsEveryId) {
    TrackIdSet set;
    for (const std::uint32_t id : {0u, 42u, 5'000'000u, 0xFFFFFFFFu}) {
        set.insert(id);
    }
    set.reset(10);
    EXPECT_EQ(set.size(), 0u);
    for (const std::uint32_t id : {0u, 42u, 5'000'000u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(set.contains(id)) << id;
    }
    EXPECT_TRUE(set.insert(42));
}

}  // namespace
}  // namespace pelmar
