#include "player_image/photo_pictures.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace pelmar::player_image {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kPanoramaColour{255, 255, 0};
// The panorama is this many times as wide as high: wider than every thumbnail format.
constexpr std::uint32_t kPanoramaAspect = 3;
constexpr Rgb kTopColour{255, 128, 0};
constexpr Rgb kBottomColour{0, 64, 255};
constexpr Rgb kPortraitColour{0, 255, 255};

// 0 at the first position, 255 at the last.
std::uint8_t ramp(std::uint32_t position, std::uint32_t count) {
    if (count < 2) {
        return 0;
    }
    return static_cast<std::uint8_t>((position * 255 + (count - 1) / 2) / (count - 1));
}

bool inside(const PictureFrame& frame, std::uint32_t x, std::uint32_t y) {
    return x >= frame.left && x - frame.left < frame.width && y >= frame.top &&
           y - frame.top < frame.height;
}

}  // namespace

PictureFrame pictureFrame(PhotoPicture picture, std::uint32_t width, std::uint32_t height) {
    if (picture == PhotoPicture::Panorama) {
        // Full width, the height rounded, centred between black rows.
        const std::uint32_t pictureHeight =
            std::min(height, (2 * width + kPanoramaAspect) / (2 * kPanoramaAspect));
        return {0, (height - pictureHeight) / 2, width, pictureHeight};
    }
    if (picture == PhotoPicture::Portrait) {
        // Full height, two thirds of it as width, centred between black columns.
        const std::uint32_t pictureWidth = std::min(width, (4 * height + 3) / 6);
        return {(width - pictureWidth) / 2, 0, pictureWidth, height};
    }
    return {0, 0, width, height};
}

Rgb intendedColour(const Photo& photo, std::uint32_t width, std::uint32_t height, std::uint32_t x,
                   std::uint32_t y) {
    return pictureColour(photo.picture, width, height, x, y);
}

Rgb pictureColour(PhotoPicture picture, std::uint32_t width, std::uint32_t height, std::uint32_t x,
                  std::uint32_t y) {
    if (x >= width || y >= height) {
        throw std::invalid_argument("(" + std::to_string(x) + ", " + std::to_string(y) +
                                    ") lies outside " + std::to_string(width) + " x " +
                                    std::to_string(height));
    }
    switch (picture) {
        case PhotoPicture::SolidRed:
            return {255, 0, 0};
        case PhotoPicture::SolidGreen:
            return {0, 255, 0};
        case PhotoPicture::SolidBlue:
            return {0, 0, 255};
        case PhotoPicture::SolidWhite:
            return {255, 255, 255};
        case PhotoPicture::SolidBlack:
            return kBlack;
        case PhotoPicture::MidGrey:
            return {128, 128, 128};
        case PhotoPicture::VerticalGradient: {
            const std::uint8_t level = ramp(y, height);
            return {level, level, level};
        }
        case PhotoPicture::HorizontalGradient: {
            const std::uint8_t red = ramp(x, width);
            return {red, static_cast<std::uint8_t>(255 - red), 128};
        }
        case PhotoPicture::Panorama:
            return inside(pictureFrame(picture, width, height), x, y) ? kPanoramaColour : kBlack;
        case PhotoPicture::TopAndBottom:
            return y < height / 2 ? kTopColour : kBottomColour;
        case PhotoPicture::Portrait:
            return inside(pictureFrame(picture, width, height), x, y) ? kPortraitColour : kBlack;
    }
    return kBlack;
}

}  // namespace pelmar::player_image
