#include "library/album_covers.h"

#include <string_view>

#include "library/player_library.h"

namespace pelmar {

namespace {

// The first track of `album` whose artist (or composer, for `byComposer`) is `key`, or any
// track of it for an empty key, that has artwork.
std::optional<std::uint32_t> firstCoverOfAlbum(const PlayerLibrary& library,
                                               std::string_view album, std::string_view key,
                                               bool byComposer) {
    for (const std::uint32_t trackId : library.indices.tracksByAlbum(album)) {
        const MhTrackData* track = library.findTrack(trackId);
        if (track == nullptr) {
            continue;
        }
        if (!key.empty() && (byComposer ? track->composer : track->artist) != key) {
            continue;
        }
        if (const std::optional<std::uint32_t> image = library.artwork.imageOf(*track)) {
            return image;
        }
    }
    return std::nullopt;
}

}  // namespace

bool isAlbumNode(const NodeData& node) {
    return node.kind == NK_TRACKS && (node.subkind == tracks_subkind::kAlbum ||
                                      node.subkind == tracks_subkind::kArtistAlbum ||
                                      node.subkind == tracks_subkind::kComposerAlbum);
}

bool listsAlbums(const NodeData& node) {
    return node.kind == NK_FOLDER && (node.subkind == folder_subkind::kAlbums ||
                                      node.subkind == folder_subkind::kArtist ||
                                      node.subkind == folder_subkind::kComposer);
}

std::optional<std::uint32_t> coverImageOf(const PlayerLibrary& library, const NodeData& node) {
    if (node.kind == NK_TRACK || node.kind == NK_PLAYLIST_TRACK) {
        const MhTrackData* track = library.findTrack(node.itemId.id);
        return track != nullptr ? library.artwork.imageOf(*track) : std::nullopt;
    }
    if (!isAlbumNode(node)) {
        return std::nullopt;
    }
    switch (node.subkind) {
        case tracks_subkind::kArtistAlbum:
            return firstCoverOfAlbum(library, node.text3, node.text2, false);
        case tracks_subkind::kComposerAlbum:
            return firstCoverOfAlbum(library, node.text3, node.text2, true);
        default:
            return firstCoverOfAlbum(library, node.text2, {}, false);
    }
}

}  // namespace pelmar
