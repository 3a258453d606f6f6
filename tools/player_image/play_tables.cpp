#include <algorithm>
#include <string>

#include "player_image/player_clock.h"
#include "player_image/sqlite_databases.h"
#include "player_image/sqlite_table.h"

namespace pelmar::player_image {
namespace {

using player_clock::sqliteTime;

constexpr Column kBaseLocationColumns[] = {
    {"id", "INTEGER PRIMARY KEY"},
    {"path", "TEXT"},
};

constexpr Column kLocationColumns[] = {
    {"item_pid", "INTEGER PRIMARY KEY"},
    {"sub_id", "INTEGER DEFAULT 0"},
    {"base_location_id", "INTEGER DEFAULT 0"},
    {"location_type", "INTEGER"},
    {"location", "TEXT"},
    {"extension", "INTEGER"},
    {"kind_id", "INTEGER DEFAULT 0"},
    {"date_created", "INTEGER DEFAULT 0"},
    {"file_size", "INTEGER DEFAULT 0"},
    {"file_creator", "INTEGER"},
    {"file_type", "INTEGER"},
    {"num_dir_levels_file", "INTEGER"},
    {"num_dir_levels_lib", "INTEGER"},
};

constexpr Column kStatsColumns[] = {
    {"item_pid", "INTEGER PRIMARY KEY"},
    {"has_been_played", "INTEGER DEFAULT 0"},
    {"date_played", "INTEGER DEFAULT 0"},
    {"play_count_user", "INTEGER DEFAULT 0"},
    {"play_count_recent", "INTEGER DEFAULT 0"},
    {"date_skipped", "INTEGER DEFAULT 0"},
    {"skip_count_user", "INTEGER DEFAULT 0"},
    {"skip_count_recent", "INTEGER DEFAULT 0"},
    {"bookmark_time_ms", "INTEGER"},
    {"bookmark_time_ms_common", "INTEGER"},
    {"user_rating", "INTEGER DEFAULT 0"},
    {"user_rating_common", "INTEGER DEFAULT 0"},
    {"rental_expired", "INTEGER DEFAULT 0"},
};

constexpr Column kLyricsColumns[] = {
    {"item_pid", "INTEGER PRIMARY KEY"},
    {"checksum", "INTEGER"},
    {"lyrics", "TEXT"},
};

constexpr Column kChapterColumns[] = {
    {"item_pid", "INTEGER PRIMARY KEY"},
    {"data", "BLOB"},
};

// The file's kind as the desktop application stores it: its extension as a four-character code.
std::int64_t extensionCode(const std::string& location) {
    const std::size_t dot = location.find_last_of('.');
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        char c = ' ';
        if (dot != std::string::npos && dot + 1 + i < location.size()) {
            c = location[dot + 1 + i];
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        code = code << 8 | static_cast<unsigned char>(c);
    }
    return code;
}

// The play data as the sync left it, before the player recorded anything.
TrackStats asSyncedStats(const Track& track) {
    TrackStats stats;
    stats.playCount = track.playCount;
    stats.lastPlayed = sqliteTime(track.lastPlayed);
    stats.rating = track.rating;
    return stats;
}

}  // namespace

std::uint64_t unknownPid(std::size_t index) {
    return 0x7E57000000000001ULL + index;
}

std::string musicRelativeLocation(const std::string& location) {
    constexpr std::string_view kMusicFolder = ":iPod_Control:Music:";
    std::string relative = location.compare(0, kMusicFolder.size(), kMusicFolder) == 0
                               ? location.substr(kMusicFolder.size())
                               : location;
    for (char& c : relative) {
        c = c == ':' ? '/' : c;
    }
    return relative;
}

void writeLocationsDatabase(const PlayerImage& image, const std::filesystem::path& path,
                            SqliteDamage damage) {
    SqliteFile file(path);
    {
        TableWriter bases(file, "base_location", kBaseLocationColumns);
        bases.row({1, "iPod_Control/Music"});
        TableWriter table(file, "location", kLocationColumns,
                          damage == SqliteDamage::MissingColumns
                              ? std::initializer_list<std::string_view>{"file_size"}
                              : std::initializer_list<std::string_view>{});
        std::string relative;
        for (const Track& track : image.tracks) {
            relative = musicRelativeLocation(track.location);
            table.row({integer(track.databaseId), 0, 1, 0x46494C45, std::string_view(relative),
                       extensionCode(relative), track.fileType, sqliteTime(track.dateAdded),
                       track.size, 0, 0, 1, 1});
        }
        if (damage == SqliteDamage::UnknownIds) {
            for (std::size_t i = 0; i < kUnknownPids; ++i) {
                table.row({integer(unknownPid(i)), 0, 1, 0x46494C45, "F00/GONE.mp3",
                           extensionCode(".mp3"), 2, 0, 1000, 0, 0, 1, 1});
            }
        }
    }
    file.finish();
}

void writeDynamicDatabase(const PlayerImage& image, const std::filesystem::path& path,
                          SqliteDamage damage, bool asSynced) {
    SqliteFile file(path);
    if (damage != SqliteDamage::MissingTables) {
        TableWriter table(file, "item_stats", kStatsColumns,
                          damage == SqliteDamage::MissingColumns
                              ? std::initializer_list<std::string_view>{"bookmark_time_ms"}
                              : std::initializer_list<std::string_view>{});
        for (std::size_t i = 0; i < image.tracks.size(); ++i) {
            const Track& track = image.tracks[i];
            const TrackStats stats = asSynced ? asSyncedStats(track) : image.trackStats.at(i);
            if (!stats.hasRow) {
                continue;
            }
            table.row({integer(track.databaseId), stats.playCount > 0 ? 1 : 0, stats.lastPlayed,
                       stats.playCount,
                       stats.playCount - std::min(stats.playCount, track.playCount),
                       stats.lastSkipped, stats.skipCount, stats.skipCount, stats.bookmarkMs,
                       stats.bookmarkMs, stats.rating, stats.rating, 0});
        }
        if (damage == SqliteDamage::UnknownIds) {
            for (std::size_t i = 0; i < kUnknownPids; ++i) {
                table.row({integer(unknownPid(i)), 1, sqliteTime(player_clock::kImageTaken), 7, 7,
                           0, 0, 0, 0, 0, 60, 60, 0});
            }
        }
    }
    file.finish();
}

void writeExtrasDatabase(const PlayerImage& image, const std::filesystem::path& path) {
    SqliteFile file(path);
    {
        TableWriter chapters(file, "chapter", kChapterColumns);
        TableWriter lyrics(file, "lyrics", kLyricsColumns);
        // A few songs carry lyrics, as real libraries do.
        for (std::size_t i = 0; i < image.tracks.size(); i += 37) {
            const Track& track = image.tracks[i];
            if (track.mediaKind <= media_kind::audio && !track.title.empty()) {
                const std::string text = track.title + "\n" + track.title + ", oh " + track.title;
                lyrics.row({integer(track.databaseId), static_cast<std::int64_t>(text.size()),
                            std::string_view(text)});
            }
        }
    }
    file.finish();
}

}  // namespace pelmar::player_image
