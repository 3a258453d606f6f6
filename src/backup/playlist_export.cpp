#include "backup/playlist_export.h"

#include "backup/destination_naming.h"
#include "backup/itunes_session.h"
#include "library/player_library.h"
#include "platform/atomic_file.h"

namespace pelmar {

namespace {

constexpr std::size_t kLongestFileName = 255;

// A playlist line for a relative path. Readers take a line starting with "#" for a comment, so
// such a path is written as "./#..." to keep its track in the playlist.
std::string playlistLine(const std::string& relativePath) {
    std::string line = relativePath.starts_with('#') ? "./" + relativePath : relativePath;
    line += '\n';
    return line;
}

// Writes one playlist; false when its file could not be written whole.
bool exportPlaylist(const PlayerLibrary& library, const KernelId& playlist,
                    const std::string& backupFolder, const TrackPathMap& paths,
                    ITunesSession* itunes) {
    const std::string name = CleanNameField(library.playlistName(playlist), library.codec());
    // A file name holds at most 255 bytes; a longer playlist name is cut at a whole character
    // rather than leaving the playlist unwritten.
    const std::string fileName =
        name.substr(0, library.codec().wholeCharacterPrefix(name, kLongestFileName - 4)) + ".m3u";
    AtomicFileWriter file;
    if (!file.open(BackupFilePath(backupFolder, fileName))) {
        return false;
    }
    if (itunes != nullptr) {
        itunes->createPlaylist(name);
    }
    if (const std::vector<std::uint32_t>* items = library.playlistItemsOf(playlist)) {
        for (const std::uint32_t trackId : *items) {
            const auto found = paths.find(trackId);
            if (found == paths.end()) {
                continue;
            }
            if (!file.write(playlistLine(found->second))) {
                return false;
            }
            if (itunes != nullptr) {
                itunes->addToPlaylist(BackupFilePath(backupFolder, found->second));
            }
        }
    }
    return file.commit(true);
}

}  // namespace

int exportPlaylists(const PlayerLibrary& library, std::span<const KernelId> playlists,
                    const std::string& backupFolder, const TrackPathMap& paths,
                    ITunesSession* itunes, const std::function<void(int)>& onCreated) {
    int created = 0;
    for (const KernelId& playlist : playlists) {
        if (!exportPlaylist(library, playlist, backupFolder, paths, itunes)) {
            continue;
        }
        ++created;
        if (onCreated) {
            onCreated(created);
        }
    }
    return created;
}

}  // namespace pelmar
