#include "library/sqlite_library_reader.h"

#include <unordered_map>

#include "library/file_types.h"
#include "library/player_files.h"
#include "library/player_library.h"
#include "library/playlists.h"
#include "util/text_codec.h"

namespace pelmar {

namespace {

// The music database reader takes a string's text from a 2048-byte body after its 16-byte
// header; texts from these files are cut the same way before they are converted.
constexpr std::size_t kMaxTextBytes = 2032;
// Playlist names are not cut to a tag's capacity, as in the music database.
constexpr std::size_t kPlaylistNameCapacity = 1023;
constexpr std::string_view kMusicFolder = ":iPod_Control:Music:";

std::uint32_t field32(std::int64_t value) {
    if (value < 0) {
        return 0;
    }
    return value > std::int64_t{UINT32_MAX} ? UINT32_MAX : static_cast<std::uint32_t>(value);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(text[i]) != lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

// The colon form of a location stored relative to the music folder ("F00/ABCD.mp3"). Some
// writers start it with a separator or with the music folder itself.
std::string colonLocation(std::string_view stored) {
    while (!stored.empty() && (stored.front() == '/' || stored.front() == ':')) {
        stored.remove_prefix(1);
    }
    std::string out;
    if (!startsWithNoCase(stored, "iPod_Control/") && !startsWithNoCase(stored, "iPod_Control:")) {
        out = kMusicFolder;
    } else {
        out = ":";
    }
    for (const char c : stored) {
        out.push_back(c == '/' ? ':' : c);
    }
    return out;
}

class Importer {
  public:
    Importer(sqlite3* library, sqlite3* locations, const TextCodec& codec)
        : library_(library), locations_(locations), codec_(codec) {}

    ImportedLibrary run();

  private:
    struct Location {
        std::string colonForm;
        std::uint32_t size = 0;
    };

    bool readLocations();
    bool readGenres();
    bool readTracks();
    // Playlists are not needed to back up the tracks: a problem with them is only noted.
    void readPlaylists();
    void note(const std::string& text);

    std::string tag(const SqliteQuery& row, int column) const {
        return codec_.fromUtf8(row.text(column, kMaxTextBytes), kTagTextCapacity);
    }
    bool fail(SqliteOutcome outcome) {
        result_.outcome = std::move(outcome);
        return false;
    }

    sqlite3* library_;
    sqlite3* locations_;
    const TextCodec& codec_;
    ImportedLibrary result_;
    std::unordered_map<std::int64_t, Location> locationsByPid_;
    std::unordered_map<std::int64_t, std::string> genres_;
    std::unordered_map<std::int64_t, std::size_t> placeOfPid_;
};

void Importer::note(const std::string& text) {
    if (!result_.outcome.reason.empty()) {
        result_.outcome.reason += "; ";
    }
    result_.outcome.reason += text;
}

bool Importer::readLocations() {
    const TableColumns columns = tableColumns(locations_, "location");
    if (columns.failure) {
        return fail(*columns.failure);
    }
    if (!columns.has("item_pid") || !columns.has("location")) {
        return fail(
            foreignSchema("Locations.itdb has no table location with item_pid and "
                          "location"));
    }
    SqliteQuery rows(
        locations_, "SELECT item_pid, location, " + columns.orNull("file_size") + " FROM location");
    while (rows.next()) {
        Location& location = locationsByPid_[rows.integer(0)];
        location.colonForm =
            codec_.fromUtf8(colonLocation(rows.text(1, kMaxTextBytes)), kPathTextCapacity);
        location.size = field32(rows.integer(2));
    }
    return rows.failure() ? fail(*rows.failure()) : true;
}

bool Importer::readGenres() {
    const TableColumns columns = tableColumns(library_, "genre_map");
    if (columns.failure) {
        return fail(*columns.failure);
    }
    if (!columns.has("id") || !columns.has("genre")) {
        note("no genres: Library.itdb has no table genre_map with id and genre");
        return true;
    }
    SqliteQuery rows(library_, "SELECT id, genre FROM genre_map");
    while (rows.next()) {
        genres_[rows.integer(0)] = tag(rows, 1);
    }
    return rows.failure() ? fail(*rows.failure()) : true;
}

bool Importer::readTracks() {
    const TableColumns columns = tableColumns(library_, "item");
    if (columns.failure) {
        return fail(*columns.failure);
    }
    if (!columns.has("pid")) {
        return fail(foreignSchema("Library.itdb has no table item with pid"));
    }
    std::string sql = "SELECT pid";
    for (const char* column : {"media_kind", "title", "artist", "album", "composer", "genre_id",
                               "year", "track_number", "total_time_ms"}) {
        sql += ", " + columns.orNull(column);
    }
    sql += columns.has("physical_order") ? " FROM item ORDER BY physical_order, pid"
                                         : " FROM item ORDER BY pid";
    SqliteQuery rows(library_, sql);
    while (rows.next()) {
        const std::int64_t pid = rows.integer(0);
        placeOfPid_.try_emplace(pid, result_.tracks.size());
        MhTrackData& track = result_.tracks.emplace_back();
        track.databaseId = static_cast<std::uint64_t>(pid);
        track.mediaKind = field32(rows.integer(1));
        track.title = tag(rows, 2);
        track.artist = tag(rows, 3);
        track.album = tag(rows, 4);
        track.composer = tag(rows, 5);
        // Genre id 0 is no genre, whatever the map says.
        if (const auto genre = genres_.find(rows.integer(6));
            rows.integer(6) != 0 && genre != genres_.end()) {
            track.genre = genre->second;
        }
        track.year = field32(rows.integer(7));
        track.trackNumber = field32(rows.integer(8));
        track.lengthMs = field32(rows.integer(9));
        if (const auto location = locationsByPid_.find(pid); location != locationsByPid_.end()) {
            track.location = location->second.colonForm;
            track.size = location->second.size;
        }
        // These files carry no file type text: a location without a known extension reads as
        // the music database's does without one.
        const std::uint8_t fromExtension = fileTypeFromExtension(track.location);
        track.fileType = fromExtension != 0 ? fromExtension : fileTypeFromTypeText({});
    }
    return rows.failure() ? fail(*rows.failure()) : true;
}

void Importer::readPlaylists() {
    const TableColumns containers = tableColumns(library_, "container");
    const TableColumns links = tableColumns(library_, "item_to_container");
    if (containers.failure || links.failure) {
        note("no playlists: " + (containers.failure ? containers.failure : links.failure)->reason);
        return;
    }
    if (!containers.has("pid") || !containers.has("is_hidden") || !containers.has("parent_pid")) {
        note(
            "no playlists: Library.itdb has no table container with pid, parent_pid and "
            "is_hidden");
        return;
    }
    std::unordered_map<std::int64_t, std::size_t> playlistOfPid;
    bool masterFound = false;
    SqliteQuery rows(library_, "SELECT pid, " + containers.orNull("name") +
                                   ", parent_pid, is_hidden FROM container ORDER BY pid");
    while (rows.next()) {
        std::string name = codec_.fromUtf8(rows.text(1, kMaxTextBytes), kPlaylistNameCapacity);
        if (rows.integer(3) == 0) {
            playlistOfPid.try_emplace(rows.integer(0), result_.playlists.size());
            result_.playlists.push_back({std::move(name), {}});
        } else if (!masterFound && rows.integer(2) == 0) {
            masterFound = true;
            result_.masterName = std::move(name);
        }
    }
    if (rows.failure()) {
        result_.playlists.clear();
        note("no playlists: " + rows.failure()->reason);
        return;
    }
    if (!links.has("item_pid") || !links.has("container_pid")) {
        note(
            "playlists without items: Library.itdb has no table item_to_container with "
            "item_pid and container_pid");
        return;
    }
    SqliteQuery items(library_, std::string("SELECT container_pid, item_pid FROM item_to_container "
                                            "ORDER BY container_pid, ") +
                                    (links.has("physical_order") ? "physical_order, " : "") +
                                    "item_pid");
    while (items.next()) {
        const auto playlist = playlistOfPid.find(items.integer(0));
        const auto place = placeOfPid_.find(items.integer(1));
        if (playlist != playlistOfPid.end() && place != placeOfPid_.end()) {
            result_.playlists[playlist->second].items.push_back(place->second);
        }
    }
    if (items.failure()) {
        for (ImportedPlaylist& playlist : result_.playlists) {
            playlist.items.clear();
        }
        note("playlists without items: " + items.failure()->reason);
    }
}

ImportedLibrary Importer::run() {
    const SqliteWorkBudget libraryBudget(library_);
    const SqliteWorkBudget locationsBudget(locations_);
    if (!readLocations() || !readGenres() || !readTracks()) {
        result_.tracks.clear();
        return std::move(result_);
    }
    readPlaylists();
    return std::move(result_);
}

}  // namespace

ImportedLibrary importSqliteLibrary(sqlite3* library, sqlite3* locations, const TextCodec& codec) {
    Importer importer(library, locations, codec);
    return importer.run();
}

void putImportedLibrary(PlayerLibrary& library, ImportedLibrary imported) {
    library.tracks.clear();
    library.trackIds.clear();
    library.videoIds.clear();
    library.playlistNames.clear();
    library.playlistItems.clear();
    library.podcastCount = 0;

    std::vector<std::uint32_t> ids;
    ids.reserve(imported.tracks.size());
    library.tracks.reserve(imported.tracks.size());
    for (MhTrackData& track : imported.tracks) {
        const auto id = static_cast<std::uint32_t>(ids.size() + 1);
        ids.push_back(id);
        if (media_kind::isVideo(track.mediaKind)) {
            library.videoIds.push_back(id);
        }
        if (track.mediaKind == media_kind::kPodcast) {
            ++library.podcastCount;
        }
        library.tracks.emplace(id, std::move(track));
    }
    library.trackIds.assign(ids.begin(), ids.end());

    std::string master =
        imported.masterName.empty() ? std::string(kPlaceholderPlaylistName) : imported.masterName;
    library.playlistNames.push_back(master);
    library.playlistItems.insert_or_assign(std::move(master), std::move(ids));
    for (ImportedPlaylist& playlist : imported.playlists) {
        std::vector<std::uint32_t> items;
        items.reserve(playlist.items.size());
        for (const std::size_t place : playlist.items) {
            items.push_back(static_cast<std::uint32_t>(place + 1));
        }
        library.playlistNames.push_back(playlist.name);
        library.playlistItems.insert_or_assign(std::move(playlist.name), std::move(items));
    }
}

std::optional<SqliteOutcome> readSqliteLibrary(PlayerLibrary& library) {
    const PlayerSqlite items = openPlayerSqlite(library.rootPath, kLibraryItdbPath);
    const PlayerSqlite locations = openPlayerSqlite(library.rootPath, kLocationsItdbPath);
    if (items.status == PlayerPathStatus::Missing ||
        locations.status == PlayerPathStatus::Missing) {
        return std::nullopt;
    }
    if (!items.db) {
        return items.failure;
    }
    if (!locations.db) {
        return locations.failure;
    }
    ImportedLibrary imported =
        importSqliteLibrary(items.db.get(), locations.db.get(), library.codec());
    SqliteOutcome outcome = imported.outcome;
    if (outcome.end == SqliteOutcome::End::Read) {
        putImportedLibrary(library, std::move(imported));
    }
    return outcome;
}

}  // namespace pelmar
