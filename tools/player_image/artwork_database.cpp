#include "player_image/artwork_database.h"

#include <algorithm>

#include "player_image/artwork.h"
#include "player_image/photo_pictures.h"
#include "player_image/photo_records.h"
#include "player_image/picture_drawing.h"
#include "player_image/random.h"
#include "player_image/record_writer.h"
#include "player_image/thumbnail_formats.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kRootHeaderLength = 0x84;
constexpr std::uint32_t kDatasetHeaderLength = 96;
constexpr std::uint32_t kImageHeaderLength = 152;
constexpr std::uint32_t kDatasetCount = 3;
constexpr std::uint32_t kStoredSizeType = 2;
// What an unknown format's slot holds: not a picture any reader should show.
constexpr std::uint8_t kUnknownFormatFill = 0x5A;

enum DatasetType : std::uint32_t { kImages = 1, kAlbums = 2, kFiles = 3 };

void writeImage(ByteSink& sink, const ArtworkImage& art, ChildWriter& children) {
    RecordHeader header("mhii", kImageHeaderLength);
    header.set32(12, static_cast<std::uint32_t>(art.thumbnails.size()));
    header.set32(16, art.id);
    header.set64(20, art.trackDatabaseId);
    // The size of the picture the desktop application was given, which readers do not need.
    header.set32(48, Random(art.id).between(20'000, 400'000));
    const std::uint64_t start = openRecord(sink, header);
    for (const ArtworkSlot& slot : art.thumbnails) {
        SlotReference reference{kStoredSizeType,
                                slot.formatId,
                                slot.offset,
                                slot.size,
                                {},
                                ":" + artworkFileName(slot.formatId, slot.fileNumber)};
        if (const ThumbnailFormat* format = thumbnailFormat(slot.formatId)) {
            reference.frame = pictureFrame(art.picture, format->width, format->height);
        }
        writeSlotReference(sink, children, reference);
    }
    closeRecord(sink, start);
}

std::vector<FormatListing> listedFormats(const PlayerImage& image) {
    std::vector<FormatListing> formats;
    for (const auto& file : artworkFilesInUse(image)) {
        const std::uint32_t formatId = file.first;
        const bool listed = std::any_of(formats.begin(), formats.end(), [&](const auto& format) {
            return format.formatId == formatId;
        });
        if (!listed) {
            const ThumbnailFormat* format = thumbnailFormat(formatId);
            formats.push_back(
                {formatId, format != nullptr ? format->byteSize() : kUnknownArtworkSlotSize});
        }
    }
    return formats;
}

void writeDataset(ByteSink& sink, const PlayerImage& image, DatasetType type,
                  ChildWriter& children) {
    RecordHeader header("mhsd", kDatasetHeaderLength);
    header.set32(12, type);
    const std::uint64_t start = openRecord(sink, header);
    switch (type) {
        case kImages:
            writeListHeader(sink, "mhli", image.artwork.size());
            for (const ArtworkImage& art : image.artwork) {
                writeImage(sink, art, children);
            }
            break;
        case kAlbums:
            writeListHeader(sink, "mhla", 0);
            break;
        case kFiles:
            writeThumbnailFormatList(sink, listedFormats(image));
            break;
    }
    closeRecord(sink, start);
}

// Whether the damage leaves this slot out of its file.
bool cutOff(const PlayerImage& image, const ArtworkSlot& slot, std::size_t imageIndex) {
    const PlayerModel& model = playerModel(image.model);
    return image.artworkDamage == ArtworkDamage::SlotPastEnd &&
           imageIndex + 1 == image.artwork.size() && !model.artworkFormats.empty() &&
           slot.formatId == model.artworkFormats.front();
}

}  // namespace

void writeArtworkDatabase(ByteSink& sink, const PlayerImage& image) {
    RecordHeader header("mhfd", kRootHeaderLength);
    header.set32(16, 2);
    header.set32(20, kDatasetCount);
    std::uint32_t nextId = 100;
    for (const ArtworkImage& art : image.artwork) {
        nextId = std::max(nextId, art.id + 1);
    }
    header.set32(28, nextId);
    const std::uint64_t start = openRecord(sink, header);
    ChildWriter children;
    writeDataset(sink, image, kImages, children);
    writeDataset(sink, image, kAlbums, children);
    writeDataset(sink, image, kFiles, children);
    closeRecord(sink, start);
}

void writeArtworkFile(ByteSink& sink, const PlayerImage& image, std::uint32_t formatId,
                      std::uint32_t fileNumber) {
    const ThumbnailFormat* format = thumbnailFormat(formatId);
    SlotCache slots;
    const std::vector<std::uint8_t> unknown(kUnknownArtworkSlotSize, kUnknownFormatFill);
    for (std::size_t index = 0; index < image.artwork.size(); ++index) {
        const ArtworkImage& art = image.artwork[index];
        for (const ArtworkSlot& slot : art.thumbnails) {
            if (slot.formatId != formatId || slot.fileNumber != fileNumber ||
                cutOff(image, slot, index)) {
                continue;
            }
            sink.append(format != nullptr ? slots.slot(art.picture, *format) : unknown);
        }
    }
}

std::vector<std::uint8_t> artworkDatabaseBytes(const PlayerImage& image) {
    MemorySink sink;
    writeArtworkDatabase(sink, image);
    return sink.take();
}

std::vector<std::uint8_t> artworkFileBytes(const PlayerImage& image, std::uint32_t formatId,
                                           std::uint32_t fileNumber) {
    MemorySink sink;
    writeArtworkFile(sink, image, formatId, fileNumber);
    return sink.take();
}

}  // namespace pelmar::player_image
