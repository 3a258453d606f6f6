#include "library/player_loader.h"

#include "library/play_count_reader.h"
#include "library/player_library.h"
#include "library/playlists.h"

namespace pelmar {

LoadReport loadPlayerData(PlayerLibrary& library, ProgressReporter& progress) {
    LoadReport report;
    report.music = readMusic(library, progress);
    report.playCounts = mergePlayCounts(library, progress);
    completePlaylistNames(library);
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
    LoadReport report = loadPlayerData(library, progress);
    buildIndices(library);
    library.searchIndex.build(library);
    sortPlaylists(library);
    return report;
}

}  // namespace pelmar
