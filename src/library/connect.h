#pragma once

#include <optional>
#include <string>

#include "library/player_loader.h"

namespace pelmar {

class PlayerLibrary;
class ProgressReporter;
class SystemVolumes;
class UserMessages;

// Shown when no player can be found.
extern const char* const kPlayerNotFoundMessage;

// Finds the player and loads it into the (cleared) library. With an explicit root, that folder
// is the player if it holds the marker folder; otherwise the mounted volumes are searched,
// removable ones before fixed ones, each in descending order of mount point, and the first that
// holds the marker wins. On failure the message goes to `messages`, the library is not connected,
// its root is empty, and nothing is returned.
std::optional<LoadReport> connect(PlayerLibrary& library, ProgressReporter& progress,
                                  const SystemVolumes& system, UserMessages& messages,
                                  const std::optional<std::string>& explicitRoot = std::nullopt);

// The player root the user named: `given` when not empty, else $PELMAR_PLAYER, else none.
[[nodiscard]] std::optional<std::string> explicitPlayerRoot(const std::string& given);

}  // namespace pelmar
