#include "cli/photo_listing.h"

#include <algorithm>
#include <string>

#include "cli/json_writer.h"
#include "cli/named_lists.h"
#include "cli/text_table.h"
#include "library/player_library.h"
#include "library/track_data.h"
#include "util/time_format.h"

namespace pelmar::cli {

namespace {

std::int64_t photoTime(std::uint32_t playerTime) {
    return signedPlayerTime(playerTime - kPlayerEpochOffset);
}

void timeJson(JsonWriter& json, std::string_view key, std::uint32_t playerTime) {
    json.key(key);
    if (const std::int64_t time = photoTime(playerTime); time < 0) {
        json.null();
    } else {
        json.number(time);
    }
}

std::string thumbnailsText(const ImageData& image) {
    std::string text;
    for (std::size_t slot = 0; slot < kThumbnailSlots && image.thumbFormat[slot] != 0; ++slot) {
        if (!text.empty()) {
            text += ", ";
        }
        text += std::to_string(image.thumbFormat[slot]) + " at " +
                std::to_string(image.thumbOffset[slot]);
    }
    return text;
}

std::vector<NamedList> collectAlbums(PlayerLibrary& library) {
    std::vector<NamedList> albums;
    KernelId album;
    for (int more = library.firstSortedPhotoAlbum(album); more != 0;
         more = library.nextSortedPhotoAlbum(album)) {
        NamedList entry;
        entry.id = album.id;
        entry.name = library.codec().toUtf8(library.photoAlbumName(album));
        KernelId item;
        for (int found = library.firstPhotoAlbumItem(album, item); found != 0;
             found = library.nextPhotoAlbumItem(album, item)) {
            entry.items.push_back(item.id);
        }
        albums.push_back(std::move(entry));
    }
    return albums;
}

}  // namespace

void printPhotos(OutputBuffer& out, const PlayerLibrary& library, Format format) {
    std::vector<const ImageData*> images;
    images.reserve(library.images.size());
    for (const auto& [id, image] : library.images) {
        images.push_back(&image);
    }
    std::sort(images.begin(), images.end(),
              [](const ImageData* a, const ImageData* b) { return a->id < b->id; });

    if (format == Format::Json) {
        JsonWriter json(out);
        json.beginArray();
        for (const ImageData* image : images) {
            json.beginObject();
            json.key("id");
            json.number(image->id);
            timeJson(json, "created", image->createdTime);
            timeJson(json, "modified", image->modifiedTime);
            json.key("thumbnails");
            json.beginArray();
            for (std::size_t slot = 0; slot < kThumbnailSlots; ++slot) {
                if (image->thumbFormat[slot] == 0) {
                    continue;
                }
                json.beginObject();
                json.key("format");
                json.number(image->thumbFormat[slot]);
                json.key("offset");
                json.number(image->thumbOffset[slot]);
                json.key("size");
                json.number(image->thumbSize[slot]);
                json.endObject();
            }
            json.endArray();
            json.key("original");
            if (image->originalPath.empty()) {
                json.null();
            } else {
                json.string(image->originalPath);
            }
            json.endObject();
        }
        json.endArray();
        return;
    }
    constexpr const char* kDatePattern = "%m/%d/%Y %I:%M %p";
    printTable(out,
               {{"ID", true, 10},
                {"Created", false, 19},
                {"Modified", false, 19},
                {"Thumbnails", false, 80}},
               images.size(), [&](std::size_t row, std::vector<std::string>& cells) {
                   const ImageData& image = *images[row];
                   cells[0] = std::to_string(image.id);
                   cells[1] = formatTimeUtc(photoTime(image.createdTime), kDatePattern);
                   cells[2] = formatTimeUtc(photoTime(image.modifiedTime), kDatePattern);
                   cells[3] = thumbnailsText(image);
               });
}

void printPhotoAlbums(OutputBuffer& out, PlayerLibrary& library, Format format) {
    printNamedLists(out, collectAlbums(library), "photos", "Photos", format);
}

}  // namespace pelmar::cli
