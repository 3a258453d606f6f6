#pragma once

#include <span>
#include <vector>

#include "player_image/player_image.h"
#include "player_image/random.h"

namespace pelmar::player_image {

// The first photos of every image, each with its awkward trait, so that albums can refer to them.
inline constexpr std::size_t kAwkwardPhotoCount = 12;

// `count` photos in database order with their thumbnails placed in the thumbnail files: every
// kind of picture in turn and the format sets of several device families in turn, so that every
// written format appears from six photos on. Among the first twelve: photos without times, one
// dated after 2038, one with five thumbnails and one with a format the program does not know.
[[nodiscard]] std::vector<Photo> makePhotos(std::uint32_t count, Random& random);

// `count` photos of a later player: each has a thumbnail in every one of the model's formats,
// at its place in database order, and a rating; the first twelve have the awkward times of
// makePhotos. With originals, all but every seventh photo has one.
[[nodiscard]] std::vector<Photo> makeModelPhotos(std::uint32_t count,
                                                 std::span<const std::uint32_t> formats,
                                                 bool withOriginals, Random& random);

// The master album (every photo, database order) first, then the awkward albums (a photo in two
// of them, two of the same name, non-Latin names, a name starting with "(", one without a name,
// an empty one, a name with long padding), then ordinary albums over the remaining photos.
[[nodiscard]] std::vector<PhotoAlbum> makePhotoAlbums(const std::vector<Photo>& photos,
                                                      Random& random);

}  // namespace pelmar::player_image
