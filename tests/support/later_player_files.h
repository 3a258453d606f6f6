#pragma once

// Files of the players that keep their database compressed and their play data in SQLite. Header
// only: a test that includes it links zlib and SQLite itself.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "support/database_bytes.h"
#include "support/temp_folder.h"

namespace pelmar::test {

// `database` as a player keeps it compressed: the root header as it is (+0x0C 2, +0xA8 1 and
// the file's length at +8), then the rest as one zlib stream.
inline std::vector<std::uint8_t> compressedDatabase(const std::vector<std::uint8_t>& database) {
    const std::uint32_t headerLength = database[4] | (database[5] << 8);
    std::vector<std::uint8_t> out(database.begin(), database.begin() + headerLength);
    uLongf length = compressBound(static_cast<uLong>(database.size() - headerLength));
    out.resize(headerLength + length);
    EXPECT_EQ(compress2(out.data() + headerLength, &length, database.data() + headerLength,
                        static_cast<uLong>(database.size() - headerLength), 6),
              Z_OK);
    out.resize(headerLength + length);
    put32(out, 8, static_cast<std::uint32_t>(out.size()));
    put32(out, 12, 2);
    if (headerLength > 0xA8) {
        out[0xA8] = 1;
    }
    return out;
}

// Runs the pieces of SQL in turn on the SQLite file at `path`, creating it and its folders.
inline void writeSqlite(const std::filesystem::path& path,
                        std::initializer_list<std::string_view> sql) {
    std::filesystem::create_directories(path.parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    for (const std::string_view piece : sql) {
        char* error = nullptr;
        const int code = sqlite3_exec(db, std::string(piece).c_str(), nullptr, nullptr, &error);
        const std::string message = error != nullptr ? error : "";
        sqlite3_free(error);
        EXPECT_EQ(code, SQLITE_OK) << message;
    }
    sqlite3_close(db);
}

inline std::filesystem::path libraryFolder(const std::filesystem::path& player) {
    return player / "iPod_Control" / "iTunes" / "iTunes Library.itlp";
}

// Tables as the nano 6G and 7G lay them out, with a few of the columns the readers ignore.
inline constexpr const char* kLibrarySchema =
    "CREATE TABLE item (pid INTEGER PRIMARY KEY, media_kind INTEGER, is_song INTEGER, title TEXT,"
    " sort_title TEXT, artist TEXT, album TEXT, album_artist TEXT, composer TEXT,"
    " genre_id INTEGER, year INTEGER, track_number INTEGER, disc_number INTEGER,"
    " total_time_ms INTEGER, physical_order INTEGER, date_created INTEGER);"
    "CREATE TABLE genre_map (id INTEGER PRIMARY KEY, genre TEXT);"
    "CREATE TABLE container (pid INTEGER PRIMARY KEY, distinguished_kind INTEGER,"
    " date_created INTEGER, name TEXT, parent_pid INTEGER, is_hidden INTEGER, smart_rules BLOB);"
    "CREATE TABLE item_to_container (item_pid INTEGER, container_pid INTEGER,"
    " physical_order INTEGER, shuffle_order INTEGER);";
inline constexpr const char* kLocationsSchema =
    "CREATE TABLE location (item_pid INTEGER PRIMARY KEY, sub_id INTEGER, base_location_id"
    " INTEGER, location_type INTEGER, location TEXT, extension INTEGER, kind_id INTEGER,"
    " date_created INTEGER, file_size INTEGER);";
inline constexpr const char* kDynamicSchema =
    "CREATE TABLE item_stats (item_pid INTEGER PRIMARY KEY, has_been_played INTEGER,"
    " date_played INTEGER, play_count_user INTEGER, play_count_recent INTEGER,"
    " date_skipped INTEGER, skip_count_user INTEGER, skip_count_recent INTEGER,"
    " bookmark_time_ms REAL, user_rating INTEGER);";

}  // namespace pelmar::test
