#include "library/compressed_database.h"

#include <gtest/gtest.h>

#include "library/music_database_reader.h"
#include "library/player_library.h"
#include "support/later_player_files.h"
#include "util/byte_source.h"
#include "util/progress_reporter.h"

namespace pelmar {
namespace {

using test::DatabaseBytes;

// A database of `tracks` titled tracks and a master playlist, under a current 0xF4 header.
std::vector<std::uint8_t> database(std::uint32_t tracks) {
    DatabaseBytes db;
    db.root(0xF4).dataset(1).trackList(tracks);
    for (std::uint32_t id = 1; id <= tracks; ++id) {
        test::TrackHeader track;
        track.id = id;
        track.childCount = 1;
        db.track(track).utf8String(1, "Track " + std::to_string(id));
    }
    db.dataset(2).playlistList(1).playlist().utf8String(1, "Player");
    return db.bytes();
}

std::vector<std::uint8_t> contents(const ChunkedBytes& bytes) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(bytes.size()));
    EXPECT_EQ(bytes.copyOut(0, out), out.size());
    return out;
}

InflatedDatabase inflate(const std::vector<std::uint8_t>& file, std::uint64_t limit = 1 << 30) {
    MemoryByteSource source(file);
    NullProgressReporter progress;
    return inflateMusicDatabase(source, progress, limit);
}

TEST(CompressedDatabase, InflatesToTheBytesOfTheUncompressedDatabase) {
    const std::vector<std::uint8_t> plain = database(3600);
    std::vector<std::uint8_t> file = test::compressedDatabase(plain);
    const std::size_t streamEnd = file.size();
    file.insert(file.end(), {0xDE, 0xAD});  // past the stream's end: not part of the database
    const InflatedDatabase inflated = inflate(file);
    EXPECT_EQ(inflated.outcome.end, ReadOutcome::End::EndOfData) << inflated.outcome.reason;
    EXPECT_EQ(inflated.outcome.offset, streamEnd);
    ASSERT_GT(plain.size(), 2 * ChunkedBytes::kChunkSize) << "the bytes span several chunks";
    std::vector<std::uint8_t> expected = plain;
    std::copy_n(file.begin(), 0xF4, expected.begin());  // the header as stored, the rest inflated

    // Reads of every size, across chunk boundaries, come out as those bytes, and a peek before
    // each shows them in place up to the end of the chunk.
    ChunkedByteSource source(inflated.bytes);
    std::vector<std::uint8_t> read(expected.size());
    for (std::size_t at = 0, step = 1; at < read.size(); step = step * 7 % 300'001 + 1) {
        const std::span<const std::uint8_t> shown = source.peek(step);
        ASSERT_EQ(shown.size(), std::min(ChunkedBytes::kChunkSize - at % ChunkedBytes::kChunkSize,
                                         read.size() - at));
        ASSERT_TRUE(std::equal(shown.begin(), shown.end(), expected.begin() + at)) << at;
        const std::size_t n = std::min(step, read.size() - at);
        ASSERT_EQ(source.read(std::span(read).subspan(at, n)), n);
        at += n;
    }
    EXPECT_EQ(read, expected);
    EXPECT_TRUE(source.peek(1).empty());
    EXPECT_EQ(source.read(std::span(read).first(1)), 0U);
}

