#include "player_image/photo_records.h"

#include <string>

#include "player_image/full_resolution.h"
#include "player_image/photo_pictures.h"
#include "player_image/random.h"
#include "player_image/thumbnail_formats.h"
#include "player_image/utf8_text.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kImageHeaderLength = 152;
constexpr std::uint32_t kThumbnailHeaderLength = 76;
constexpr std::uint32_t kChildHeaderLength = 24;
constexpr std::uint32_t kAlbumHeaderLength = 148;
constexpr std::uint32_t kAlbumItemHeaderLength = 40;
constexpr std::uint32_t kFileHeaderLength = 124;
constexpr std::size_t kStringHeaderLength = 12;
constexpr std::uint32_t kAlbumIdBase = 100;

// The +12 type of "mhod" records in the photo database.
constexpr std::uint32_t kAlbumNameType = 1;
constexpr std::uint32_t kThumbnailType = 2;
constexpr std::uint32_t kFileNameType = 3;
constexpr std::uint32_t kOriginalType = 5;
constexpr std::uint32_t kOriginalFormat = 1;

// The encoding byte of a photo database string.
constexpr std::uint8_t kUtf8 = 1;
constexpr std::uint8_t kUtf16 = 2;

constexpr std::uint8_t kMasterAlbum = 1;
constexpr std::uint8_t kOrdinaryAlbum = 2;

// A string object's body: byte length, encoding byte, three padding bytes and a zero word, then
// the text and zero bytes up to a multiple of four, and `extraPadding` more.
void writeString(ByteSink& sink, ChildWriter& children, std::uint32_t type,
                 const std::vector<std::uint8_t>& text, std::uint8_t encoding,
                 std::uint32_t extraPadding) {
    std::vector<std::uint8_t> body(kStringHeaderLength, 0);
    for (std::size_t i = 0; i < 4; ++i) {
        body[i] = static_cast<std::uint8_t>(text.size() >> (8 * i));
    }
    body[4] = encoding;
    body.insert(body.end(), text.begin(), text.end());
    body.resize((body.size() + 3) / 4 * 4 + extraPadding, 0);
    children.writeBody(sink, type, body);
}

void writeThumbnailReference(ByteSink& sink, const Photo& photo, const ThumbnailRef& ref,
                             ChildWriter& children) {
    SlotReference reference{
        kThumbnailType, ref.formatId, ref.offset,
        ref.size,       {},           ":Thumbs:" + thumbnailFileName(ref.formatId)};
    if (const ThumbnailFormat* format = thumbnailFormat(ref.formatId)) {
        reference.frame = pictureFrame(photo.picture, format->width, format->height);
    }
    writeSlotReference(sink, children, reference);
}

void writeOriginalReference(ByteSink& sink, const Photo& photo, std::uint32_t size,
                            ChildWriter& children) {
    writeSlotReference(
        sink, children,
        {kOriginalType, kOriginalFormat, 0, size,
         pictureFrame(photo.picture, kOriginalWidth, kOriginalHeight), photo.original});
}

void writeImage(ByteSink& sink, const Photo& photo, Originals& originals, ChildWriter& children) {
    const bool hasOriginal = !photo.original.empty();
    RecordHeader header("mhii", kImageHeaderLength);
    header.set32(12, static_cast<std::uint32_t>(photo.thumbnails.size() + (hasOriginal ? 1 : 0)));
    header.set32(16, photo.id);
    header.set32(32, photo.rating);
    header.set32(40, photo.modifiedTime);
    header.set32(44, photo.createdTime);
    // Fields the program does not read, filled as players fill them, so that a reader looking
    // at the wrong offset finds something other than zero: the desktop application's own id
    // and the size of the original picture.
    Random original(photo.id);
    header.set64(20, original.next());
    header.set32(48, original.between(400'000, 4'000'000));
    const std::uint64_t start = openRecord(sink, header);
    if (hasOriginal) {
        writeOriginalReference(sink, photo, originals.size(photo), children);
    }
    for (const ThumbnailRef& ref : photo.thumbnails) {
        writeThumbnailReference(sink, photo, ref, children);
    }
    closeRecord(sink, start);
}

void writeAlbum(ByteSink& sink, const PhotoAlbum& album, std::size_t position,
                ChildWriter& children) {
    RecordHeader header("mhba", kAlbumHeaderLength);
    header.set32(12, album.hasNameObject ? 1 : 0);
    header.set32(16, static_cast<std::uint32_t>(album.photoIds.size()));
    header.set32(20, kAlbumIdBase + static_cast<std::uint32_t>(position));
    header.set8(30, position == 0 ? kMasterAlbum : kOrdinaryAlbum);
    const std::uint64_t start = openRecord(sink, header);
    if (album.hasNameObject) {
        writeString(sink, children, kAlbumNameType, {album.name.begin(), album.name.end()}, kUtf8,
                    album.extraNamePadding);
    }
    for (const std::uint32_t id : album.photoIds) {
        RecordHeader item("mhia", kAlbumItemHeaderLength);
        item.set32(16, id);
        closeRecord(sink, openRecord(sink, item));
    }
    closeRecord(sink, start);
}

}  // namespace

void writeSlotReference(ByteSink& sink, ChildWriter& children, const SlotReference& reference) {
    RecordHeader container("mhod", kChildHeaderLength);
    container.set32(12, reference.containerType);
    const std::uint64_t containerStart = openRecord(sink, container);

    RecordHeader header("mhni", kThumbnailHeaderLength);
    header.set32(12, 1);
    header.set32(16, reference.formatId);
    header.set32(20, reference.offset);
    header.set32(24, reference.size);
    header.set16(28, static_cast<std::uint16_t>(reference.frame.top));
    header.set16(30, static_cast<std::uint16_t>(reference.frame.left));
    header.set16(32, static_cast<std::uint16_t>(reference.frame.height));
    header.set16(34, static_cast<std::uint16_t>(reference.frame.width));
    const std::uint64_t start = openRecord(sink, header);
    std::vector<std::uint8_t> fileName;
    appendUtf16le(reference.fileName, fileName);
    writeString(sink, children, kFileNameType, fileName, kUtf16, 0);
    closeRecord(sink, start);

    closeRecord(sink, containerStart);
}

void writeImageList(ByteSink& sink, const std::vector<Photo>& photos, ChildWriter& children) {
    writeListHeader(sink, "mhli", photos.size());
    Originals originals;
    for (const Photo& photo : photos) {
        writeImage(sink, photo, originals, children);
    }
}

void writePhotoAlbumList(ByteSink& sink, const std::vector<PhotoAlbum>& albums,
                         ChildWriter& children) {
    writeListHeader(sink, "mhla", albums.size());
    for (std::size_t i = 0; i < albums.size(); ++i) {
        writeAlbum(sink, albums[i], i, children);
    }
}

void writeThumbnailFormatList(ByteSink& sink, const std::vector<FormatListing>& formats) {
    writeListHeader(sink, "mhlf", formats.size());
    for (const FormatListing& format : formats) {
        RecordHeader header("mhif", kFileHeaderLength);
        header.set32(16, format.formatId);
        header.set32(20, format.slotSize);
        closeRecord(sink, openRecord(sink, header));
    }
}

}  // namespace pelmar::player_image
