#include "util/literal_store.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "literal_encipher/literal_blob.h"

namespace pelmar {
namespace {

ProtectedLiteral literalOf(const std::vector<std::uint8_t>& blob) {
    return {blob.data(), blob.size()};
}

TEST(DecipherLiteral, GivesBackWhatWasEnciphered) {
    for (const std::string text : {"a", "seven c", "eight ch", "nine char", "Reading Photos...",
                                   "\x01\x7f\x80\xff high bytes", "tab\tand\nnewline"}) {
        EXPECT_EQ(decipherLiteral(encipherLiteral(text)), text);
    }
}

TEST(DecipherLiteral, LongestTextFitsItsHundredTwentySevenBlocks) {
    constexpr std::size_t kLongest = std::size_t{127} * 8;
    std::string text;
    for (std::size_t i = 0; text.size() < kLongest; ++i) {
        text += static_cast<char>('A' + i % 26);
    }
    const std::vector<std::uint8_t> blob = encipherLiteral(text);
    ASSERT_EQ(blob.size(), 3 + kLongest);
    EXPECT_EQ(blob[0], 127);
    EXPECT_EQ(decipherLiteral(blob), text);
}

TEST(DecipherLiteral, ZeroBlocksOrNoBytesGiveTheEmptyText) {
    EXPECT_EQ(decipherLiteral(encipherLiteral("")), "");
    EXPECT_EQ(decipherLiteral(std::vector<std::uint8_t>{0x00, 0x12, 0x34}), "");
    EXPECT_EQ(decipherLiteral(std::vector<std::uint8_t>{}), "");
    EXPECT_EQ(decipherLiteral(std::vector<std::uint8_t>{0x05}), "") << "count byte only";
}

TEST(DecipherLiteral, HighBitOfTheCountAndTheTwoSpareBytesAreIgnored) {
    std::vector<std::uint8_t> blob = encipherLiteral("Connect to iPod");
    blob[0] |= 0x80;
    blob[1] = 0xEE;
    blob[2] = 0xFF;
    EXPECT_EQ(decipherLiteral(blob), "Connect to iPod");
}

TEST(DecipherLiteral, BlobShorterThanItsCountGivesOnlyTheBlocksItHolds) {
    const std::vector<std::uint8_t> whole = encipherLiteral("0123456789abcdefXYZ");
    ASSERT_EQ(whole[0], 3);
    // Two whole blocks and part of the third: the partial block is not read.
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + 3 + 16 + 5);
    EXPECT_EQ(decipherLiteral(cut), "0123456789abcdef");

    std::vector<std::uint8_t> boastful = encipherLiteral("abcdefgh");
    boastful[0] = 0x7F;
    EXPECT_EQ(decipherLiteral(boastful), "abcdefgh");
}

TEST(DecipherLiteral, CountSmallerThanTheBlobReadsOnlyTheCountedBlocks) {
    std::vector<std::uint8_t> blob = encipherLiteral("0123456789abcdef");
    blob[0] = 1;
    EXPECT_EQ(decipherLiteral(blob), "01234567");
}

TEST(DecipherLiteral, TextEndsAtTheFirstNulOfTheDecipheredBlocks) {
    EXPECT_EQ(decipherLiteral(encipherLiteral(std::string_view("ab\0cdefgh", 9))), "ab");
}

TEST(Reveal, ZeroBlockLiteralIsAnEmptyText) {
    static const std::array<std::uint8_t, 1> blob{0x00};
    const char* text = reveal({blob.data(), blob.size()});
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
}

TEST(Reveal, SameBlobGivesTheSamePointerEveryTime) {
    static const std::vector<std::uint8_t> blob = encipherLiteral("Disconnect iPod");
    const char* first = reveal(literalOf(blob));
    EXPECT_STREQ(first, "Disconnect iPod");
    EXPECT_EQ(reveal(literalOf(blob)), first);
}

TEST(Reveal, DifferentBlobsWithTheSameTextAreDecipheredApart) {
    static const std::vector<std::uint8_t> one = encipherLiteral("Logs");
    static const std::vector<std::uint8_t> two = encipherLiteral("Logs");
    EXPECT_NE(reveal(literalOf(one)), reveal(literalOf(two)));
    EXPECT_STREQ(reveal(literalOf(two)), "Logs");
}

TEST(Reveal, EarlierTextsKeepTheirAddressAsMoreAreRevealed) {
    static std::vector<std::vector<std::uint8_t>> blobs;
    blobs.reserve(200);
    for (int i = 0; i < 200; ++i) {
        blobs.push_back(encipherLiteral("literal " + std::to_string(i)));
    }
    const char* first = reveal(literalOf(blobs.front()));
    for (const auto& blob : blobs) {
        (void)reveal(literalOf(blob));
    }
    EXPECT_EQ(reveal(literalOf(blobs.front())), first);
    EXPECT_STREQ(first, "literal 0");
}

TEST(Reveal, ThreadsAskingAtOnceShareOneText) {
    static std::vector<std::vector<std::uint8_t>> blobs;
    blobs.reserve(16);
    for (int i = 0; i < 16; ++i) {
        blobs.push_back(encipherLiteral("shared text " + std::to_string(i)));
    }
    constexpr int kThreads = 8;
    std::vector<std::vector<const char*>> seen(kThreads);
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&seen, t] {
            for (const auto& blob : blobs) {
                seen[t].push_back(reveal(literalOf(blob)));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        std::set<const char*> pointers;
        for (const auto& perThread : seen) {
            pointers.insert(perThread[i]);
        }
        EXPECT_EQ(pointers.size(), 1u) << "blob " << i;
        EXPECT_STREQ(*pointers.begin(), ("shared text " + std::to_string(i)).c_str());
    }
}

}  // namespace
}  // namespace pelmar
