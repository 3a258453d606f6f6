#include "library/connect.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "library/player_library.h"
#include "platform/system_volumes.h"
#include "util/progress_reporter.h"
#include "util/user_messages.h"

namespace pelmar {

const char* const kPlayerNotFoundMessage =
    "Pelmar cannot find any connected iPod devices.\n\nPlease make sure that your iPod is plugged "
    "in, it is displaying the\n\"Do not disconnect\" message, and its disk is mounted: most "
    "desktops mount it\nby themselves, or mount it with 'udisksctl mount -b DEVICE'. A mount "
    "point or\na copy of an iPod can also be named with --player DIR. iPods formatted on a\nMac "
    "are read as well as those formatted on Windows.\n\nIf your iPod is brand new or you have "
    "just formatted it, please first\nrestore it with the maker's restore tool on a Mac or a "
    "Windows computer, which will\nproperly initialize your iPod so that it can be mounted as a "
    "disk.";

namespace {

std::string asRoot(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    return folder;
}

// The first volume of the given kind, in descending order of mount point, that holds a player.
std::optional<std::string> search(const std::vector<CandidateVolume>& volumes, bool removable,
                                  const SystemVolumes& system, ProgressReporter& progress) {
    std::vector<const CandidateVolume*> candidates;
    for (const CandidateVolume& volume : volumes) {
        if (volume.removable == removable) {
            candidates.push_back(&volume);
        }
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const CandidateVolume* a, const CandidateVolume* b) {
                  return a->mountPoint > b->mountPoint;
              });
    for (const CandidateVolume* volume : candidates) {
        progress.step();
        progress.pump();
        const std::string root = asRoot(volume->mountPoint);
        if (system.holdsMarker(root)) {
            return root;
        }
    }
    return std::nullopt;
}

std::optional<std::string> findPlayer(const SystemVolumes& system, ProgressReporter& progress,
                                      const std::optional<std::string>& explicitRoot) {
    if (explicitRoot) {
        // Paths built from the root must stay valid whatever the current folder becomes.
        const std::string root =
            asRoot(std::filesystem::absolute(*explicitRoot).lexically_normal().string());
        progress.step();
        progress.pump();
        return system.holdsMarker(root) ? std::optional<std::string>(root) : std::nullopt;
    }
    const std::vector<CandidateVolume> volumes = system.volumes();
    progress.setRange(0, static_cast<std::uint32_t>(volumes.size()));
    progress.setPosition(0);
    if (auto root = search(volumes, true, system, progress)) {
        return root;
    }
    return search(volumes, false, system, progress);
}

}  // namespace

std::optional<LoadReport> connect(PlayerLibrary& library, ProgressReporter& progress,
                                  const SystemVolumes& system, UserMessages& messages,
                                  const std::optional<std::string>& explicitRoot) {
    progress.setStatus("Detecting iPod...");
    progress.setRange(0, 1);
    progress.setPosition(0);
    progress.pump();
    const std::optional<std::string> root = findPlayer(system, progress, explicitRoot);
    if (!root) {
        messages.information(kPlayerNotFoundMessage);
        library.rootPath.clear();
        library.isConnected = 0;
        return std::nullopt;
    }
    library.rootPath = *root;
    library.isConnected = 1;
    return loadConnectedPlayer(library, progress, system);
}

std::optional<std::string> explicitPlayerRoot(const std::string& given) {
    if (!given.empty()) {
        return given;
    }
    const char* fromEnvironment = std::getenv("PELMAR_PLAYER");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return std::string(fromEnvironment);
    }
    return std::nullopt;
}

}  // namespace pelmar
