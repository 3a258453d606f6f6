#include "platform/file_byte_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

constexpr std::size_t kBlock = FileByteSource::kBlockSize;

std::vector<std::uint8_t> patternedFile(const test::TempFolder& folder) {
    std::vector<std::uint8_t> bytes(kBlock * 5 / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7919) >> 3);
    }
    test::writeFile(folder.path() / "db", bytes);
    return bytes;
}

// Peeking shows the file's bytes from the position on, also across the edges of the blocks the
// source reads, the one read ahead included, without moving; reads and skips after it go on from
// the same place.
TEST(FileByteSource, PeekShowsTheBytesAheadWithoutMoving) {
    test::TempFolder folder;
    const std::vector<std::uint8_t> bytes = patternedFile(folder);
    struct Case {
        std::size_t at;
        std::size_t wanted;
    };
    // Past the edge by more than a record: what is left of the block is longer than the room
    // kept in front of the next one.
    for (const Case c :
         {Case{0, 8}, Case{100, 1024}, Case{kBlock - 5, 600}, Case{kBlock, 1},
          Case{kBlock - 50'000, 200'000}, Case{kBlock - 100'000, 200'000},
          Case{2 * kBlock - 1, 4096}, Case{bytes.size() - 3, 600}, Case{bytes.size(), 8}}) {
        SCOPED_TRACE(testing::Message() << "at " << c.at << ", " << c.wanted << " wanted");
        const auto source = FileByteSource::open((folder.path() / "db").string());
        ASSERT_NE(source, nullptr);
        // The first block is read, and the next one ahead, before moving on.
        std::vector<std::uint8_t> first(std::min<std::size_t>(c.at, 16));
        ASSERT_EQ(source->read(first), first.size());
        std::vector<std::uint8_t> before(c.at >= 32 ? 16 : 0);
        source->skip(c.at - first.size() - before.size());
        ASSERT_EQ(source->read(before), before.size());

        const std::span<const std::uint8_t> shown = source->peek(c.wanted);
        EXPECT_EQ(shown.size() >= c.wanted, c.wanted <= bytes.size() - c.at);
        EXPECT_LE(shown.size(), bytes.size() - c.at);
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), bytes.begin() + c.at));
        EXPECT_EQ(source->position(), c.at);

        std::vector<std::uint8_t> after(std::min<std::size_t>(c.wanted, bytes.size() - c.at));
        ASSERT_EQ(source->read(after), after.size());
        EXPECT_TRUE(std::equal(after.begin(), after.end(), bytes.begin() + c.at));
    }
}

// Walking a file to its end in steps of every kind meets each byte where it is in the file.
TEST(FileByteSource, EveryWayOfMovingOnMeetsTheFileInOrder) {
    test::TempFolder folder;
    const std::vector<std::uint8_t> bytes = patternedFile(folder);
    struct Step {
        std::size_t peeked;
        std::size_t read;
        std::size_t skipped;
    };
    for (const Step step : {Step{600, 600, 0}, Step{3, 1, 4093}, Step{100'000, 0, 99'999},
                            Step{0, 1'000'003, 0}, Step{2048, 16, 2000}}) {
        SCOPED_TRACE(testing::Message() << "peek " << step.peeked << ", read " << step.read
                                        << ", skip " << step.skipped);
        const auto source = FileByteSource::open((folder.path() / "db").string());
        ASSERT_NE(source, nullptr);
        std::vector<std::uint8_t> out(step.read);
        while (source->position() < bytes.size()) {
            const std::size_t at = source->position();
            const std::size_t left = bytes.size() - at;
            const std::span<const std::uint8_t> shown = source->peek(step.peeked);
            ASSERT_GE(shown.size(), std::min(step.peeked, left)) << "at " << at;
            ASSERT_TRUE(std::equal(shown.begin(), shown.end(), bytes.begin() + at)) << "at " << at;
            const std::size_t n = source->read(out);
            ASSERT_EQ(n, std::min(step.read, left)) << "at " << at;
            ASSERT_TRUE(std::equal(out.begin(), out.begin() + n, bytes.begin() + at))
                << "at " << at;
            source->skip(step.skipped);
        }
        EXPECT_FALSE(source->failed());
    }
}

}  // namespace
}  // namespace pelmar
