#include "library/playlists.h"

#include "library/enumeration.h"
#include "library/player_library.h"

namespace pelmar {

void completePlaylistNames(PlayerLibrary& library) {
    auto& names = library.playlistNames;
    if (names.empty()) {
        names.emplace_back(kPlaceholderPlaylistName);
        library.playlistItems[kPlaceholderPlaylistName];
    }
    if (names.size() >= 2) {
        std::string master = std::move(names.front());
        names.erase(names.begin());
        names.sort(library.codec());
        names.insert(names.begin(), std::move(master));
    }
}

void sortPlaylists(PlayerLibrary& library) {
    library.sortedPlaylistIds.clear();
    KernelId playlist;
    for (int more = library.firstPlaylist(playlist); more != 0;
         more = library.nextPlaylist(playlist)) {
        library.sortedPlaylistIds.push_back(playlist);
    }
    library.sortedPlaylistIds.sort();
}

std::string PlayerLibrary::playlistName(const KernelId& playlist) const {
    return playlist.id < playlistNames.size() ? playlistNames[playlist.id] : std::string();
}

int PlayerLibrary::firstPlaylist(KernelId& out) {
    playlistCursor_ = 1;
    if (playlistNames.size() <= 1) {
        return 0;
    }
    out.id = 1;
    playlistCursor_ = 2;
    return static_cast<int>(playlistNames.size()) - 1;
}

int PlayerLibrary::nextPlaylist(KernelId& out) {
    if (playlistCursor_ < 1 || static_cast<std::size_t>(playlistCursor_) >= playlistNames.size()) {
        return 0;
    }
    out.id = static_cast<std::uint32_t>(playlistCursor_);
    ++playlistCursor_;
    return 1;
}

const std::vector<std::uint32_t>* PlayerLibrary::playlistItemsOf(const KernelId& playlist) const {
    if (playlist.id >= playlistNames.size()) {
        return nullptr;
    }
    const auto it = playlistItems.find(playlistNames[playlist.id]);
    return it == playlistItems.end() ? nullptr : &it->second;
}

int PlayerLibrary::firstPlaylistItem(const KernelId& playlist, KernelId& out) {
    return enumeration::firstItem(playlistItemsOf(playlist), playlistItemCursor_, out);
}

int PlayerLibrary::nextPlaylistItem(const KernelId& playlist, KernelId& out) {
    return enumeration::nextItem(playlistItemsOf(playlist), playlistItemCursor_, out);
}

int PlayerLibrary::firstSortedPlaylist(KernelId& out) {
    return enumeration::firstCopy(sortedPlaylistIds, sortedPlaylistCursor_, out);
}

int PlayerLibrary::nextSortedPlaylist(KernelId& out) {
    return enumeration::nextCopy(sortedPlaylistIds, sortedPlaylistCursor_, out);
}

}  // namespace pelmar
