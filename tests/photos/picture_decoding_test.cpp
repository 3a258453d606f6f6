#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "photos/jpeg_export.h"
#include "photos/stored_jpeg.h"
#include "photos/thumbnail_decoder.h"

namespace pelmar {
namespace {

using Colour = std::array<int, 3>;

Colour pixelAt(const RgbImage& image, std::size_t x, std::size_t y) {
    const std::size_t at = (y * image.width + x) * 3;
    return {image.pixels.at(at), image.pixels.at(at + 1), image.pixels.at(at + 2)};
}

const ThumbnailFormat& format(std::uint32_t formatId) {
    return *findThumbnailFormat(formatId);
}

TEST(DecodePicture, ReadsEachLaterRgbFormatTopDownWithItsRowLength) {
    for (const ThumbnailFormat& f : thumbnailFormatTable()) {
        if (!f.slotSizeFromDatabase || pixelLayout(f) != PixelLayout::Rgb565Little) {
            continue;
        }
        // The table's own rows, and rows padded by 12 bytes as a database may state them: red
        // above, blue below, 0xFF in the padding.
        for (const std::uint32_t row :
             {rowLength(f, static_cast<std::uint32_t>(f.byteSize)), f.width * 2u + 12}) {
            SCOPED_TRACE(testing::Message() << f.formatId << ", rows of " << row);
            std::vector<std::uint8_t> slot(std::size_t{row} * f.height, 0xFF);
            for (std::size_t y = 0; y < f.height; ++y) {
                for (std::size_t x = 0; x < f.width; ++x) {
                    slot[y * row + x * 2] = y < f.height / 2u ? 0x00 : 0x1F;
                    slot[y * row + x * 2 + 1] = y < f.height / 2u ? 0xF8 : 0x00;
                }
            }
            const RgbImage image = decodePicture(f, static_cast<std::uint32_t>(slot.size()), slot);
            ASSERT_EQ(image.width, f.width);
            ASSERT_EQ(image.height, f.height);
            for (const std::size_t x : {0, f.width - 1}) {
                EXPECT_EQ(pixelAt(image, x, f.height / 2u - 1), (Colour{248, 0, 0}));
                EXPECT_EQ(pixelAt(image, x, f.height / 2u), (Colour{0, 0, 248}));
            }
        }
    }
}

// The definition: double precision, rounded to nearest, held within a byte.
Colour bt601(int y, int u, int v) {
    const auto held = [](double value) {
        return static_cast<int>(std::clamp<long>(std::lround(value), 0, 255));
    };
    const double luma = 1.164383 * (y - 16);
    return {held(luma + 1.596027 * (v - 128)),
            held(luma - 0.391762 * (u - 128) - 0.812968 * (v - 128)),
            held(luma + 2.017232 * (u - 128))};
}

constexpr std::size_t kLumaBytes = 720 * 480;
constexpr std::size_t kChromaBytes = kLumaBytes / 4;

TEST(DecodePicture, ConvertsPlanarYuvAsDefinedWithEachChromaSampleOnItsFourPixels) {
    const struct {
        int y, u, v;
        Colour expected;
    } known[] = {
        {16, 128, 128, {0, 0, 0}},        {235, 128, 128, {255, 255, 255}},
        {81, 90, 240, {254, 0, 0}},  // green -0.48 and blue -0.97 held at 0
        {145, 54, 34, {0, 255, 1}},  // green 255.61 held, blue 0.93 rounded up
        {255, 255, 255, {255, 125, 255}}, {0, 0, 0, {0, 136, 0}},
    };
    for (const auto& c : known) {
        ASSERT_EQ(bt601(c.y, c.u, c.v), c.expected) << c.y << " " << c.u << " " << c.v;
    }
    // Y 126 above and 200 below; chroma neutral but for one sample of the bottom half, whose U
    // and V are 0; the slot's last quarter holds no picture.
    std::vector<std::uint8_t> slot(691200, 0xEE);
    std::fill_n(slot.begin(), kLumaBytes / 2, 126);
    std::fill_n(slot.begin() + kLumaBytes / 2, kLumaBytes / 2, 200);
    std::fill_n(slot.begin() + kLumaBytes, 2 * kChromaBytes, 128);
    slot[kLumaBytes + 170 * 360 + 101] = 0;
    slot[kLumaBytes + kChromaBytes + 170 * 360 + 101] = 0;
    const RgbImage image = decodePicture(format(1067), 0, slot);
    ASSERT_EQ(image.width, 720u);
    ASSERT_EQ(image.height, 480u);
    EXPECT_EQ(pixelAt(image, 719, 239), bt601(126, 128, 128));
    EXPECT_EQ(pixelAt(image, 0, 240), bt601(200, 128, 128));
    for (const auto& [x, y] : {std::pair{202, 340}, {203, 340}, {202, 341}, {203, 341}}) {
        EXPECT_EQ(pixelAt(image, x, y), bt601(200, 0, 0)) << x << ", " << y;
    }
    for (const auto& [x, y] : {std::pair{201, 340}, {204, 341}, {202, 339}, {203, 342}}) {
        EXPECT_EQ(pixelAt(image, x, y), bt601(200, 128, 128)) << x << ", " << y;
    }
}

TEST(DecodePicture, ConvertsEveryCombinationOfPlanarYuvValuesAsDefined) {
    // Chroma sample s holds U = s bits 14-21 and V = bits 6-13; its four pixels take the lumas
    // 4 × (s mod 64) and the three after, so every Y, U and V meet once.
    constexpr std::size_t kSamples = std::size_t{256} * 256 * 64;
    const auto lumaAt = [](std::size_t sample, std::size_t pixel) {
        return (sample / 360 * 2 + pixel / 2) * 720 + sample % 360 * 2 + pixel % 2;
    };
    std::size_t mismatches = 0;
    for (std::size_t first = 0; first < kSamples; first += kChromaBytes) {
        std::vector<std::uint8_t> slot(691200, 0);
        const std::size_t samples = std::min(kChromaBytes, kSamples - first);
        for (std::size_t local = 0; local < samples; ++local) {
            slot[kLumaBytes + local] = static_cast<std::uint8_t>((first + local) >> 14);
            slot[kLumaBytes + kChromaBytes + local] =
                static_cast<std::uint8_t>((first + local) >> 6);
            for (std::size_t pixel = 0; pixel < 4; ++pixel) {
                slot[lumaAt(local, pixel)] =
                    static_cast<std::uint8_t>((first + local) % 64 * 4 + pixel);
            }
        }
        const RgbImage image = decodePicture(format(1067), 0, slot);
        for (std::size_t local = 0; local < samples; ++local) {
            for (std::size_t pixel = 0; pixel < 4; ++pixel) {
                const std::size_t at = lumaAt(local, pixel);
                const Colour expected = bt601(slot[at], slot[kLumaBytes + local],
                                              slot[kLumaBytes + kChromaBytes + local]);
                if (pixelAt(image, at % 720, at / 720) != expected && ++mismatches <= 5) {
                    ADD_FAILURE() << "Y " << int{slot[at]} << " U " << int{slot[kLumaBytes + local]}
                                  << " V " << int{slot[kLumaBytes + kChromaBytes + local]};
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(DecodePicture, DecodesAStoredJpegAtItsOwnSizeAndRefusesHugeOnes) {
    const auto redOverBlue = [](std::uint32_t width, std::uint32_t height) {
        RgbImage image{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 3)};
        for (std::size_t at = 0; at < image.pixels.size(); at += 3) {
            image.pixels[at + (at / 3 / width < height / 2 ? 0 : 2)] = 240;
        }
        return encodeJpeg(image);
    };
    std::vector<std::uint8_t> slot(614400, 0);
    for (const auto& [width, height, decodes] :
         {std::tuple{640u, 480u, true}, {64u, 48u, true}, {1400u, 1000u, false}}) {
        const std::vector<std::uint8_t> jpeg = redOverBlue(width, height);
        std::copy(jpeg.begin(), jpeg.end(), slot.begin());
        const RgbImage image = decodePicture(format(1081), 0, slot);
        ASSERT_EQ(image.width, decodes ? width : 0) << width;
        if (decodes) {
            EXPECT_NEAR(pixelAt(image, width - 1, height / 2 - 1)[0], 240, 8);
            EXPECT_NEAR(pixelAt(image, 0, height / 2)[2], 240, 8);
            EXPECT_NEAR(pixelAt(image, 0, height / 2)[0], 0, 8);
        }
    }
    EXPECT_TRUE(decodePicture(format(1081), 0, std::vector<std::uint8_t>(99, 0)).pixels.empty());
}

std::vector<std::uint8_t> segment(std::uint8_t marker, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> bytes(body.size() + 4);
    bytes[0] = 0xFF;
    bytes[1] = marker;
    bytes[2] = static_cast<std::uint8_t>((body.size() + 2) >> 8);
    bytes[3] = static_cast<std::uint8_t>(body.size() + 2);
    std::copy(body.begin(), body.end(), bytes.begin() + 4);
    return bytes;
}

std::vector<std::uint8_t> joined(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> bytes;
    for (const auto& part : parts) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

TEST(StoredJpegLength, FindsTheStreamsOwnEndMarker) {
    const std::vector<std::uint8_t> soi{0xFF, 0xD8};
    const std::vector<std::uint8_t> eoi{0xFF, 0xD9};
    const std::vector<std::uint8_t> scan = segment(0xDA, {1, 2, 3});
    // Entropy-coded bytes: a stuffed 0xFF, a restart marker and fill bytes before the end.
    const std::vector<std::uint8_t> coded{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD3, 0x56, 0xFF, 0xFF};
    const std::vector<std::uint8_t> zeros(40, 0);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::size_t length;
    } cases[] = {
        {"plain", joined({soi, segment(0xE0, {'J', 'F'}), scan, coded, eoi, zeros}), 26},
        {"a preview's end marker inside a segment",
         joined({soi, segment(0xE1, joined({soi, scan, eoi})), scan, {1}, eoi, zeros}), 27},
        {"two scans", joined({soi, scan, {1}, scan, {2}, eoi}), 20},
        {"no scan", joined({soi, segment(0xE0, {1}), eoi}), 0},
        {"no start marker", joined({scan, eoi}), 0},
        {"no end marker", joined({soi, scan, coded, zeros}), 0},
        {"a segment past the end", joined({soi, {0xFF, 0xE0, 0x40, 0x00}, eoi}), 0},
        {"a segment length below 2", joined({soi, {0xFF, 0xE0, 0x00, 0x01}, scan, eoi}), 0},
        {"bytes between segments", joined({soi, {0x42}, scan, eoi}), 0},
        {"a second start marker", joined({soi, soi, scan, eoi}), 0},
        {"cut inside a length", joined({soi, {0xFF, 0xE0, 0x00}}), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storedJpegLength(c.bytes), c.length) << c.name;
    }
}

}  // namespace
}  // namespace pelmar
