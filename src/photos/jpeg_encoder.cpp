#include "photos/jpeg_export.h"

#include <memory>

#include <turbojpeg.h>

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

}  // namespace

bool jpegEncoderAvailable() {
    return CompressorHandle(tjInitCompress()) != nullptr;
}

std::vector<std::uint8_t> encodeJpeg(const RgbImage& image) {
    constexpr std::uint32_t kLargestSide = 65'500;  // the JPEG format's limit
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

}  // namespace pelmar
