#include <string>
#include <unordered_map>

#include "player_image/player_clock.h"
#include "player_image/random.h"
#include "player_image/sqlite_databases.h"
#include "player_image/sqlite_table.h"

namespace pelmar::player_image {
namespace {

using player_clock::sqliteTime;

// A realistic share of the real table's many columns; readers take what they need by name.
constexpr Column kItemColumns[] = {
    {"pid", "INTEGER PRIMARY KEY"},
    {"revision_level", "INTEGER"},
    {"media_kind", "INTEGER DEFAULT 0"},
    {"is_song", "INTEGER DEFAULT 0"},
    {"is_audio_book", "INTEGER DEFAULT 0"},
    {"is_music_video", "INTEGER DEFAULT 0"},
    {"is_movie", "INTEGER DEFAULT 0"},
    {"is_tv_show", "INTEGER DEFAULT 0"},
    {"is_podcast", "INTEGER DEFAULT 0"},
    {"is_voice_memo", "INTEGER DEFAULT 0"},
    {"date_modified", "INTEGER DEFAULT 0"},
    {"year", "INTEGER DEFAULT 0"},
    {"is_compilation", "INTEGER DEFAULT 0"},
    {"remember_bookmark", "INTEGER DEFAULT 0"},
    {"exclude_from_shuffle", "INTEGER DEFAULT 0"},
    {"artwork_status", "INTEGER"},
    {"artwork_cache_id", "INTEGER DEFAULT 0"},
    {"start_time_ms", "INTEGER DEFAULT 0"},
    {"stop_time_ms", "INTEGER DEFAULT 0"},
    {"total_time_ms", "INTEGER DEFAULT 0"},
    {"track_number", "INTEGER DEFAULT 0"},
    {"track_count", "INTEGER DEFAULT 0"},
    {"disc_number", "INTEGER DEFAULT 0"},
    {"disc_count", "INTEGER DEFAULT 0"},
    {"bpm", "INTEGER DEFAULT 0"},
    {"genre_id", "INTEGER DEFAULT 0"},
    {"album_pid", "INTEGER DEFAULT 0"},
    {"artist_pid", "INTEGER DEFAULT 0"},
    {"title", "TEXT"},
    {"artist", "TEXT"},
    {"album", "TEXT"},
    {"album_artist", "TEXT"},
    {"composer", "TEXT"},
    {"sort_title", "TEXT"},
    {"sort_artist", "TEXT"},
    {"sort_album", "TEXT"},
    {"comment", "TEXT"},
    {"description", "TEXT"},
    {"date_created", "INTEGER DEFAULT 0"},
    {"physical_order", "INTEGER"},
    {"has_lyrics", "INTEGER DEFAULT 0"},
    {"date_released", "INTEGER DEFAULT 0"},
};

constexpr Column kGenreColumns[] = {
    {"id", "INTEGER PRIMARY KEY"},
    {"genre", "TEXT NOT NULL"},
    {"genre_order", "INTEGER DEFAULT 0"},
    {"is_unknown", "INTEGER DEFAULT 0"},
};

constexpr Column kContainerColumns[] = {
    {"pid", "INTEGER PRIMARY KEY"},
    {"distinguished_kind", "INTEGER DEFAULT 0"},
    {"date_created", "INTEGER DEFAULT 0"},
    {"date_modified", "INTEGER DEFAULT 0"},
    {"name", "TEXT"},
    {"name_order", "INTEGER"},
    {"parent_pid", "INTEGER DEFAULT 0"},
    {"media_kinds", "INTEGER DEFAULT 0"},
    {"is_hidden", "INTEGER DEFAULT 0"},
    {"smart_is_dynamic", "INTEGER DEFAULT 0"},
    {"smart_criteria", "BLOB"},
    {"play_order", "INTEGER DEFAULT 0"},
    {"shuffle_items", "INTEGER DEFAULT 0"},
};

constexpr Column kMembershipColumns[] = {
    {"item_pid", "INTEGER NOT NULL"},
    {"container_pid", "INTEGER NOT NULL"},
    {"physical_order", "INTEGER"},
    {"shuffle_order", "INTEGER"},
};

// Containers the player keeps for itself: hidden, like the master, but after it by pid.
struct BuiltIn {
    std::uint32_t kind;
    std::string_view name;
};
constexpr BuiltIn kBuiltIns[] = {
    {4, "Music"}, {2, "Movies"}, {3, "TV Shows"}, {10, "Podcasts"}, {5, "Audiobooks"},
};
constexpr std::uint64_t kBuiltInPidOffset = 0x1000;

bool inKinds(const Track& track, std::uint32_t kind) {
    return track.mediaKind == kind;
}

// "The Beatles" sorts as "Beatles"; an absent or plain text has no sort text.
Value sortText(const std::string& text) {
    if (text.size() > 4 && text.compare(0, 4, "The ") == 0) {
        return std::string_view(text).substr(4);
    }
    return nullptr;
}

// FNV-1a, so that the same names give the same pids everywhere.
std::uint64_t textPid(std::uint64_t base, const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    }
    return base ^ (hash & 0xFFFFFFFFFFFFULL);
}

class LibraryWriter {
  public:
    LibraryWriter(const PlayerImage& image, const std::filesystem::path& path, SqliteDamage damage)
        : image_(image), file_(path), damage_(damage) {}

    void write() {
        writeGenres();
        writeItems();
        writeContainers();
        if (damage_ != SqliteDamage::MissingTables) {
            writeMemberships();
        }
        file_.finish();
    }

