#include "photos/planar_yuv.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace pelmar {

namespace {

// The conversion's coefficients in millionths, as the definition states them to six decimals.
constexpr std::int32_t kLuma = 1164383;
constexpr std::int32_t kGreenFromU = 391762;
constexpr std::int32_t kGreenFromV = 812968;
constexpr std::int32_t kMillion = 1000000;
constexpr std::int32_t kHalf = kMillion / 2;

enum class Channel { Red, Green, Blue };

std::uint8_t heldRound(double value) {
    return static_cast<std::uint8_t>(std::clamp<long>(std::lround(value), 0, 255));
}

std::uint8_t convertInDoublePrecision(Channel channel, int y, int u, int v) {
    const double luma = 1.164383 * (y - 16);
    switch (channel) {
        case Channel::Red:
            return heldRound(luma + 1.596027 * (v - 128));
        case Channel::Green:
            return heldRound(luma - 0.391762 * (u - 128) - 0.812968 * (v - 128));
        case Channel::Blue:
            return heldRound(luma + 2.017232 * (u - 128));
    }
    return 0;
}

// Red depends on Y and V alone and blue on Y and U alone, so both come from tables of every pair
// made once in double precision. Green depends on all three and is worked out in whole numbers:
// it is N / 1e6 for N = 1164383 (Y − 16) + c, c the chroma term, so it lies a millionth or more
// from a halfway point between two bytes unless it is exactly there, while the double-precision
// conversion errs by less than 1e-12; outside those ties both round alike. With the luma term
// split into A million + B and c into W million + P (B and P from 0 up to a million), green is
// A + W, plus 1 once B + P reaches half a million and 1 more at one and a half million. The few
// chroma samples with a tie for some Y are converted in double precision throughout. The tests
// compare every combination of Y, U and V with the definition.
struct Split {
    std::int32_t whole;
    std::int32_t part;  // 0 to a million − 1
};

constexpr Split split(std::int64_t numerator) {
    std::int64_t whole = numerator / kMillion;
    std::int64_t part = numerator % kMillion;
    if (part < 0) {
        part += kMillion;
        --whole;
    }
    return {static_cast<std::int32_t>(whole), static_cast<std::int32_t>(part)};
}

// Green's whole part plus its bias indexes heldGreen, which holds it within a byte.
constexpr int kGreenBias = 256;

struct PlanarTables {
    // Indexed by chroma × 256 + Y, so that the pixels of one chroma sample read one small run.
    std::array<std::uint8_t, 256 * 256> redByVAndLuma;
    std::array<std::uint8_t, 256 * 256> blueByUAndLuma;
    std::array<Split, 256> lumaTerm;
    std::array<Split, 256> greenTermByU;
    std::array<Split, 256> greenTermByV;
    std::array<bool, 256 * 256> greenTiesByUAndV;  // some Y lands exactly halfway
    std::array<std::uint8_t, 3 * 256> heldGreen;
};

// -391762 (U − 128) − 812968 (V − 128), split.
Split greenTerm(const PlanarTables& tables, int u, int v) {
    const Split byU = tables.greenTermByU[static_cast<std::size_t>(u)];
    const Split byV = tables.greenTermByV[static_cast<std::size_t>(v)];
    Split sum{byU.whole + byV.whole, byU.part + byV.part};
    if (sum.part >= kMillion) {
        sum.part -= kMillion;
        ++sum.whole;
    }
    return sum;
}

const PlanarTables& planarTables() {
    static const std::unique_ptr<const PlanarTables> tables = [] {
        auto made = std::make_unique<PlanarTables>();
        std::vector<bool> lumaParts(kMillion);
        for (int y = 0; y < 256; ++y) {
            made->lumaTerm[static_cast<std::size_t>(y)] = split(std::int64_t{kLuma} * (y - 16));
            lumaParts[static_cast<std::size_t>(made->lumaTerm[static_cast<std::size_t>(y)].part)] =
                true;
            for (int chroma = 0; chroma < 256; ++chroma) {
                const auto at = static_cast<std::size_t>(chroma << 8 | y);
                made->redByVAndLuma[at] = convertInDoublePrecision(Channel::Red, y, 128, chroma);
                made->blueByUAndLuma[at] = convertInDoublePrecision(Channel::Blue, y, chroma, 128);
            }
        }
        for (int chroma = 0; chroma < 256; ++chroma) {
            made->greenTermByU[static_cast<std::size_t>(chroma)] =
                split(-std::int64_t{kGreenFromU} * (chroma - 128));
            made->greenTermByV[static_cast<std::size_t>(chroma)] =
                split(-std::int64_t{kGreenFromV} * (chroma - 128));
        }
        for (int u = 0; u < 256; ++u) {
            for (int v = 0; v < 256; ++v) {
                const auto at = static_cast<std::size_t>(u << 8 | v);
                const Split term = greenTerm(*made, u, v);
                // B + P is half a million or one and a half million for some Y.
                const std::int32_t tieAt =
                    term.part <= kHalf ? kHalf - term.part : kHalf + kMillion - term.part;
                made->greenTiesByUAndV[at] = lumaParts[static_cast<std::size_t>(tieAt)];
            }
        }
        for (std::size_t at = 0; at < made->heldGreen.size(); ++at) {
            made->heldGreen[at] =
                static_cast<std::uint8_t>(std::clamp(static_cast<int>(at) - kGreenBias, 0, 255));
        }
        return made;
    }();
    return *tables;
}

// The pixels of one chroma sample in one or two rows, one or two wide. The terms are copied into
// locals: the output bytes may alias anything, and the compiler would otherwise read them again
// after every store.
struct Sample {
    const std::uint8_t* red;
    const std::uint8_t* blue;
    Split green;
    bool ties;
    int u;
    int v;
};

inline void storePixel(const PlanarTables& tables, const Sample& s, int y, std::uint8_t* out) {
    const std::uint8_t r = s.red[y];
    const std::uint8_t b = s.blue[y];
    std::uint8_t g = 0;
    if (s.ties) [[unlikely]] {
        g = convertInDoublePrecision(Channel::Green, y, s.u, s.v);
    } else {
        const Split luma = tables.lumaTerm[static_cast<std::size_t>(y)];
        const std::int32_t part = luma.part + s.green.part;
        g = tables.heldGreen[static_cast<std::size_t>(
            luma.whole + s.green.whole + (part >= kHalf ? 1 : 0) +
            (part >= kHalf + kMillion ? 1 : 0) + kGreenBias)];
    }
    out[0] = r;
    out[1] = g;
    out[2] = b;
}

}  // namespace

