#include "photos/thumbnail_choice.h"

#include "platform/player_path_open.h"

namespace pelmar {

namespace {

// The ranks are single bytes, so anything above 255 loses to every real format.
constexpr int kNoRank = 999;

bool thumbnailFileExists(const std::string& rootPath, const ThumbnailFormat& format) {
    return playerFileExists(rootPath, thumbnailFilePath("", format.formatId));
}

}  // namespace

ThumbnailChoice chooseThumbnails(const ImageData& image, const std::string& rootPath) {
    ThumbnailChoice choice;
    int bestListRank = kNoRank;
    for (std::size_t slot = 0; slot < kThumbnailSlots; ++slot) {
        const ThumbnailFormat* format = findThumbnailFormat(image.thumbFormat[slot]);
        if (format == nullptr || !thumbnailFileExists(rootPath, *format)) {
            continue;
        }
        const ChosenThumbnail here{format, image.thumbOffset[slot]};
        if (format->listRank < bestListRank) {
            bestListRank = format->listRank;
            choice.forList = here;
        }
        if (choice.forExport.format == nullptr ||
            makesLargerPicture(*format, *choice.forExport.format)) {
            choice.forExport = here;
        }
        if (choice.widest == nullptr || format->width > choice.widest->width) {
            choice.widest = format;
        }
    }
    return choice;
}

}  // namespace pelmar
