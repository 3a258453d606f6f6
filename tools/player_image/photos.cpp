#include "player_image/photos.h"

#include <array>
#include <map>

#include "player_image/full_resolution.h"
#include "player_image/player_clock.h"
#include "player_image/thumbnail_formats.h"

namespace pelmar::player_image {
namespace {

// Later players' photos show every picture, including those that reveal orientation.
constexpr std::array kLaterPictures{
    PhotoPicture::TopAndBottom,       PhotoPicture::SolidRed,
    PhotoPicture::Portrait,           PhotoPicture::SolidGreen,
    PhotoPicture::Panorama,           PhotoPicture::SolidBlue,
    PhotoPicture::SolidWhite,         PhotoPicture::MidGrey,
    PhotoPicture::VerticalGradient,   PhotoPicture::SolidBlack,
    PhotoPicture::HorizontalGradient,
};
// Every so many photos one has no original, as when its original was deleted.
constexpr std::size_t kOriginalGap = 7;

constexpr std::array kPictures{
    PhotoPicture::SolidRed,         PhotoPicture::SolidGreen,         PhotoPicture::SolidBlue,
    PhotoPicture::SolidWhite,       PhotoPicture::SolidBlack,         PhotoPicture::MidGrey,
    PhotoPicture::VerticalGradient, PhotoPicture::HorizontalGradient, PhotoPicture::Panorama,
};

// Format ids in the order the database lists them; 0 ends a shorter list.
using FormatList = std::array<std::uint32_t, 5>;

// The thumbnail sets of device families, taken in turn. Only the first carries the television
// format, which costs 691,200 bytes a photo.
constexpr std::array<FormatList, 6> kFamilyFormats{{
    {kTelevisionFormat, 1020, 1015, 1009},
    {1023, 1032},
    {1024, 1036, 1015},
    {1013, 1009},
    {1024, 1036},
    {1023, 1032, 1015},
}};

constexpr std::size_t kUnknownFormatPhoto = 1;
constexpr FormatList kWithUnknownFormat{1023, kUnknownFormat, 1032};
// A reader that kept the fifth thumbnail would prefer it, the largest, for export.
constexpr std::size_t kFiveThumbnailPhoto = 3;
constexpr FormatList kFiveThumbnails{1013, 1009, 1015, 1036, kTelevisionFormat};

constexpr std::size_t kUndatedPhoto = 2;
constexpr std::size_t kNoCreationTimePhoto = 5;
constexpr std::size_t kPhotoAfter2038 = 9;

const FormatList& formatsOf(std::size_t position) {
    if (position == kUnknownFormatPhoto) {
        return kWithUnknownFormat;
    }
    if (position == kFiveThumbnailPhoto) {
        return kFiveThumbnails;
    }
    return kFamilyFormats[position % kFamilyFormats.size()];
}

// Places thumbnails back to back in each format's file, in photo order.
class ThumbnailPlacer {
  public:
    ThumbnailRef place(std::uint32_t formatId) {
        const std::uint32_t size = formatOf(formatId).byteSize();
        std::uint32_t& next = nextOffset_[formatId];
        const ThumbnailRef ref{formatId, next, size};
        next += size;
        return ref;
    }

  private:
    std::map<std::uint32_t, std::uint32_t> nextOffset_;
};

void date(Photo& photo, std::size_t position, Random& random) {
    photo.createdTime = random.between(player_clock::kLibraryStarted, player_clock::kLastAdded);
    photo.modifiedTime = random.percent(60)
                             ? photo.createdTime
                             : random.between(photo.createdTime, player_clock::kLastSync);
    if (position == kUndatedPhoto) {
        photo.createdTime = 0;
        photo.modifiedTime = 0;
    } else if (position == kNoCreationTimePhoto) {
        photo.createdTime = 0;
    } else if (position == kPhotoAfter2038) {
        photo.createdTime = player_clock::kAfter2038;
        photo.modifiedTime = player_clock::kAfter2038 + 3600;
    }
}

}  // namespace

std::vector<Photo> makeModelPhotos(std::uint32_t count, std::span<const std::uint32_t> formats,
                                   bool withOriginals, Random& random) {
    std::vector<Photo> photos(count);
    std::uint32_t nextId = random.between(100, 400);
    for (std::size_t position = 0; position < photos.size(); ++position) {
        Photo& photo = photos[position];
        photo.id = nextId;
        nextId += random.between(1, 2);
        date(photo, position, random);
        photo.picture = kLaterPictures[position % kLaterPictures.size()];
        photo.rating = static_cast<std::uint8_t>(20 * random.below(6));
        for (const std::uint32_t formatId : formats) {
            const std::uint32_t size = formatOf(formatId).byteSize();
            photo.thumbnails.push_back(
                {formatId, static_cast<std::uint32_t>(position) * size, size});
        }
        if (withOriginals && position % kOriginalGap != kOriginalGap - 1) {
            photo.original = originalPathFor(photo, position);
        }
    }
    return photos;
}

std::vector<Photo> makePhotos(std::uint32_t count, Random& random) {
    std::vector<Photo> photos(count);
    ThumbnailPlacer placer;
    std::uint32_t nextId = random.between(100, 400);
    for (std::size_t position = 0; position < photos.size(); ++position) {
        Photo& photo = photos[position];
        // Ids leave gaps where photos were deleted from the player.
        photo.id = nextId;
        nextId += random.between(1, 2);
        date(photo, position, random);
        photo.picture = kPictures[position % kPictures.size()];
        for (const std::uint32_t formatId : formatsOf(position)) {
            if (formatId != 0) {
                photo.thumbnails.push_back(placer.place(formatId));
            }
        }
    }
    return photos;
}

}  // namespace pelmar::player_image