  private:
    void writeGenres() {
        for (const Track& track : image_.tracks) {
            if (!track.genre.empty()) {
                genres_.try_emplace(track.genre, static_cast<std::int64_t>(genres_.size() + 1));
            }
        }
        if (damage_ == SqliteDamage::MissingTables) {
            return;
        }
        std::vector<const std::string*> byId(genres_.size());
        for (const auto& [genre, id] : genres_) {
            byId[static_cast<std::size_t>(id - 1)] = &genre;
        }
        TableWriter table(file_, "genre_map", kGenreColumns);
        for (std::size_t i = 0; i < byId.size(); ++i) {
            table.row({static_cast<std::int64_t>(i + 1), std::string_view(*byId[i]),
                       static_cast<std::int64_t>(i), 0});
        }
    }

    void writeItems() {
        const bool leaveOut = damage_ == SqliteDamage::MissingColumns;
        TableWriter table(file_, "item", kItemColumns,
                          leaveOut ? std::initializer_list<std::string_view>{"composer", "year"}
                                   : std::initializer_list<std::string_view>{});
        for (std::size_t order = 0; order < image_.tracks.size(); ++order) {
            const Track& t = image_.tracks[order];
            const bool keepsPlace = inKinds(t, media_kind::podcast) ||
                                    inKinds(t, media_kind::videoPodcast) ||
                                    inKinds(t, media_kind::audiobook);
            const auto genre = genres_.find(t.genre);
            table.row({
                integer(t.databaseId),
                1 + Random(t.id).below(4),
                t.mediaKind,
                t.mediaKind <= media_kind::audio ? 1 : 0,
                inKinds(t, media_kind::audiobook) ? 1 : 0,
                inKinds(t, media_kind::musicVideo) ? 1 : 0,
                inKinds(t, media_kind::movie) ? 1 : 0,
                inKinds(t, media_kind::tvShow) ? 1 : 0,
                inKinds(t, media_kind::podcast) || inKinds(t, media_kind::videoPodcast) ? 1 : 0,
                0,
                sqliteTime(t.dateAdded),
                t.year,
                0,
                keepsPlace ? 1 : 0,
                keepsPlace ? 1 : 0,
                t.artworkFlag,
                t.artworkId,
                0,
                0,
                t.lengthMs,
                t.trackNumber,
                t.albumTrackCount,
                t.trackNumber != 0 ? 1 : 0,
                t.trackNumber != 0 ? 1 : 0,
                t.bpm,
                genre == genres_.end() ? 0 : genre->second,
                integer(textPid(0x0A1B000000000000ULL, t.album + '\0' + t.artist)),
                integer(textPid(0x0A27000000000000ULL, t.artist)),
                std::string_view(t.title),
                textOrNull(t.artist),
                textOrNull(t.album),
                textOrNull(t.artist),
                textOrNull(t.composer),
                sortText(t.title),
                sortText(t.artist),
                sortText(t.album),
                textOrNull(t.comment),
                textOrNull(t.description),
                sqliteTime(t.dateAdded),
                static_cast<std::int64_t>(order),
                0,
                t.year != 0 ? sqliteTime(t.dateAdded) : 0,
            });
        }
    }

    void writeContainers() {
        TableWriter table(file_, "container", kContainerColumns);
        const std::int64_t created = sqliteTime(player_clock::kLastSync);
        for (std::size_t i = 0; i < image_.playlists.size(); ++i) {
            const Playlist& playlist = image_.playlists[i];
            const bool master = i == 0;
            table.row({integer(playlistDatabaseId(i)), 0, created, created,
                       std::string_view(playlist.name), static_cast<std::int64_t>(i), 0,
                       master ? 0xFFFFFF : 0, master ? 1 : 0, playlist.smart ? 1 : 0,
                       playlist.smart ? Value{std::string_view("SLst")} : Value{nullptr}, 0, 0});
            if (master) {
                writeBuiltIns(table, created);
            }
        }
    }

    // After the master by pid, before the playlists: hidden all the same.
    void writeBuiltIns(TableWriter& table, std::int64_t created) {
        for (std::size_t i = 0; i < std::size(kBuiltIns); ++i) {
            table.row({integer(playlistDatabaseId(0) + kBuiltInPidOffset + i), kBuiltIns[i].kind,
                       created, created, kBuiltIns[i].name, nullptr, 0, 0, 1, 0, nullptr, 0, 0});
        }
    }

    void writeMemberships() {
        std::unordered_map<std::uint32_t, std::uint64_t> pids;
        for (const Track& track : image_.tracks) {
            pids.emplace(track.id, track.databaseId);
        }
        TableWriter table(file_, "item_to_container", kMembershipColumns);
        for (std::size_t i = 0; i < image_.playlists.size(); ++i) {
            const Playlist& playlist = image_.playlists[i];
            for (std::size_t place = 0; place < playlist.items.size(); ++place) {
                table.row({integer(pids.at(playlist.items[place])), integer(playlistDatabaseId(i)),
                           static_cast<std::int64_t>(place),
                           static_cast<std::int64_t>(Random(place).below(
                               static_cast<std::uint32_t>(playlist.items.size())))});
            }
        }
        if (damage_ == SqliteDamage::UnknownIds && image_.playlists.size() > 1) {
            for (std::size_t i = 0; i < kUnknownPids; ++i) {
                table.row({integer(unknownPid(i)), integer(playlistDatabaseId(1)),
                           static_cast<std::int64_t>(image_.playlists[1].items.size() + i), 0});
            }
        }
    }

    const PlayerImage& image_;
    SqliteFile file_;
    SqliteDamage damage_;
    std::unordered_map<std::string, std::int64_t> genres_;
};

}  // namespace

void writeLibraryDatabase(const PlayerImage& image, const std::filesystem::path& path,
                          SqliteDamage damage) {
    LibraryWriter(image, path, damage).write();
}

}  // namespace pelmar::player_image
