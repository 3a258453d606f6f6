#include "cli/library_listing.h"

#include <string>

#include "cli/json_writer.h"
#include "cli/named_lists.h"
#include "cli/photo_listing.h"
#include "cli/text_table.h"
#include "library/player_library.h"
#include "library/track_columns.h"
#include "library/track_fields.h"

namespace pelmar::cli {

namespace {

const std::vector<std::string_view> kListKindNames = {
    "tracks", "videos", "podcasts",  "playlists", "artists",
    "albums", "genres", "composers", "photos",    "photo-albums"};

std::vector<ListedTrack> collectTracks(PlayerLibrary& library, ListKind kind) {
    std::vector<ListedTrack> listed;
    KernelId id;
    std::uint32_t mediaKind = 0;
    if (kind == ListKind::Videos) {
        for (int more = library.firstVideo(id, mediaKind); more != 0;
             more = library.nextVideo(id, mediaKind)) {
            listed.push_back({id.id, mediaKind});
        }
        return listed;
    }
    // The first call's result is a count, not a flag: test the list itself for emptiness.
    if (library.trackIds.empty()) {
        return listed;
    }
    library.firstTrack(id, mediaKind);
    do {
        if (kind == ListKind::Tracks || mediaKind == media_kind::kPodcast) {
            listed.push_back({id.id, mediaKind});
        }
    } while (library.nextTrack(id, mediaKind) != 0);
    return listed;
}

std::vector<std::string> collectNames(PlayerLibrary& library, ListKind kind) {
    std::vector<std::string> names;
    std::string name;
    const auto walk = [&](int found, auto next) {
        for (int more = found; more != 0; more = next()) {
            names.push_back(library.codec().toUtf8(name));
        }
    };
    switch (kind) {
        case ListKind::Artists:
            walk(library.firstArtist({}, name), [&] { return library.nextArtist(name); });
            break;
        case ListKind::Albums:
            walk(library.firstAlbum({}, name), [&] { return library.nextAlbum(name); });
            break;
        case ListKind::Genres:
            walk(library.firstGenre(name), [&] { return library.nextGenre(name); });
            break;
        case ListKind::Composers:
            walk(library.firstComposer(name), [&] { return library.nextComposer(name); });
            break;
        default:
            break;
    }
    return names;
}

std::string_view nameColumnTitle(ListKind kind) {
    switch (kind) {
        case ListKind::Artists:
            return "Artist";
        case ListKind::Albums:
            return "Album";
        case ListKind::Genres:
            return "Genre";
        default:
            return "Composer";
    }
}

void printNames(OutputBuffer& out, PlayerLibrary& library, ListKind kind, Format format) {
    const std::vector<std::string> names = collectNames(library, kind);
    if (format == Format::Json) {
        JsonWriter json(out);
        json.beginArray();
        for (const std::string& name : names) {
            json.string(name);
        }
        json.endArray();
        return;
    }
    printTable(out, {{std::string(nameColumnTitle(kind)), false, 80}}, names.size(),
               [&](std::size_t row, std::vector<std::string>& cells) { cells[0] = names[row]; });
}

std::vector<NamedList> collectPlaylists(PlayerLibrary& library) {
    std::vector<NamedList> playlists;
    KernelId playlist;
    for (int more = library.firstSortedPlaylist(playlist); more != 0;
         more = library.nextSortedPlaylist(playlist)) {
        NamedList entry;
        entry.id = playlist.id;
        entry.name = library.codec().toUtf8(library.playlistName(playlist));
        KernelId item;
        for (int found = library.firstPlaylistItem(playlist, item); found != 0;
             found = library.nextPlaylistItem(playlist, item)) {
            entry.items.push_back(item.id);
        }
        playlists.push_back(std::move(entry));
    }
    return playlists;
}

// Puts the described fields into the JSON being written.
struct JsonTrackFields {
    JsonWriter& json;
    void text(std::string_view key, std::string_view value) {
        json.key(key);
        json.string(value);
    }
    void number(std::string_view key, std::int64_t value) {
        json.key(key);
        json.number(value);
    }
    void boolean(std::string_view key, bool value) {
        json.key(key);
        json.boolean(value);
    }
    void null(std::string_view key) {
        json.key(key);
        json.null();
    }
};

void writeTrackJson(JsonWriter& json, const ListedTrack& listed, const TrackInfo& track,
                    bool hasArtwork) {
    JsonTrackFields fields{json};
    json.beginObject();
    describeTrack(track, listed.id, listed.mediaKind, hasArtwork, fields);
    json.endObject();
}

}  // namespace

const std::vector<std::string_view>& listKindNames() {
    return kListKindNames;
}

std::optional<ListKind> parseListKind(std::string_view name) {
    for (std::size_t i = 0; i < kListKindNames.size(); ++i) {
        if (kListKindNames[i] == name) {
            return static_cast<ListKind>(i);
        }
    }
    return std::nullopt;
}

void printTracks(OutputBuffer& out, const PlayerLibrary& library,
                 const std::vector<ListedTrack>& tracks, Format format) {
    if (format == Format::Json) {
        JsonWriter json(out);
        json.beginArray();
        for (const ListedTrack& listed : tracks) {
            const MhTrackData* record = library.findTrack(listed.id);
            writeTrackJson(json, listed, displayTrackInfo(library, listed.id),
                           record != nullptr && library.artwork.hasArtwork(*record));
        }
        json.endArray();
        return;
    }
    const std::vector<TableColumn> columns = {
        {"ID", true, 10},          {"Name", false, 60},  {"Type", false, 4},
        {"Size", true, 12},        {"Length", true, 8},  {"Bitrate", true, 9},
        {"Year", true, 4},         {"Genre", false, 18}, {"Composer", false, 22},
        {"BPM", true, 3},          {"Rating", true, 6},  {"Play Count", true, 10},
        {"Last Played", true, 19},
    };
    printTable(out, columns, tracks.size(), [&](std::size_t row, std::vector<std::string>& cells) {
        const TrackInfo track = displayTrackInfo(library, tracks[row].id);
        cells[0] = std::to_string(tracks[row].id);
        cells[1] = trackNameText(track);
        cells[2] = trackTypeText(track);
        cells[3] = trackSizeText(track);
        cells[4] = trackLengthText(track);
        cells[5] = trackBitrateText(track);
        cells[6] = std::to_string(track.year);
        cells[7] = track.genre;
        cells[8] = track.composer;
        cells[9] = std::to_string(track.bpm);
        cells[10] = trackRatingText(track);
        cells[11] = std::to_string(track.playCount);
        cells[12] = trackLastPlayedText(track);
    });
}

void printList(OutputBuffer& out, PlayerLibrary& library, ListKind kind, Format format) {
    switch (kind) {
        case ListKind::Tracks:
        case ListKind::Videos:
        case ListKind::Podcasts:
            printTracks(out, library, collectTracks(library, kind), format);
            break;
        case ListKind::Playlists:
            printNamedLists(out, collectPlaylists(library), "items", "Items", format);
            break;
        case ListKind::Photos:
            printPhotos(out, library, format);
            break;
        case ListKind::PhotoAlbums:
            printPhotoAlbums(out, library, format);
            break;
        default:
            printNames(out, library, kind, format);
            break;
    }
}

}  // namespace pelmar::cli
