#include "library/player_loader.h"

#include <functional>
#include <future>
#include <system_error>

#include "library/artwork_database_reader.h"
#include "library/device_family.h"
#include "library/device_model.h"
#include "library/on_the_go_reader.h"
#include "library/photo_database_reader.h"
#include "library/play_count_reader.h"
#include "library/play_data_reader.h"
#include "library/player_library.h"
#include "library/playlists.h"
#include "library/sqlite_library_reader.h"
#include "platform/system_volumes.h"

namespace pelmar {

namespace {

// A nano 6G or 7G whose music database is missing, empty or damaged in its compressed stream
// still describes its library in the SQLite files.
void readTracksAndPlaylists(PlayerLibrary& library, ProgressReporter& progress,
                            LoadReport& report) {
    if (std::optional<MusicRead> read = readMusic(library, progress)) {
        report.music = read->outcome;
        report.inflation = read->inflation;
        report.musicSource = read->compressed ? MusicSource::Compressed : MusicSource::Uncompressed;
    }
    const bool damagedStream =
        report.inflation && report.inflation->end != ReadOutcome::End::EndOfData;
    if (report.music && !damagedStream && !library.trackIds.empty()) {
        return;
    }
    report.libraryFiles = readSqliteLibrary(library);
    if (report.libraryFiles && report.libraryFiles->end == SqliteOutcome::End::Read) {
        report.musicSource = MusicSource::SqliteFiles;
    }
}

// The groupings and the search text only read the tracks and each takes a good part of a large
// library's load, so they are built side by side; a machine that cannot start a thread builds
// them one after the other.
void buildLookups(PlayerLibrary& library) {
    std::future<void> groupings;
    try {
        groupings = std::async(std::launch::async, buildIndices, std::ref(library));
    } catch (const std::system_error&) {
        buildIndices(library);
    }
    library.searchIndex.build(library);
    sortPlaylists(library);
    sortPhotoAlbums(library);
    if (groupings.valid()) {
        groupings.get();
    }
}

}  // namespace

LoadReport loadPlayerData(PlayerLibrary& library, ProgressReporter& progress) {
    LoadReport report;
    readTracksAndPlaylists(library, progress, report);
    report.playCounts = mergePlayCounts(library, progress);
    // The player's own record of plays is newer than both of the above.
    report.playData = mergePlayerPlayData(library);
    report.onTheGo = readOnTheGoPlaylists(library);
    report.photos = readPhotos(library, progress);
    report.artwork = readArtwork(library, progress);
    completePlaylistNames(library);
    return report;
}

LoadReport loadConnectedPlayer(PlayerLibrary& library, ProgressReporter& progress,
                               const SystemVolumes& system) {
    detectFamily(library, system);
    readDeviceIdentity(library);
    LoadReport report = loadPlayerData(library, progress);
    buildLookups(library);
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
