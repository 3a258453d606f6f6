#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "photos/thumbnail_decoder.h"

namespace pelmar {
namespace {

struct Colour {
    int red;
    int green;
    int blue;

    bool operator==(const Colour&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Colour& colour) {
    return out << "(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

Colour pixelAt(const RgbImage& image, std::uint32_t x, std::uint32_t y) {
    const std::size_t at = (std::size_t{y} * image.width + x) * 3;
    return {image.pixels.at(at), image.pixels.at(at + 1), image.pixels.at(at + 2)};
}

const ThumbnailFormat& format(std::uint32_t formatId) {
    const ThumbnailFormat* found = findThumbnailFormat(formatId);
    EXPECT_NE(found, nullptr) << formatId;
    return *found;
}

std::vector<std::uint8_t> blankThumbnail(const ThumbnailFormat& thumbnailFormat) {
    return std::vector<std::uint8_t>(static_cast<std::size_t>(thumbnailFormat.byteSize), 0);
}

// A YUV thumbnail that shows black everywhere: chroma at its centre, luma 0.
std::vector<std::uint8_t> blackYuvThumbnail() {
    std::vector<std::uint8_t> bytes = blankThumbnail(format(1019));
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        bytes[at] = 128;
        bytes[at + 2] = 128;
    }
    return bytes;
}

void setYuvGroup(std::vector<std::uint8_t>& bytes, std::uint32_t sourceRow, std::uint32_t x,
                 std::array<std::uint8_t, 4> uy0vy1) {
    const std::size_t at = (std::size_t{sourceRow} * 720 + (x & ~1u)) * 2;
    std::copy(uy0vy1.begin(), uy0vy1.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

TEST(DecodeThumbnail, ReadsRgbPixelsInTheFormatsByteOrder) {
    struct Case {
        std::uint32_t formatId;
        std::uint8_t first;
        std::uint8_t second;
        Colour expected;
    };
    const Case cases[] = {
        {1015, 0x00, 0xF8, {248, 0, 0}},   // red, low byte first
        {1020, 0x00, 0xF8, {0, 24, 192}},  // the same bytes read high byte first
        {1023, 0xF8, 0x00, {248, 0, 0}},   // red, high byte first
        {1024, 0xC0, 0x07, {0, 248, 0}},   // green
        {1036, 0x1F, 0x00, {0, 0, 248}},   // blue
        {1032, 0x20, 0x00, {0, 0, 0}},     // only the unused lowest green bit
        {1009, 0xFF, 0xFF, {248, 248, 248}},
        {1013, 0x51, 0x8A, {136, 72, 136}},  // 0x8A51: 10001 01001 0 10001
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formatId);
        const ThumbnailFormat& f = format(c.formatId);
        std::vector<std::uint8_t> bytes = blankThumbnail(f);
        // Pixel i lies at column i mod width of row i div width.
        const std::size_t pixel = std::size_t{f.width} * 3 + 5;
        bytes[pixel * 2] = c.first;
        bytes[pixel * 2 + 1] = c.second;
        const RgbImage image = decodeThumbnail(f, bytes);
        EXPECT_EQ(pixelAt(image, 5, 3), c.expected);
        EXPECT_EQ(pixelAt(image, 4, 3), (Colour{0, 0, 0}));
        EXPECT_EQ(pixelAt(image, 6, 3), (Colour{0, 0, 0}));
        EXPECT_EQ(pixelAt(image, 5, 2), (Colour{0, 0, 0}));
    }
}

TEST(DecodeThumbnail, WeavesTheTwoYuvFieldsIntoOneFrame) {
    struct Case {
        std::uint32_t sourceRow;
        std::uint32_t x;
        std::uint32_t displayLine;
    };
    const Case cases[] = {
        {0, 0, 0}, {1, 10, 2}, {239, 718, 478}, {240, 0, 1}, {241, 3, 3}, {479, 719, 479},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "source row " << c.sourceRow << ", x " << c.x);
        std::vector<std::uint8_t> bytes = blackYuvThumbnail();
        setYuvGroup(bytes, c.sourceRow, c.x, {128, 200, 128, 100});
        const RgbImage image = decodeThumbnail(format(1019), bytes);
        const std::uint32_t left = c.x & ~1u;
        EXPECT_EQ(pixelAt(image, left, c.displayLine), (Colour{200, 200, 200}));
        EXPECT_EQ(pixelAt(image, left + 1, c.displayLine), (Colour{100, 100, 100}));
        const std::uint32_t otherLine = c.displayLine == 0 ? 1 : c.displayLine - 1;
        EXPECT_EQ(pixelAt(image, left, otherLine), (Colour{0, 0, 0}));
    }
}

TEST(DecodeThumbnail, TruncatesYuvColoursTowardZeroAndHoldsThemWithinAByte) {
    struct Case {
        std::uint8_t y;
        std::uint8_t u;
        std::uint8_t v;
        Colour expected;
    };
    const Case cases[] = {
        {255, 128, 255, {255, 163, 255}},  // red 433.75 would wrap to 177
        {0, 128, 0, {0, 91, 0}},           // red -180.16 would wrap to 76
        {100, 128, 129, {101, 99, 100}},   // 101.4075 and 99.2831 truncated
        {235, 255, 128, {235, 191, 255}},  // blue 460.9
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "Y " << int{c.y} << " U " << int{c.u} << " V " << int{c.v});
        std::vector<std::uint8_t> bytes = blackYuvThumbnail();
        setYuvGroup(bytes, 100, 40, {c.u, c.y, c.v, 0});
        const RgbImage image = decodeThumbnail(format(1019), bytes);
        EXPECT_EQ(pixelAt(image, 40, 200), c.expected);
    }
}

// The conversion as defined, in double precision, truncated toward zero and held within a byte.
Colour convertYuv(int y, int u, int v) {
    const auto channel = [](double value) { return std::clamp(static_cast<int>(value), 0, 255); };
    const double uCentred = u - 128.0;
    const double vCentred = v - 128.0;
    return {channel(y + 1.4075 * vCentred), channel(y - 0.3455 * uCentred - 0.7169 * vCentred),
            channel(y + 1.779 * uCentred)};
}

TEST(DecodeThumbnail, ConvertsEveryCombinationOfYuvValuesExactly) {
    const ThumbnailFormat& f = format(1019);
    const std::uint64_t groupsPerThumbnail = static_cast<std::uint64_t>(f.byteSize) / 4;
    // Group g holds U = g bits 15-22, V = bits 7-14, and the lumas 2 × (g mod 128) and one more.
    constexpr std::uint64_t kGroups = std::uint64_t{256} * 256 * 128;
    std::uint64_t mismatches = 0;
    for (std::uint64_t first = 0; first < kGroups; first += groupsPerThumbnail) {
        std::vector<std::uint8_t> bytes = blankThumbnail(f);
        const std::uint64_t groups = std::min(groupsPerThumbnail, kGroups - first);
        for (std::uint64_t local = 0; local < groups; ++local) {
            const std::uint64_t g = first + local;
            bytes[local * 4] = static_cast<std::uint8_t>(g >> 15);
            bytes[local * 4 + 1] = static_cast<std::uint8_t>(g % 128 * 2);
            bytes[local * 4 + 2] = static_cast<std::uint8_t>(g >> 7);
            bytes[local * 4 + 3] = static_cast<std::uint8_t>(g % 128 * 2 + 1);
        }
        const RgbImage image = decodeThumbnail(f, bytes);
        for (std::uint64_t local = 0; local < groups; ++local) {
            const auto storedRow = static_cast<std::uint32_t>(local * 2 / f.width);
            const auto x = static_cast<std::uint32_t>(local * 2 % f.width);
            const std::uint32_t line = storedRow < 240 ? 2 * storedRow : 2 * storedRow - 479;
            for (std::uint32_t half = 0; half < 2; ++half) {
                const std::uint8_t* group = &bytes[local * 4];
                const Colour expected = convertYuv(group[1 + 2 * half], group[0], group[2]);
                const Colour actual = pixelAt(image, x + half, line);
                if (actual != expected && ++mismatches <= 5) {
                    ADD_FAILURE() << "Y " << int{group[1 + 2 * half]} << " U " << int{group[0]}
                                  << " V " << int{group[2]} << ": " << actual << " instead of "
                                  << expected;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(DecodeThumbnail, TakesMissingBytesAsZero) {
    const ThumbnailFormat& f = format(1009);
    const std::vector<std::uint8_t> white(static_cast<std::size_t>(f.byteSize), 0xFF);
    const std::size_t halfRows = f.height / 2;
    const RgbImage image = decodeThumbnail(f, std::span(white).first(halfRows * f.width * 2 + 1));
    EXPECT_EQ(pixelAt(image, f.width - 1, halfRows - 1), (Colour{248, 248, 248}));
    // The odd byte left over is the low half of the next pixel; its high half is missing.
    EXPECT_EQ(pixelAt(image, 0, halfRows), (Colour{0, 24, 248}));
    EXPECT_EQ(pixelAt(image, 1, halfRows), (Colour{0, 0, 0}));
    EXPECT_EQ(pixelAt(image, f.width - 1, f.height - 1), (Colour{0, 0, 0}));

    const RgbImage empty = decodeThumbnail(f, {});
    EXPECT_EQ(empty.width, f.width);
    EXPECT_EQ(empty.pixels, std::vector<std::uint8_t>(empty.pixels.size(), 0));
}

TEST(DecodeThumbnail, IgnoresBytesBeyondTheFormatsSize) {
    const ThumbnailFormat& f = format(1036);
    std::vector<std::uint8_t> bytes = blankThumbnail(f);
    const RgbImage plain = decodeThumbnail(f, bytes);
    bytes.resize(bytes.size() + 64, 0xFF);
    EXPECT_EQ(decodeThumbnail(f, bytes).pixels, plain.pixels);
}

TEST(DecodeThumbnail, StaysWithinThePictureWhenAFormatsSizeDisagreesWithIt) {
    // Three whole pixels and one byte for a 2 × 1 picture: the surplus has no place.
    const ThumbnailFormat rgb{1, 7, 2, 1, 0, 0, 1, 1};
    const std::vector<std::uint8_t> bytes{0x00, 0xF8, 0x1F, 0x00, 0xFF, 0xFF, 0xFF};
    const RgbImage image = decodeThumbnail(rgb, bytes);
    ASSERT_EQ(image.pixels.size(), 6u);
    EXPECT_EQ(pixelAt(image, 0, 0), (Colour{248, 0, 0}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Colour{0, 0, 248}));

    const ThumbnailFormat oddYuv{2, 30, 3, 3, 0, 1, 1, 1};
    const std::vector<std::uint8_t> grey(30, 128);
    const RgbImage woven = decodeThumbnail(oddYuv, grey);
    EXPECT_EQ(woven.pixels, std::vector<std::uint8_t>(27, 128));

    const ThumbnailFormat noWidth{3, 100, 0, 10, 0, 0, 1, 1};
    EXPECT_TRUE(decodeThumbnail(noWidth, std::vector<std::uint8_t>(100, 1)).pixels.empty());
    const ThumbnailFormat negativeSize{4, -4, 2, 2, 0, 0, 1, 1};
    EXPECT_EQ(decodeThumbnail(negativeSize, bytes).pixels, std::vector<std::uint8_t>(12, 0));
}

TEST(DecodeThumbnail, ReportsEachTenthOfTheWayOnceWithoutChangingThePicture) {
    const std::vector<int> tens{0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    for (const ThumbnailFormat& row : thumbnailFormatTable()) {
        SCOPED_TRACE(row.formatId);
        if (pixelLayout(row) == PixelLayout::Jpeg) {
            continue;  // decoded in one call; see the JPEG tests
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(row.byteSize));
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            bytes[at] = static_cast<std::uint8_t>(at * 7 + at / 251);
        }
        std::vector<int> reported;
        const RgbImage withProgress =
            decodeThumbnail(row, bytes, [&](int percent) { reported.push_back(percent); });
        EXPECT_EQ(reported, tens);
        EXPECT_EQ(withProgress.pixels, decodeThumbnail(row, bytes).pixels);
    }
}

TEST(DecodeThumbnail, ReportsOnlyTheTenthsAThumbnailOfFewStepsReaches) {
    // Steps start at 0, 2, 4, 6 and 8 of 10 bytes: 0, 20, 40, 60 and 80 percent.
    const ThumbnailFormat tiny{5, 10, 5, 1, 0, 0, 1, 1};
    std::vector<int> reported;
    (void)decodeThumbnail(tiny, std::vector<std::uint8_t>(10),
                          [&](int percent) { reported.push_back(percent); });
    EXPECT_EQ(reported, (std::vector<int>{0, 20, 40, 60, 80}));

    // Steps at 0, 4, 8 and 12 of 14 bytes: 0, 28, 57 and 85 percent; only 0 is a tenth.
    const ThumbnailFormat coarse{6, 14, 4, 2, 0, 1, 1, 1};
    reported.clear();
    (void)decodeThumbnail(coarse, std::vector<std::uint8_t>(14),
                          [&](int percent) { reported.push_back(percent); });
    EXPECT_EQ(reported, (std::vector<int>{0}));
}

}  // namespace
}  // namespace pelmar
