#pragma once

#include <cstdint>
#include <string>

#include "library/player_library.h"

namespace pelmar::test {

struct Tags {
    std::string artist;
    std::string album;
    std::string genre;
    std::string composer;
    std::string title;
};

// Puts a track into the library as the music database reader would have left it.
inline MhTrackData& addTrack(PlayerLibrary& library, std::uint32_t id, const Tags& tags,
                             std::uint32_t mediaKind = 1) {
    MhTrackData record;
    record.artist = tags.artist;
    record.album = tags.album;
    record.genre = tags.genre;
    record.composer = tags.composer;
    record.title = tags.title;
    record.mediaKind = mediaKind;
    library.trackIds.push_back(id);
    if (media_kind::isVideo(mediaKind)) {
        library.videoIds.push_back(id);
    }
    return library.tracks.insert_or_assign(id, record).first->second;
}

// Adds a playlist as the reader stores it: name listed, items under the name.
inline void addPlaylist(PlayerLibrary& library, const std::string& name,
                        std::vector<std::uint32_t> items = {}) {
    library.playlistNames.push_back(name);
    library.playlistItems.insert_or_assign(name, std::move(items));
}

}  // namespace pelmar::test
