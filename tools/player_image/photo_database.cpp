#include "player_image/photo_database.h"

#include <algorithm>

#include "player_image/photo_records.h"
#include "player_image/record_writer.h"
#include "player_image/thumbnail_formats.h"
#include "player_image/thumbnails.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kRootHeaderLength = 0x84;
constexpr std::uint32_t kDatasetHeaderLength = 96;
constexpr std::uint32_t kDatasetCount = 3;

enum DatasetType : std::uint32_t { kImages = 1, kAlbums = 2, kThumbnailFiles = 3 };

void writeDataset(ByteSink& sink, const PlayerImage& image, DatasetType type,
                  ChildWriter& children) {
    RecordHeader header("mhsd", kDatasetHeaderLength);
    header.set32(12, type);
    const std::uint64_t start = openRecord(sink, header);
    switch (type) {
        case kImages:
            writeImageList(sink, image.photos, children);
            break;
        case kAlbums:
            writePhotoAlbumList(sink, image.photoAlbums, children);
            break;
        case kThumbnailFiles: {
            std::vector<FormatListing> formats;
            for (const std::uint32_t formatId : formatsInUse(image)) {
                formats.push_back({formatId, formatOf(formatId).byteSize()});
            }
            writeThumbnailFormatList(sink, formats);
            break;
        }
    }
    closeRecord(sink, start);
}

// The id the player would give the next photo.
std::uint32_t nextPhotoId(const PlayerImage& image) {
    std::uint32_t next = 100;
    for (const Photo& photo : image.photos) {
        next = std::max(next, photo.id + 1);
    }
    return next;
}

}  // namespace

void writePhotoDatabase(ByteSink& sink, const PlayerImage& image) {
    RecordHeader header("mhfd", kRootHeaderLength);
    header.set32(16, 1);
    header.set32(20, kDatasetCount);
    header.set32(28, nextPhotoId(image));
    const std::uint64_t start = openRecord(sink, header);

    ChildWriter children;
    writeDataset(sink, image, kImages, children);
    writeDataset(sink, image, kAlbums, children);
    writeDataset(sink, image, kThumbnailFiles, children);
    closeRecord(sink, start);
}

std::vector<std::uint8_t> photoDatabaseBytes(const PlayerImage& image) {
    MemorySink sink;
    writePhotoDatabase(sink, image);
    return sink.take();
}

}  // namespace pelmar::player_image
