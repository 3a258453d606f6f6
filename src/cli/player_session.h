#pragma once

#include <cstdio>
#include <string>

namespace pelmar {
class PlayerLibrary;
class SystemVolumes;
}  // namespace pelmar

namespace pelmar::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoPlayer = 3;

// Connects to the player and loads it, showing progress on `messages` when it is a terminal.
// `given` (the --player option) or $PELMAR_PLAYER names the player's folder; without either the
// mounted volumes are searched. Problems with the player's files are reported on `messages` as
// warnings and the load goes on with what could be read. Returns kExitOk, or kExitNoPlayer when
// no player was found.
int openPlayer(const std::string& given, PlayerLibrary& library, const SystemVolumes& system,
               std::FILE* messages);

}  // namespace pelmar::cli
