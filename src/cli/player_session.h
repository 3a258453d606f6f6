#pragma once

#include <cstdio>
#include <string>

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitOutputFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoPlayer = 3;

// Loads the player at `root` into the library, showing progress on `messages` when it is a
// terminal. Problems with the player's files are reported there as warnings; the load goes on
// with what could be read. Returns kExitOk, or kExitNoPlayer when `root` is no player.
int openPlayer(const std::string& root, PlayerLibrary& library, std::FILE* messages);

}  // namespace pelmar::cli
