#include "util/sortable_arrays.h"

#include <gtest/gtest.h>

#include "library/sortable_id_array.h"
#include "util/text_codec.h"

namespace pelmar {
namespace {

TEST(SortableStringArray, SortsWithoutRegardToCase) {
    const TextCodec codec("UTF-8");
    CSortableStringArray names{"beta",
                               "Zed",
                               "alpha2",
                               "Alpha",
                               "\xC3\x89"
                               "cole",
                               "echo"};
    names.sort(codec);
    EXPECT_EQ(names, (CSortableStringArray{"Alpha", "alpha2", "beta", "echo", "Zed",
                                           "\xC3\x89"
                                           "cole"}))
        << "letters beyond ASCII follow it, as in a code page";
}

TEST(SortableStringArray, EmptyAndSingleArraysStayAsTheyAre) {
    const TextCodec codec("UTF-8");
    CSortableStringArray none;
    none.sort(codec);
    EXPECT_TRUE(none.empty());
    CSortableStringArray one{"x"};
    one.sort(codec);
    EXPECT_EQ(one, CSortableStringArray{"x"});
}

TEST(SortableNameIdArray, SortsIdsByTheirNamesInByteOrder) {
    const std::vector<std::string> names{"master", "b", "A", "a", "Zed"};
    SortableNameIdArray ids(names);
    for (std::uint32_t id : {1U, 2U, 3U, 4U, 9U}) {
        KernelId k;
        k.id = id;
        ids.push_back(k);
    }
    ids.sort();
    std::vector<std::uint32_t> order;
    for (const KernelId& k : ids) {
        order.push_back(k.id);
    }
    EXPECT_EQ(order, (std::vector<std::uint32_t>{9, 2, 4, 3, 1}))
        << "an id past the end has the empty name and comes first";
}

TEST(KernelIdTest, EqualityHashAndTextCapacity) {
    KernelId a;
    KernelId b;
    a.id = b.id = 0x123;
    a.setText("same");
    b.setText("same");
    EXPECT_EQ(a, b);
    b.position = 1;
    EXPECT_NE(a, b);
    EXPECT_EQ(std::hash<KernelId>{}(a), 0x12U);
    a.setText(std::string(300, 'x'));
    EXPECT_EQ(a.text.size(), 256U);
}

}  // namespace
}  // namespace pelmar
