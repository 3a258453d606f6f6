#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>

#include "library/kernel_id.h"

namespace pelmar {

class ITunesSession;
class PlayerLibrary;

// Track id → the path of its file relative to the backup folder, "/"-separated. Holds the tracks
// a run copied or found already in place.
using TrackPathMap = std::unordered_map<std::uint32_t, std::string>;

// Writes each playlist, in order, as <backupFolder>/<cleaned name>.m3u listing the backed-up files
// of its tracks in playlist order, one relative path a line ("./" before one that starts with
// "#", which readers would skip as a comment); tracks without a file are left out.
// A file of that name is replaced, but only by a complete one: a playlist that cannot be written
// whole leaves the old file (if any) and nothing else. With an iTunes session holding the
// application object, each playlist is also made in iTunes and given the same files.
// `onCreated` gets the running count after each playlist written. Returns the number written.
int exportPlaylists(const PlayerLibrary& library, std::span<const KernelId> playlists,
                    const std::string& backupFolder, const TrackPathMap& paths,
                    ITunesSession* itunes, const std::function<void(int)>& onCreated);

}  // namespace pelmar
