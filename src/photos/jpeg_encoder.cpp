#include "photos/jpeg_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include <turbojpeg.h>

#include "photos/planar_yuv.h"

namespace pelmar {

namespace {

struct HandleDestroyer {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using CompressorHandle = std::unique_ptr<void, HandleDestroyer>;

struct BufferFreer {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using EncodedBuffer = std::unique_ptr<unsigned char, BufferFreer>;

constexpr std::uint32_t kLargestSide = 65'500;  // the JPEG format's limit

// A JPEG file holds its luma and chroma at full range, 0-255; the player's planes hold them at
// the limited range of video, luma 16-235 and chroma 16-240 about 128.
struct FullRange {
    std::array<std::uint8_t, 256> luma;
    std::array<std::uint8_t, 256> chroma;
};

const FullRange& fullRange() {
    static const FullRange ranges = [] {
        FullRange made{};
        for (int at = 0; at < 256; ++at) {
            made.luma[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(
                std::clamp<long>(std::lround((at - 16) * 255.0 / 219.0), 0, 255));
            made.chroma[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(
                std::clamp<long>(std::lround((at - 128) * 255.0 / 224.0 + 128), 0, 255));
        }
        return made;
    }();
    return ranges;
}

}  // namespace

bool jpegEncoderAvailable() {
    return CompressorHandle(tjInitCompress()) != nullptr;
}

std::vector<std::uint8_t> encodeJpeg(const RgbImage& image) {
    if (image.width == 0 || image.height == 0 || image.width > kLargestSide ||
        image.height > kLargestSide ||
        image.pixels.size() != std::size_t{image.width} * image.height * 3) {
        return {};
    }
    const CompressorHandle handle(tjInitCompress());
    if (!handle) {
        return {};
    }
    const auto width = static_cast<int>(image.width);
    const auto height = static_cast<int>(image.height);
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    // 4:4:4: thumbnails are small and full of one-pixel colour edges (the padding around a
    // picture, fine detail at 42 × 30); halving the chroma would smear those colours, and the
    // saving on pictures this size is a few kilobytes.
    const int status = tjCompress2(handle.get(), image.pixels.data(), width, width * 3, height,
                                   TJPF_RGB, &output, &outputSize, TJSAMP_444, kJpegQuality, 0);
    const EncodedBuffer owned(output);
    if (status != 0 || output == nullptr || outputSize == 0) {
        return {};
    }
    return {output, output + outputSize};
}

std::vector<std::uint8_t> encodePlanarYuvJpeg(std::span<const std::uint8_t> planes,
                                              std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide ||
        planes.size() < planarYuvSize(width, height)) {
        return {};
    }
    const FullRange& ranges = fullRange();
    const std::size_t lumaBytes = std::size_t{width} * height;
    std::vector<std::uint8_t> stretched(planarYuvSize(width, height));
    std::transform(planes.begin(), planes.begin() + static_cast<std::ptrdiff_t>(lumaBytes),
                   stretched.begin(), [&](std::uint8_t y) { return ranges.luma[y]; });
    std::transform(planes.begin() + static_cast<std::ptrdiff_t>(lumaBytes),
                   planes.begin() + static_cast<std::ptrdiff_t>(stretched.size()),
                   stretched.begin() + static_cast<std::ptrdiff_t>(lumaBytes),
                   [&](std::uint8_t c) { return ranges.chroma[c]; });
    const CompressorHandle handle(tjInitCompress());
    if (!handle) {
        return {};
    }
    const std::size_t chromaBytes = (stretched.size() - lumaBytes) / 2;
    std::array<const unsigned char*, 3> sources{stretched.data(), stretched.data() + lumaBytes,
                                                stretched.data() + lumaBytes + chromaBytes};
    const int chromaWidth = static_cast<int>((width + 1) / 2);
    const std::array<int, 3> strides{static_cast<int>(width), chromaWidth, chromaWidth};
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    const int status =
        tjCompressFromYUVPlanes(handle.get(), const_cast<const unsigned char**>(sources.data()),
                                static_cast<int>(width), strides.data(), static_cast<int>(height),
                                TJSAMP_420, &output, &outputSize, kJpegQuality, 0);
    const EncodedBuffer owned(output);
    if (status != 0 || output == nullptr || outputSize == 0) {
        return {};
    }
    return {output, output + outputSize};
}

}  // namespace pelmar
