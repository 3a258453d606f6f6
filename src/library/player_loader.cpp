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

// Play counts and play data change only the tracks' plays, ratings and skips; on-the-go
// playlists, photos and artwork change no track at all.
void readTheRest(PlayerLibrary& library, ProgressReporter& progress, LoadReport& report) {
    report.playCounts = mergePlayCounts(library, progress);
    // The player's own record of plays is newer than both of the above.
    report.playData = mergePlayerPlayData(library);
    report.onTheGo = readOnTheGoPlaylists(library);
    report.photos = readPhotos(library, progress);
    report.artwork = readArtwork(library, progress);
    completePlaylistNames(library);
}

}  // namespace

LoadReport loadConnectedPlayer(PlayerLibrary& library, ProgressReporter& progress,
                               const SystemVolumes& system) {
    detectFamily(library, system);
    readDeviceIdentity(library);
    LoadReport report;
    readTracksAndPlaylists(library, progress, report);

    // The groupings read only the tracks' tags, which nothing after this point changes, and they
    // take a good part of a large library's load: they are built on a second thread beside the
    // rest of it. A machine that cannot start a thread builds them here.
    std::future<void> groupings;
    try {
        groupings = std::async(std::launch::async, buildIndices, std::ref(library));
    } catch (const std::system_error&) {
        buildIndices(library);
    }
    readTheRest(library, progress, report);
    library.searchIndex.build(library);
    sortPlaylists(library);
    sortPhotoAlbums(library);
    if (groupings.valid()) {
        groupings.get();
    }
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
