#include <algorithm>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "player_image/photos.h"

namespace pelmar::player_image {
namespace {

constexpr std::string_view kMasterAlbumName = "Photo Library";

constexpr std::string_view kOccasions[] = {
    "Garden",    "Birthday Party", "Beach",   "Snow Day", "Wedding",        "Graduation",
    "Road Trip", "Kittens",        "Concert", "Hiking",   "Christmas",      "Lisbon",
    "Camping",   "First Steps",    "Zoo",     "Harvest",  "New Year's Eve", "Grandma's 80th",
};

// Ids of the photos at the given database positions; positions beyond a small image are left
// out.
std::vector<std::uint32_t> idsAt(const std::vector<Photo>& photos,
                                 std::initializer_list<std::size_t> positions) {
    std::vector<std::uint32_t> ids;
    for (const std::size_t position : positions) {
        if (position < photos.size()) {
            ids.push_back(photos[position].id);
        }
    }
    return ids;
}

void addAwkwardAlbums(std::vector<PhotoAlbum>& albums, const std::vector<Photo>& photos) {
    // Album order is not database order; the photo at position 2 is in two albums.
    albums.push_back({"Holidays 2011", idsAt(photos, {2, 0, 1}), true, 0});
    albums.push_back({"Family", idsAt(photos, {4, 2, 3}), true, 0});
    albums.push_back({"Family", idsAt(photos, {5, 6}), true, 0});
    albums.push_back({"夏の思い出", idsAt(photos, {7, 8}), true, 0});
    albums.push_back({"Отпуск на море", idsAt(photos, {9}), true, 0});
    // Sorts before names that start with a letter or digit; twelve bytes, so no padding.
    albums.push_back({"(Favourites)", idsAt(photos, {10, 0}), true, 0});
    albums.push_back({"", idsAt(photos, {11, 3}), false, 0});
    albums.push_back({"Empty", {}, true, 0});
    // Zero bytes well beyond the alignment: the name ends at the first of them.
    albums.push_back({"Sunsets", idsAt(photos, {1, 6}), true, 8});
}

std::string occasionName(Random& random) {
    const std::string_view occasion = random.pick(std::span<const std::string_view>(kOccasions));
    return std::string(occasion) + " " + std::to_string(random.between(2004, 2012));
}

}  // namespace

std::vector<PhotoAlbum> makePhotoAlbums(const std::vector<Photo>& photos, Random& random) {
    std::vector<PhotoAlbum> albums;
    PhotoAlbum master{std::string(kMasterAlbumName), {}, true, 0};
    master.photoIds.reserve(photos.size());
    for (const Photo& photo : photos) {
        master.photoIds.push_back(photo.id);
    }
    albums.push_back(std::move(master));
    addAwkwardAlbums(albums, photos);

    // The remaining photos in runs, as taken at one occasion.
    std::size_t start = kAwkwardPhotoCount;
    while (start < photos.size()) {
        const std::size_t end = std::min(photos.size(), start + random.between(4, 24));
        PhotoAlbum album{occasionName(random), {}, true, 0};
        for (std::size_t position = start; position < end; ++position) {
            album.photoIds.push_back(photos[position].id);
        }
        albums.push_back(std::move(album));
        start = end;
    }
    return albums;
}

}  // namespace pelmar::player_image
