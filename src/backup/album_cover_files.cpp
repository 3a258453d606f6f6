#include "backup/album_cover_files.h"

#include <cerrno>

#include <sys/stat.h>

#include "backup/album_cover_jpegs.h"
#include "backup/destination_naming.h"
#include "library/player_library.h"
#include "library/track_data.h"
#include "platform/atomic_file.h"

namespace pelmar {

namespace {

// As for the tracks: a longer path has its album name cut, as their tag texts are.
constexpr std::size_t kLongestCoverPath = 255;
constexpr std::string_view kFolderCover = "cover.jpg";
constexpr std::string_view kCoverExtension = ".jpg";

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string albumCoverPath(const PlayerLibrary& library, std::uint32_t trackId,
                           std::string_view folderTemplate, std::string_view trackDestination) {
    std::string folder(trackDestination.substr(0, trackDestination.rfind('/') + 1));
    if (FolderTemplateSeparatesAlbums(folderTemplate)) {
        return folder + std::string(kFolderCover);
    }
    TrackInfo track;
    library.getTrackInfo(trackId, track);
    const TextCodec& codec = library.codec();
    std::string album = CleanNameField(track.album, codec);
    if (folder.size() + album.size() + kCoverExtension.size() > kLongestCoverPath) {
        album.resize(codec.wholeCharacterPrefix(album, kShortenedFieldBytes));
    }
    return folder + album + std::string(kCoverExtension);
}

AlbumCoverFiles::Saved AlbumCoverFiles::save(std::uint32_t trackId,
                                             std::string_view trackDestination,
                                             std::string_view folderTemplate, bool overwrite) {
    const MhTrackData* track = library_.findTrack(trackId);
    if (track == nullptr || !library_.artwork.hasArtwork(*track)) {
        return {};
    }
    Saved saved{Outcome::Nothing,
                albumCoverPath(library_, trackId, folderTemplate, trackDestination), 0};
    if (handled_.contains(saved.path)) {
        return {};
    }
    // Looked at before the picture is made, so that a run over a finished backup decodes nothing.
    if (!overwrite && exists(saved.path)) {
        handled_.insert(saved.path);
        saved.outcome = Outcome::Kept;
        return saved;
    }
    const AlbumCoverJpegs::Cover cover = jpegs_.coverOf(trackId);
    if (cover.jpeg == nullptr) {
        // Another track of the folder may have a picture that can be read.
        return {};
    }
    handled_.insert(saved.path);
    saved.error = writeFileAtomically(saved.path, *cover.jpeg, overwrite);
    if (saved.error == 0) {
        saved.outcome = Outcome::Written;
    } else if (saved.error == EEXIST && !overwrite) {
        saved.outcome = Outcome::Kept;
        saved.error = 0;
    } else {
        saved.outcome = Outcome::Failed;
    }
    return saved;
}

std::string albumCoverLogLine(const AlbumCoverFiles::Saved& saved) {
    switch (saved.outcome) {
        case AlbumCoverFiles::Outcome::Written:
            return "      Album cover saved to: " + saved.path;
        case AlbumCoverFiles::Outcome::Failed:
            return "      Album cover " + saved.path + " FAILED...(Error code " +
                   std::to_string(saved.error) + ").";
        case AlbumCoverFiles::Outcome::Nothing:
        case AlbumCoverFiles::Outcome::Kept:
            break;
    }
    return {};
}

}  // namespace pelmar
