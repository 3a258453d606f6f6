#include "player_image/jpeg_encoding.h"

#include <turbojpeg.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace pelmar::player_image {
namespace {

constexpr int kQuality = 92;

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

struct BufferFreer {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

}  // namespace

std::vector<std::uint8_t> encodeJpeg(PhotoPicture picture, std::uint32_t width,
                                     std::uint32_t height) {
    std::vector<unsigned char> pixels;
    pixels.reserve(std::size_t{width} * height * 3);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const Rgb colour = pictureColour(picture, width, height, x, y);
            pixels.insert(pixels.end(), {colour.red, colour.green, colour.blue});
        }
    }
    const std::unique_ptr<void, HandleCloser> compressor(tjInitCompress());
    if (!compressor) {
        throw std::runtime_error("the JPEG encoder could not be initialised");
    }
    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    // The accurate DCT gives the same bytes with and without the encoder's SIMD code.
    const int failed = tjCompress2(compressor.get(), pixels.data(), static_cast<int>(width), 0,
                                   static_cast<int>(height), TJPF_RGB, &encoded, &encodedSize,
                                   TJSAMP_420, kQuality, TJFLAG_ACCURATEDCT);
    const std::unique_ptr<unsigned char, BufferFreer> owned(encoded);
    if (failed != 0) {
        throw std::runtime_error(std::string("JPEG encoding failed: ") +
                                 tjGetErrorStr2(compressor.get()));
    }
    return {encoded, encoded + encodedSize};
}

}  // namespace pelmar::player_image
