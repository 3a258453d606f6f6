#include "platform/file_byte_source.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

// Peeking shows the file's bytes from the position on, also across the edges of the source's
// buffer (a megabyte), without moving; reads and skips after it go on from the same place.
TEST(FileByteSource, PeekShowsTheBytesAheadWithoutMoving) {
    test::TempFolder folder;
    std::vector<std::uint8_t> bytes(2'500'000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7919) >> 3);
    }
    test::writeFile(folder.path() / "db", bytes);
    const std::size_t mb = std::size_t{1} << 20;
    struct Case {
        std::size_t at;
        std::size_t wanted;
    };
    for (const Case c :
         {Case{0, 8}, Case{100, 1024}, Case{mb - 5, 600}, Case{mb, 1}, Case{2 * mb - 1, 4096},
          Case{bytes.size() - 3, 600}, Case{bytes.size(), 8}}) {
        SCOPED_TRACE(testing::Message() << "at " << c.at << ", " << c.wanted << " wanted");
        const auto source = FileByteSource::open((folder.path() / "db").string());
        ASSERT_NE(source, nullptr);
        std::vector<std::uint8_t> before(c.at > 16 ? 16 : c.at);
        source->skip(c.at - before.size());
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

}  // namespace
}  // namespace pelmar
