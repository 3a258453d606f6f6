#include "player_image/full_resolution.h"

#include <chrono>
#include <cstdio>
#include <string_view>

#include "player_image/jpeg_encoding.h"
#include "player_image/player_clock.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kComment = 0xFE;
constexpr std::uint8_t kJfif = 0xE0;
// Start of image, then the JFIF segment's marker and length.
constexpr std::size_t kJfifLengthAt = 4;

std::string_view fileNameOf(const std::string& original) {
    return std::string_view(original).substr(original.find_last_of(':') + 1);
}

// Where the comment goes: after the JFIF segment, which must follow the start of the image.
std::size_t commentPlace(const std::vector<std::uint8_t>& jpeg) {
    if (jpeg.size() > kJfifLengthAt + 2 && jpeg[2] == kMarker && jpeg[3] == kJfif) {
        return 2 + 2 + (std::size_t{jpeg[kJfifLengthAt]} << 8 | jpeg[kJfifLengthAt + 1]);
    }
    return 2;
}

}  // namespace

std::string originalPathFor(const Photo& photo, std::size_t position) {
    std::uint32_t taken = photo.createdTime != 0 ? photo.createdTime : photo.modifiedTime;
    if (taken == 0) {
        taken = player_clock::kLastSync;
    }
    const std::chrono::sys_days day{std::chrono::floor<std::chrono::days>(
        std::chrono::sys_seconds{std::chrono::seconds{taken - player_clock::kUnixEpoch}})};
    const std::chrono::year_month_day date{day};
    const std::size_t number = position + 1;
    char path[96];
    std::snprintf(path, sizeof path,
                  number <= 9999 ? ":Full Resolution:%04d:%02u:%02u:IMG_%04zu.JPG"
                                 : ":Full Resolution:%04d:%02u:%02u:DSC%05zu.JPG",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), number);
    return path;
}

std::vector<std::uint8_t> Originals::bytes(const Photo& photo) {
    if (photo.original.empty()) {
        return {};
    }
    std::vector<std::uint8_t> jpeg = picture(photo.picture);
    const std::string_view text = fileNameOf(photo.original);
    const std::size_t length = text.size() + 2;
    std::vector<std::uint8_t> comment{kMarker, kComment, static_cast<std::uint8_t>(length >> 8),
                                      static_cast<std::uint8_t>(length)};
    comment.insert(comment.end(), text.begin(), text.end());
    const auto place = jpeg.begin() + static_cast<std::ptrdiff_t>(commentPlace(jpeg));
    jpeg.insert(place, comment.begin(), comment.end());
    return jpeg;
}

std::uint32_t Originals::size(const Photo& photo) {
    if (photo.original.empty()) {
        return 0;
    }
    return static_cast<std::uint32_t>(picture(photo.picture).size() + 4 +
                                      fileNameOf(photo.original).size());
}

const std::vector<std::uint8_t>& Originals::picture(PhotoPicture picture) {
    auto found = pictures_.find(picture);
    if (found == pictures_.end()) {
        found =
            pictures_.emplace(picture, encodeJpeg(picture, kOriginalWidth, kOriginalHeight)).first;
    }
    return found->second;
}

std::vector<std::uint8_t> originalPhotoBytes(const Photo& photo) {
    Originals originals;
    return originals.bytes(photo);
}

}  // namespace pelmar::player_image
