#include "photos/planar_yuv.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pelmar {

namespace {

// The conversion's coefficients in millionths, as the definition states them to six decimals.
constexpr std::int32_t kLuma = 1164383;
constexpr std::int32_t kRedFromV = 1596027;
constexpr std::int32_t kGreenFromU = 391762;
constexpr std::int32_t kGreenFromV = 812968;
constexpr std::int32_t kBlueFromU = 2017232;
constexpr std::int32_t kMillion = 1000000;
constexpr std::int32_t kHalf = kMillion / 2;

// Each channel is N / 1e6 for a whole number N summed from the tables below, so it lies a
// millionth or more from the halfway point between two bytes unless it is exactly there. The
// double-precision conversion errs by less than 1e-12, so outside those ties it rounds to the
// same byte as N does in whole numbers, which is several times quicker. The ties, where the
// double computation decides by its own rounding, are converted in double precision.
struct Numerators {
    std::array<std::int32_t, 256> luma;
    std::array<std::int32_t, 256> redByV;
    std::array<std::int32_t, 256> greenByU;
    std::array<std::int32_t, 256> greenByV;
    std::array<std::int32_t, 256> blueByU;
};

constexpr Numerators makeNumerators() {
    Numerators n{};
    for (std::int32_t at = 0; at < 256; ++at) {
        n.luma[at] = kLuma * (at - 16);
        n.redByV[at] = kRedFromV * (at - 128);
        n.greenByU[at] = -kGreenFromU * (at - 128);
        n.greenByV[at] = -kGreenFromV * (at - 128);
        n.blueByU[at] = kBlueFromU * (at - 128);
    }
    return n;
}

constexpr Numerators kNumerators = makeNumerators();

std::uint8_t heldRound(double value) {
    return static_cast<std::uint8_t>(std::clamp<long>(std::lround(value), 0, 255));
}

struct Chroma {
    int u;
    int v;
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

enum class Channel { Red, Green, Blue };

std::uint8_t convertInDoublePrecision(Channel channel, int y, const Chroma& c) {
    const double luma = 1.164383 * (y - 16);
    switch (channel) {
        case Channel::Red:
            return heldRound(luma + 1.596027 * (c.v - 128));
        case Channel::Green:
            return heldRound(luma - 0.391762 * (c.u - 128) - 0.812968 * (c.v - 128));
        case Channel::Blue:
            return heldRound(luma + 2.017232 * (c.u - 128));
    }
    return 0;
}

inline std::uint8_t channelByte(std::int32_t numerator, Channel channel, int y, const Chroma& c) {
    const std::int32_t biased = numerator + kHalf;
    if (biased <= 0) {
        return biased == 0 ? convertInDoublePrecision(channel, y, c) : 0;
    }
    const std::int32_t whole = biased / kMillion;
    if (biased - whole * kMillion == 0) {
        return convertInDoublePrecision(channel, y, c);
    }
    return static_cast<std::uint8_t>(std::min(whole, 255));
}

inline void storePixel(int y, const Chroma& c, std::uint8_t* out) {
    const std::int32_t luma = kNumerators.luma[static_cast<std::size_t>(y)];
    out[0] = channelByte(luma + c.red, Channel::Red, y, c);
    out[1] = channelByte(luma + c.green, Channel::Green, y, c);
    out[2] = channelByte(luma + c.blue, Channel::Blue, y, c);
}

}  // namespace

std::uint64_t planarYuvSize(std::uint32_t width, std::uint32_t height) {
    const std::uint64_t chroma = (std::uint64_t{width} + 1) / 2 * ((std::uint64_t{height} + 1) / 2);
    return std::uint64_t{width} * height + 2 * chroma;
}

void decodePlanarYuv(std::span<const std::uint8_t> data, RgbImage& image, RowProgress& progress) {
    const std::size_t width = image.width;
    const std::size_t chromaWidth = (width + 1) / 2;
    const std::size_t chromaHeight = (std::size_t{image.height} + 1) / 2;
    const std::uint8_t* lumaPlane = data.data();
    const std::uint8_t* uPlane = lumaPlane + width * image.height;
    const std::uint8_t* vPlane = uPlane + chromaWidth * chromaHeight;
    std::uint8_t* out = image.pixels.data();
    for (std::uint32_t row = 0; row < image.height; ++row) {
        progress.beforeRow(row);
        const std::uint8_t* lumaRow = lumaPlane + row * width;
        const std::uint8_t* uRow = uPlane + row / 2 * chromaWidth;
        const std::uint8_t* vRow = vPlane + row / 2 * chromaWidth;
        for (std::size_t x = 0; x < width; x += 2) {
            const int u = uRow[x / 2];
            const int v = vRow[x / 2];
            const Chroma chroma{u, v, kNumerators.redByV[static_cast<std::size_t>(v)],
                                kNumerators.greenByU[static_cast<std::size_t>(u)] +
                                    kNumerators.greenByV[static_cast<std::size_t>(v)],
                                kNumerators.blueByU[static_cast<std::size_t>(u)]};
            storePixel(lumaRow[x], chroma, out);
            out += 3;
            if (x + 1 < width) {
                storePixel(lumaRow[x + 1], chroma, out);
                out += 3;
            }
        }
    }
}

}  // namespace pelmar
