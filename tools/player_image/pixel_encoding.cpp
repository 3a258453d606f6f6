#include "player_image/pixel_encoding.h"

#include <algorithm>
#include <cmath>

namespace pelmar::player_image {
namespace {

// The decoder's coefficients: red = Y + kRedV V', green = Y - kGreenU U' - kGreenV V',
// blue = Y + kBlueU U', with U' and V' centred on 128.
constexpr double kRedV = 1.4075;
constexpr double kGreenU = 0.3455;
constexpr double kGreenV = 0.7169;
constexpr double kBlueU = 1.779;

struct Yuv {
    double y;
    double u;  // centred on 0
    double v;  // centred on 0
};

// The decoding solved for Y, U' and V'.
Yuv toYuv(Rgb colour) {
    const double red = colour.red;
    const double green = colour.green;
    const double blue = colour.blue;
    const double blueShare = kGreenU / kBlueU;
    const double redShare = kGreenV / kRedV;
    const double y = (green + blueShare * blue + redShare * red) / (1.0 + blueShare + redShare);
    return {y, (blue - y) / kBlueU, (red - y) / kRedV};
}

std::uint16_t scaleToBits(std::uint8_t channel, std::uint32_t largest) {
    return static_cast<std::uint16_t>((channel * largest + 127) / 255);
}

std::uint8_t lowByteOfTruncated(double value) {
    return static_cast<std::uint8_t>(static_cast<int>(value) & 0xFF);
}

}  // namespace

std::uint8_t roundToByte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

std::uint16_t packRgb565(Rgb colour) {
    return static_cast<std::uint16_t>(scaleToBits(colour.red, 31) << 11 |
                                      scaleToBits(colour.green, 63) << 5 |
                                      scaleToBits(colour.blue, 31));
}

Rgb unpackRgb565(std::uint16_t pixel) {
    return {static_cast<std::uint8_t>((pixel >> 11 & 0x1F) * 8),
            static_cast<std::uint8_t>((pixel >> 6 & 0x1F) * 8),
            static_cast<std::uint8_t>((pixel & 0x1F) * 8)};
}

YuvPair packYuvPair(Rgb left, Rgb right) {
    const Yuv first = toYuv(left);
    const Yuv second = toYuv(right);
    return {roundToByte((first.u + second.u) / 2 + 128), roundToByte(first.y),
            roundToByte((first.v + second.v) / 2 + 128), roundToByte(second.y)};
}

Yuv601 toYuv601(Rgb colour) {
    const double red = colour.red;
    const double green = colour.green;
    const double blue = colour.blue;
    return {16.0 + (65.481 * red + 128.553 * green + 24.966 * blue) / 255.0,
            128.0 + (-37.797 * red - 74.203 * green + 112.0 * blue) / 255.0,
            128.0 + (112.0 * red - 93.786 * green - 18.214 * blue) / 255.0};
}

Rgb fromYuv601(std::uint8_t y, std::uint8_t u, std::uint8_t v) {
    const double luma = 1.164383 * (y - 16.0);
    const double blueDifference = u - 128.0;
    const double redDifference = v - 128.0;
    return {roundToByte(luma + 1.596027 * redDifference),
            roundToByte(luma - 0.391762 * blueDifference - 0.812968 * redDifference),
            roundToByte(luma + 2.017232 * blueDifference)};
}

Rgb unpackYuv(std::uint8_t y, std::uint8_t u, std::uint8_t v) {
    const double luma = y;
    const double blueDifference = u - 128.0;
    const double redDifference = v - 128.0;
    return {lowByteOfTruncated(luma + kRedV * redDifference),
            lowByteOfTruncated(luma - kGreenU * blueDifference - kGreenV * redDifference),
            lowByteOfTruncated(luma + kBlueU * blueDifference)};
}

}  // namespace pelmar::player_image
