#include <gtest/gtest.h>

#include <zlib.h>

#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar::player_image::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kHeaderLength = 0xF4;

struct Inflated {
    int status = Z_OK;          // Z_STREAM_END for a whole stream
    Bytes start;                // the first bytes, up to the cap asked for
    std::uint64_t total = 0;    // all bytes inflated
    std::size_t inputLeft = 0;  // bytes after the stream's end
};

// Inflates everything, keeping only the first `keep` bytes.
Inflated inflateAll(std::span<const std::uint8_t> input, std::size_t keep) {
    Inflated result;
    z_stream stream{};
    EXPECT_EQ(inflateInit(&stream), Z_OK);
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    Bytes out(1 << 20);
    while (result.status == Z_OK) {
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        result.status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = out.size() - stream.avail_out;
        result.total += produced;
        const std::size_t kept = std::min(produced, keep - std::min(keep, result.start.size()));
        result.start.insert(result.start.end(), out.begin(), out.begin() + kept);
        if (produced == 0 && result.status == Z_OK) {
            result.status = Z_BUF_ERROR;  // ran out of input before the end
        }
    }
    result.inputLeft = stream.avail_in;
    inflateEnd(&stream);
    return result;
}

std::uint32_t u32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

PlayerImage imageOf(Model model, std::uint32_t tracks) {
    Options options = optionsFor(model);
    options.trackCount = tracks;
    options.withPhotos = false;
    return generatePlayerImage(options);
}

TEST(CompressedDatabase, TheHeaderStandsAsItIsAndTheRestInflatesToTheDatabase) {
    for (const Model model : {Model::Nano5G, Model::Nano7G}) {
        const PlayerImage image = imageOf(model, 150);
        const Bytes plain = musicDatabaseBytes(image);
        const Bytes compressed = compressedDatabaseBytes(image, CompressedDamage::None);
        ASSERT_GT(compressed.size(), kHeaderLength);
        EXPECT_LT(compressed.size(), plain.size() / 3);
        EXPECT_EQ(u32(compressed, 4), kHeaderLength);
        EXPECT_EQ(u32(compressed, 8), compressed.size());
        EXPECT_EQ(u32(compressed, 12), 2U);
        EXPECT_EQ(compressed[0xA8], 1);
        for (std::size_t at = 0; at < kHeaderLength; ++at) {
            if (at < 8 || at >= 12) {
                ASSERT_EQ(compressed[at], plain[at]) << "header byte " << at;
            }
        }
        const Inflated rest =
            inflateAll(std::span(compressed).subspan(kHeaderLength), plain.size());
        EXPECT_EQ(rest.status, Z_STREAM_END);
        EXPECT_EQ(rest.inputLeft, 0U);
        EXPECT_TRUE(std::equal(rest.start.begin(), rest.start.end(), plain.begin() + kHeaderLength,
                               plain.end()));
        EXPECT_EQ(rest.total, plain.size() - kHeaderLength);
    }
}

TEST(CompressedDatabase, TheImageWriterStreamsTheSameBytesBesideAnEmptyDatabase) {
    const struct {
        CompressedPresence presence;
        bool exists;
    } cases[] = {{CompressedPresence::Written, true},
                 {CompressedPresence::Empty, true},
                 {CompressedPresence::Missing, false}};
    pelmar::test::TempFolder folder;
    for (const auto& expected : cases) {
        Options options = optionsFor(Model::Nano6G);
        // Large enough that the stream passes many write buffers.
        options.trackCount = 2500;
        options.withMedia = false;
        options.withPhotos = false;
        options.withArtwork = false;
        options.compressedPresence = expected.presence;
        const PlayerImage image = generatePlayerImage(options);
        std::string error;
        ASSERT_TRUE(writePlayerImage(image, folder.path(), options, error)) << error;
        EXPECT_EQ(std::filesystem::file_size(musicDatabasePath(folder.path())), 0U);
        const std::filesystem::path path = compressedDatabasePath(folder.path());
        ASSERT_EQ(std::filesystem::exists(path), expected.exists);
        const Bytes healthy = compressedDatabaseBytes(image, CompressedDamage::None);
        const std::string written = pelmar::test::readAll(path);
        if (expected.presence == CompressedPresence::Written) {
            EXPECT_TRUE(written == std::string(healthy.begin(), healthy.end()));
        } else {
            EXPECT_TRUE(written.empty());
        }
    }
}

TEST(CompressedDatabase, DamagedStreamsFailTheWayTheySay) {
    const PlayerImage image = imageOf(Model::Nano5G, 300);
    const Bytes plain = musicDatabaseBytes(image);
    const Bytes healthy = compressedDatabaseBytes(image, CompressedDamage::None);
    const auto inflatedRest = [&](const Bytes& damaged) {
        return inflateAll(std::span(damaged).subspan(kHeaderLength), plain.size() - kHeaderLength);
    };
    const auto startsAsTheDatabase = [&](const Inflated& inflated) {
        return std::equal(inflated.start.begin(), inflated.start.end(),
                          plain.begin() + kHeaderLength);
    };

    const Bytes truncated = compressedDatabaseBytes(image, CompressedDamage::Truncated);
    EXPECT_EQ(truncated.size(), kHeaderLength + (healthy.size() - kHeaderLength) / 2);
    EXPECT_EQ(u32(truncated, 8), healthy.size()) << "the header still gives the whole length";
    const Inflated cut = inflatedRest(truncated);
    EXPECT_EQ(cut.status, Z_BUF_ERROR);
    EXPECT_GT(cut.total, 0U);
    EXPECT_TRUE(startsAsTheDatabase(cut));

    const Bytes wrongHeader = compressedDatabaseBytes(image, CompressedDamage::WrongHeader);
    ASSERT_EQ(wrongHeader.size(), healthy.size());
    EXPECT_EQ(inflatedRest(wrongHeader).status, Z_DATA_ERROR);
    std::size_t differing = 0;
    for (std::size_t at = 0; at < healthy.size(); ++at) {
        differing += healthy[at] != wrongHeader[at] ? 1 : 0;
    }
    EXPECT_EQ(differing, 1U) << "only the header check byte differs";

    const Bytes bomb = compressedDatabaseBytes(image, CompressedDamage::Bomb);
    EXPECT_EQ(u32(bomb, 8), bomb.size());
    EXPECT_LT(bomb.size(), std::size_t{8} << 20);
    // Inflating the real one takes a while; a smaller one is the same stream, shorter.
    constexpr std::uint64_t kSmallBomb = std::uint64_t{96} << 20;
    const Inflated exploded =
        inflatedRest(compressedDatabaseBytes(image, CompressedDamage::Bomb, kSmallBomb));
    EXPECT_EQ(exploded.status, Z_STREAM_END) << "well-formed to its end";
    EXPECT_EQ(exploded.total, kSmallBomb);
    EXPECT_TRUE(startsAsTheDatabase(exploded));
}

}  // namespace
}  // namespace pelmar::player_image::test