std::uint64_t planarYuvSize(std::uint32_t width, std::uint32_t height) {
    const std::uint64_t chroma = (std::uint64_t{width} + 1) / 2 * ((std::uint64_t{height} + 1) / 2);
    return std::uint64_t{width} * height + 2 * chroma;
}

void decodePlanarYuv(std::span<const std::uint8_t> data, RgbImage& image, RowProgress& progress) {
    const PlanarTables& tables = planarTables();
    const std::size_t width = image.width;
    const std::size_t height = image.height;
    const std::size_t chromaWidth = (width + 1) / 2;
    const std::uint8_t* uPlane = data.data() + width * height;
    const std::uint8_t* vPlane = uPlane + chromaWidth * ((height + 1) / 2);
    for (std::size_t row = 0; row < height; row += 2) {
        progress.beforeRow(static_cast<std::uint32_t>(row));
        if (row + 1 < height) {
            progress.beforeRow(static_cast<std::uint32_t>(row + 1));
        }
        const std::size_t rows = std::min<std::size_t>(2, height - row);
        const std::uint8_t* luma = data.data() + row * width;
        std::uint8_t* out = image.pixels.data() + row * width * 3;
        for (std::size_t x = 0; x < width; x += 2) {
            const int u = uPlane[row / 2 * chromaWidth + x / 2];
            const int v = vPlane[row / 2 * chromaWidth + x / 2];
            const auto uv = static_cast<std::size_t>(u << 8 | v);
            const Sample sample{tables.redByVAndLuma.data() + (v << 8),
                                tables.blueByUAndLuma.data() + (u << 8),
                                greenTerm(tables, u, v),
                                tables.greenTiesByUAndV[uv],
                                u,
                                v};
            const std::size_t columns = std::min<std::size_t>(2, width - x);
            for (std::size_t dy = 0; dy < rows; ++dy) {
                for (std::size_t dx = 0; dx < columns; ++dx) {
                    storePixel(tables, sample, luma[dy * width + x + dx],
                               out + (dy * width + x + dx) * 3);
                }
            }
        }
    }
}

}  // namespace pelmar
