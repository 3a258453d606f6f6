#include "library/player_library.h"

#include <algorithm>

namespace pelmar {

PlayerLibrary::PlayerLibrary(const TextCodec& codec) : codec_(&codec) {}

void PlayerLibrary::clear() {
    isConnected = 0;
    trackIds.clear();
    videoIds.clear();
    playlistNames.clear();
    playlistItems.clear();
    photoAlbumNames.clear();
    photoAlbumItems.clear();
    images.clear();
    artwork = ArtworkCatalog();
    tracks.clear();
    indices.clear();
    searchIndex.clear();
    queryResults.clear();
    sortedPlaylistIds.clear();
    sortedPhotoAlbumIds.clear();
    genreArtists_.clear();
    artistAlbums_.clear();
    composerAlbums_.clear();
    currentArtistList_ = nullptr;
    currentAlbumList_ = nullptr;
    currentComposerAlbumList_ = nullptr;
}

const MhTrackData* PlayerLibrary::findTrack(std::uint32_t trackId) const {
    const auto it = tracks.find(trackId);
    return it == tracks.end() ? nullptr : &it->second;
}

bool PlayerLibrary::getTrackInfo(std::uint32_t trackId, TrackInfo& info) const {
    const MhTrackData* record = findTrack(trackId);
    if (record == nullptr) {
        return false;
    }
    info.location = record->location;
    info.fileType = record->fileType;
    info.artist = record->artist;
    info.album = record->album;
    info.title = record->title;
    info.genre = record->genre;
    info.composer = record->composer;
    info.size = record->size;
    info.lengthSeconds = record->lengthMs / 1000;
    info.trackNumber = record->trackNumber;
    info.year = record->year;
    info.bitrate = record->bitrate;
    info.playCount = record->playCount;
    info.lastPlayed = record->lastPlayed - kPlayerEpochOffset;
    info.rating = record->rating;
    info.bpm = record->bpm;
    info.databaseId = record->databaseId;
    info.dateAdded = record->dateAdded - kPlayerEpochOffset;
    info.skipCount = record->skipCount;
    return true;
}

std::string PlayerLibrary::trackFilePath(std::string_view location) const {
    std::string path = rootPath;
    if (!location.empty()) {
        location.remove_prefix(1);
    }
    path.reserve(path.size() + location.size());
    for (char c : location) {
        path.push_back(c == ':' ? '/' : c);
    }
    return path;
}

namespace {

int yieldId(const std::vector<std::uint32_t>& ids, int& cursor, KernelId& out) {
    if (cursor < 0 || static_cast<std::size_t>(cursor) >= ids.size()) {
        return 0;
    }
    out.id = ids[static_cast<std::size_t>(cursor)];
    ++cursor;
    return 1;
}

}  // namespace

int PlayerLibrary::firstTrack(KernelId& out, std::uint32_t& kind) {
    trackCursor_ = 0;
    if (trackIds.empty()) {
        return 0;
    }
    nextTrack(out, kind);
    return static_cast<int>(trackIds.size()) - static_cast<int>(videoIds.size());
}

int PlayerLibrary::nextTrack(KernelId& out, std::uint32_t& kind) {
    if (yieldId(trackIds, trackCursor_, out) == 0) {
        return 0;
    }
    const MhTrackData* record = findTrack(out.id);
    kind = record != nullptr ? record->mediaKind : 1;
    return 1;
}

int PlayerLibrary::firstVideo(KernelId& out, std::uint32_t& kind) {
    videoCursor_ = 0;
    if (videoIds.empty()) {
        return 0;
    }
    nextVideo(out, kind);
    return static_cast<int>(videoIds.size());
}

int PlayerLibrary::nextVideo(KernelId& out, std::uint32_t& kind) {
    if (yieldId(videoIds, videoCursor_, out) == 0) {
        return 0;
    }
    const MhTrackData* record = findTrack(out.id);
    kind = record != nullptr ? record->mediaKind : 2;
    return 1;
}

}  // namespace pelmar
