#include "photos/artwork_pictures.h"

#include <algorithm>
#include <new>

#include "photos/jpeg_export.h"
#include "photos/thumbnail_decoder.h"

namespace pelmar {

namespace {

// The part of `image` that the frame covers; `image` itself when the frame is empty or does not
// fit inside it.
RgbImage cropToFrame(RgbImage image, std::uint32_t left, std::uint32_t top, std::uint32_t width,
                     std::uint32_t height) {
    if (width == 0 || height == 0 || left > image.width || width > image.width - left ||
        top > image.height || height > image.height - top ||
        (width == image.width && height == image.height)) {
        return image;
    }
    RgbImage cropped{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 3)};
    for (std::uint32_t row = 0; row < height; ++row) {
        const auto from =
            image.pixels.begin() +
            static_cast<std::ptrdiff_t>(((std::size_t{top} + row) * image.width + left) * 3);
        std::copy(
            from, from + static_cast<std::ptrdiff_t>(std::size_t{width} * 3),
            cropped.pixels.begin() + static_cast<std::ptrdiff_t>(std::size_t{row} * width * 3));
    }
    return cropped;
}

}  // namespace

std::optional<RgbImage> readArtworkPicture(const std::string& rootPath,
                                           const ArtworkCatalog& catalog,
                                           const ArtworkPicture& picture) {
    std::optional<RgbImage> image = readPicture(
        rootPath,
        {picture.format, catalog.filePath(picture.file), picture.offset, picture.statedSize});
    if (!image) {
        return std::nullopt;
    }
    try {
        return cropToFrame(std::move(*image), picture.left, picture.top, picture.width,
                           picture.height);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::vector<std::uint8_t> artworkPictureJpeg(const std::string& rootPath,
                                             const ArtworkCatalog& catalog,
                                             const ArtworkPicture& picture) {
    try {
        // A stored JPEG is kept as the player holds it, as photos of that format are.
        if (picture.format->layout == PixelLayout::Jpeg) {
            return pictureJpeg(rootPath, {picture.format, catalog.filePath(picture.file),
                                          picture.offset, picture.statedSize});
        }
        const std::optional<RgbImage> image = readArtworkPicture(rootPath, catalog, picture);
        return image ? encodeJpeg(*image) : std::vector<std::uint8_t>{};
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace pelmar
