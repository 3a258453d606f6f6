#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/library_indices.h"
#include "library/photo_database_reader.h"
#include "library/player_library.h"
#include "library/playlists.h"
#include "support/library_builder.h"

namespace pelmar::test {

// A small connected library for browsing and backing up: two artists over two genres, a podcast,
// a music video, a track without a record, a playlist holding one track twice, and photo albums
// that share photos.
inline void fillSelectionLibrary(PlayerLibrary& library) {
    library.rootPath = "/media/player/";
    addTrack(library, 1, {"Band", "Live", "Rock", "Writer", "One"});
    addTrack(library, 2, {"Band", "Studio", "Rock", "", "Two"});
    addTrack(library, 3, {"Abba", "Gold", "Pop", "Andersson", "Three"});
    addTrack(library, 4, {"Band", "Gold", "Pop", "", "Four"});
    addTrack(library, 5, {"", "X", "", "", "Five"}, media_kind::kPodcast);
    addTrack(library, 6, {"Band", "Clip", "Rock", "", "Six"}, 32);
    library.trackIds.push_back(99);
    library.podcastCount = 1;
    addPlaylist(library, "iPod", {1, 2, 3, 4, 5, 6});
    addPlaylist(library, "alpha", {2});
    addPlaylist(library, "Zed", {3, 1, 3});
    completePlaylistNames(library);
    sortPlaylists(library);
    const auto addPhotoAlbum = [&](const std::string& name, std::vector<std::uint32_t> photos) {
        for (const std::uint32_t id : photos) {
            library.images[id].id = id;
        }
        library.photoAlbumNames.push_back(name);
        library.photoAlbumItems[name] = std::move(photos);
    };
    addPhotoAlbum("Photo Library", {10, 11, 12});
    addPhotoAlbum("Trip", {11, 12});
    addPhotoAlbum("Beach", {12});
    sortPhotoAlbums(library);
    buildIndices(library);
}

}  // namespace pelmar::test
