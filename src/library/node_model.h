#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/kernel_id.h"
#include "platform/volume_space.h"

namespace pelmar {

class PlayerLibrary;

enum NodeKind : std::int32_t {
    NK_FOLDER = 16,
    NK_TRACKS = 32,
    NK_PLAYLIST = 48,
    NK_TRACK = 64,
    NK_PLAYLIST_TRACK = 80,
    NK_PHOTO_ALBUM = 96,
    NK_PHOTO = 112,
    NK_DEVICE_INFO = 128,
    NK_PROPERTY = 144,
};

// Subkinds of NK_FOLDER nodes.
namespace folder_subkind {
inline constexpr std::int32_t kRoot = 1;
inline constexpr std::int32_t kPlaylists = 16;
inline constexpr std::int32_t kArtists = 32;
inline constexpr std::int32_t kAlbums = 48;
inline constexpr std::int32_t kGenres = 64;
inline constexpr std::int32_t kComposers = 80;
inline constexpr std::int32_t kArtist = 96;
inline constexpr std::int32_t kGenre = 112;
inline constexpr std::int32_t kComposer = 128;
inline constexpr std::int32_t kPhotos = 144;
}  // namespace folder_subkind

// Subkinds of NK_TRACKS nodes: which tracks the node's rows are.
namespace tracks_subkind {
inline constexpr std::int32_t kSongs = 16;
inline constexpr std::int32_t kPodcasts = 21;
inline constexpr std::int32_t kArtistAll = 32;       // artist = text2
inline constexpr std::int32_t kArtistAlbum = 48;     // artist = text2, album = text3
inline constexpr std::int32_t kAlbum = 64;           // album = text2
inline constexpr std::int32_t kGenreAll = 80;        // genre = text2
inline constexpr std::int32_t kComposerAll = 96;     // composer = text2
inline constexpr std::int32_t kComposerAlbum = 112;  // composer = text2, album = text3
inline constexpr std::int32_t kSearchResults = 128;
inline constexpr std::int32_t kVideos = 144;
}  // namespace tracks_subkind

// Indices into the node icon strip.
namespace node_icon {
inline constexpr std::int32_t kPlayer = 0;
inline constexpr std::int32_t kAllTracks = 9;
inline constexpr std::int32_t kPhotos = 10;
inline constexpr std::int32_t kSearchResults = 11;
inline constexpr std::int32_t kComposer = 12;
inline constexpr std::int32_t kPlaylists = 13;
inline constexpr std::int32_t kArtist = 14;
inline constexpr std::int32_t kAlbum = 15;
inline constexpr std::int32_t kGenre = 16;
inline constexpr std::int32_t kPlaylistOrPhotoAlbum = 17;
inline constexpr std::int32_t kDeviceInformation = 22;
inline constexpr std::int32_t kItemRow = 27;
inline constexpr std::int32_t kVideos = 36;
inline constexpr std::int32_t kPodcasts = 37;
}  // namespace node_icon

// The payload of every tree item and list row.
struct NodeData {
    std::int32_t kind = 0;
    std::int32_t subkind = 0;
    std::int32_t order = 0;   // place among the siblings built by the same call
    std::int32_t count = -1;  // the "Contains" number; -1 shows nothing
    std::string name;
    std::string text2;            // first filter value, or a property row's value
    std::string text3;            // second filter value (album)
    KernelId itemId;              // the playlist, photo album, track or photo; all zero otherwise
    std::uintptr_t treeItem = 0;  // opaque handle of the tree item, set while the list shows it
    std::int32_t image = 0;
    std::int32_t selectedImage = 0;
};

// How the label of a node listing all tracks of an artist, genre or composer begins.
inline constexpr std::string_view kAllTracksOpening = "[ All: ";

// Whether BuildChildNodes yields rows for the node's kind.
[[nodiscard]] bool isExpandable(const NodeData& node);

// What building nodes needs besides the library: the search results and the free-space query
// (device rows).
struct NodeSource {
    PlayerLibrary& library;
    const std::vector<std::uint32_t>& searchResults;
    // Size and free space of the volume holding a path; may be empty, which reads as unknown.
    std::function<std::optional<VolumeSpace>(const std::string&)> volumeSpace;
};

// Appends the children of `node` (the root when null) to `out`, in build order. Returns false
// only for a node of unknown kind or subkind, which gets no children.
bool BuildChildNodes(NodeSource& source, const NodeData* node,
                     std::vector<std::unique_ptr<NodeData>>& out);

}  // namespace pelmar
