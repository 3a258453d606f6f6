#pragma once

namespace pelmar {

class PlayerLibrary;

// Name of the placeholder master playlist of a database that has no playlists at all.
inline constexpr const char* kPlaceholderPlaylistName = "Pelmar";

// Finishes the playlist names after loading: gives a database without playlists its placeholder
// master playlist, and sorts the visible names without regard to case.
void completePlaylistNames(PlayerLibrary& library);

// Rebuilds the playlist ids sorted by name in byte order.
void sortPlaylists(PlayerLibrary& library);

}  // namespace pelmar
