#include "player_image/album_records.h"

#include <string>
#include <unordered_set>

#include "player_image/child_types.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kAlbumHeaderLength = 88;

struct Album {
    const std::string* name;
    const std::string* artist;
};

// Albums in order of their first track; tracks without an album belong to none.
std::vector<Album> distinctAlbums(const std::vector<Track>& tracks) {
    std::vector<Album> albums;
    std::unordered_set<std::string> seen;
    for (const Track& track : tracks) {
        if (!track.album.empty() && seen.insert(track.album + '\0' + track.artist).second) {
            albums.push_back({&track.album, &track.artist});
        }
    }
    return albums;
}

}  // namespace

void writeAlbumList(ByteSink& sink, const std::vector<Track>& tracks, ChildWriter& children) {
    const std::vector<Album> albums = distinctAlbums(tracks);
    writeListHeader(sink, "mhla", albums.size());
    for (std::size_t i = 0; i < albums.size(); ++i) {
        const Album& album = albums[i];
        RecordHeader header("mhia", kAlbumHeaderLength);
        header.set32(12, album.artist->empty() ? 1 : 2);
        header.set32(16, static_cast<std::uint32_t>(i + 1));
        const std::uint64_t start = openRecord(sink, header);
        children.writeString(sink, child_type::albumName, *album.name, StringEncoding::Utf16);
        if (!album.artist->empty()) {
            children.writeString(sink, child_type::albumArtist, *album.artist,
                                 StringEncoding::Utf16);
        }
        closeRecord(sink, start);
    }
}

}  // namespace pelmar::player_image
