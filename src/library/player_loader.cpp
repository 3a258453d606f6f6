#include "library/player_loader.h"

#include "library/artwork_database_reader.h"
#include "library/device_family.h"
#include "library/photo_database_reader.h"
#include "library/play_count_reader.h"
#include "library/player_library.h"
#include "library/playlists.h"
#include "platform/system_volumes.h"

namespace pelmar {

LoadReport loadPlayerData(PlayerLibrary& library, ProgressReporter& progress) {
    LoadReport report;
    report.music = readMusic(library, progress);
    report.playCounts = mergePlayCounts(library, progress);
    report.photos = readPhotos(library, progress);
    report.artwork = readArtwork(library, progress);
    completePlaylistNames(library);
    return report;
}

LoadReport loadConnectedPlayer(PlayerLibrary& library, ProgressReporter& progress,
                               const SystemVolumes& system) {
    detectFamily(library, system);
    LoadReport report = loadPlayerData(library, progress);
    buildIndices(library);
    library.searchIndex.build(library);
    sortPlaylists(library);
    sortPhotoAlbums(library);
    return report;
}

LoadReport loadLibraryFromRoot(PlayerLibrary& library, std::string root,
                               ProgressReporter& progress) {
    library.clear();
    if (root.empty() || root.back() != '/') {
        root.push_back('/');
    }
    library.rootPath = std::move(root);
    library.isConnected = 1;
    const SystemVolumes system;
    return loadConnectedPlayer(library, progress, system);
}

}  // namespace pelmar