TEST(CompressedDatabase, DamagedFilesStopWithWhatWasInflated) {
    const std::vector<std::uint8_t> plain = database(300);
    const std::vector<std::uint8_t> good = test::compressedDatabase(plain);
    const auto withHeaderLength = [&](std::uint32_t length) {
        std::vector<std::uint8_t> file = good;
        test::put32(file, 4, length);
        return file;
    };
    std::vector<std::uint8_t> wrongStream = good;
    wrongStream[0xF4] = 0x1F;  // a gzip header where the zlib one belongs
    std::vector<std::uint8_t> flipped = good;
    flipped[good.size() / 2] ^= 0xFF;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        std::string reason;
        std::size_t inflatedAtMost;  // header included
    };
    const std::vector<Case> cases = {
        {"shorter than a record head", std::vector<std::uint8_t>(good.begin(), good.begin() + 7),
         "file shorter than a record head", 0},
        {"header length 4", withHeaderLength(4), "root header length out of range", 0},
        {"header length past 64 KiB", withHeaderLength(0x10001), "root header length out of range",
         0},
        {"header past the end", std::vector<std::uint8_t>(good.begin(), good.begin() + 0x80),
         "root header past the end of the file", 0},
        {"no stream", std::vector<std::uint8_t>(good.begin(), good.begin() + 0xF4),
         "compressed data ends inside the stream", 0xF4},
        {"cut stream", std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2),
         "compressed data ends inside the stream", plain.size() - 1},
        {"wrong stream header", wrongStream, "damaged compressed data: incorrect header check",
         0xF4},
    };
    for (const Case& c : cases) {
        const InflatedDatabase inflated = inflate(c.file);
        EXPECT_EQ(inflated.outcome.end, ReadOutcome::End::Malformed) << c.what;
        EXPECT_EQ(inflated.outcome.reason, c.reason) << c.what;
        const std::vector<std::uint8_t> bytes = contents(inflated.bytes);
        EXPECT_LE(bytes.size(), c.inflatedAtMost) << c.what;
        EXPECT_TRUE(bytes.size() < 0xF4 ||
                    std::equal(bytes.begin() + 0xF4, bytes.end(), plain.begin() + 0xF4))
            << c.what << ": a prefix of the database";
    }
    EXPECT_EQ(inflate(flipped).outcome.reason.substr(0, 23), "damaged compressed data");

    // What a cut stream gave reads as a database cut short: the first tracks, whole.
    const InflatedDatabase cut = inflate(cases[5].file);
    ChunkedByteSource source(cut.bytes);
    PlayerLibrary library;
    NullProgressReporter progress;
    EXPECT_EQ(readMusicDatabase(library, source, progress).end, ReadOutcome::End::EndOfData);
    ASSERT_FALSE(library.tracks.empty());
    EXPECT_LT(library.tracks.size(), 300U);
    EXPECT_EQ(library.tracks.at(static_cast<std::uint32_t>(library.tracks.size())).title,
              "Track " + std::to_string(library.tracks.size()));
}

TEST(CompressedDatabase, NeverHoldsMoreThanItsLimit) {
    // A stream of zeros: a thousand times smaller than what it inflates to.
    std::vector<std::uint8_t> bomb(0xF4 + (std::size_t{4} << 20), 0);
    test::put32(bomb, 4, 0xF4);
    const std::vector<std::uint8_t> file = test::compressedDatabase(bomb);
    const std::uint64_t bodySize = bomb.size() - 0xF4;
    struct Case {
        std::uint64_t limit;
        ReadOutcome::End end;
        std::uint64_t kept;
    };
    for (const Case c : {Case{inflationLimit(file.size()), ReadOutcome::End::Malformed,
                              inflationLimit(file.size())},
                         Case{bodySize - 1, ReadOutcome::End::Malformed, bodySize - 1},
                         Case{bodySize, ReadOutcome::End::EndOfData, bodySize}}) {
        const InflatedDatabase inflated = inflate(file, c.limit);
        EXPECT_EQ(inflated.outcome.end, c.end) << c.limit;
        EXPECT_EQ(inflated.bytes.size(), 0xF4 + c.kept) << c.limit;
    }
    EXPECT_LT(inflationLimit(file.size()), bodySize);
    EXPECT_EQ(inflationLimit(1000), 64'000U);
    EXPECT_EQ(inflationLimit(std::uint64_t{32} << 20), std::uint64_t{2} << 30);
    EXPECT_EQ(inflationLimit(std::uint64_t{1} << 40), std::uint64_t{2} << 30);
}

}  // namespace
}  // namespace pelmar
