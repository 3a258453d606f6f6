#include "library/sqlite_library_reader.h"

#include <gtest/gtest.h>

#include "library/compressed_database.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "support/later_player_files.h"
#include "support/recording_progress.h"
#include "util/text_codec.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

class SqliteLibrary : public ::testing::Test {
  protected:
    SqliteLibrary() { library.rootPath = folder.root(); }

    void write(const std::string& librarySql, const std::string& locationsSql) {
        test::writeSqlite(test::libraryFolder(folder.path()) / "Library.itdb", {librarySql});
        test::writeSqlite(test::libraryFolder(folder.path()) / "Locations.itdb", {locationsSql});
    }

    test::TempFolder folder;
    TextCodec western{"CP1252"};
    PlayerLibrary library{western};
};

TEST_F(SqliteLibrary, BuildsTracksAndPlaylistsUnderTheMusicDatabasesRules) {
    const std::string longTitle(300, 't');
    write(std::string(test::kLibrarySchema) +
              "INSERT INTO genre_map VALUES (0, 'None'), (1, 'Rock'), (2, 'Talk');"
              "INSERT INTO item (pid, media_kind, title, artist, album, composer, genre_id, year,"
              " track_number, total_time_ms, physical_order) VALUES"
              " (-5, 1, 'Caf\xC3\xA9', 'Band', 'Live', NULL, 1, 2001, 3, 61500, 1),"
              " (900, 2, 'Film', '', NULL, NULL, 0, -4, 0, 7200000, 2),"
              " (42, 4, 'Episode', 'Host', NULL, '\xE6\x97\xA5', 2, 2010, 1, 1000, 0),"
              " (43, 1, '" +
              longTitle +
              "', NULL, NULL, NULL, 9, 0, 0, 0, 3);"
              "INSERT INTO container (pid, name, parent_pid, is_hidden) VALUES"
              " (7, 'My nano', 0, 1), (8, 'Inside', 7, 1), (9, 'Hidden', 0, 1),"
              " (11, 'beta', 0, 0), (10, 'Alpha', 0, 0), (12, '" +
              std::string(300, 'p') +
              "', 0, 0);"
              "INSERT INTO item_to_container (item_pid, container_pid, physical_order) VALUES"
              " (42, 11, 2), (900, 11, 0), (777, 11, 1), (-5, 10, 0), (43, 9, 0);",
          std::string(test::kLocationsSchema) +
              "INSERT INTO location (item_pid, location, file_size) VALUES"
              " (-5, 'F00/ABCD.mp3', 1234), (900, 'F01/FILM.M4V', 99), (42, '/F02/EP.m4b', 5),"
              " (777, 'F03/GONE.mp3', 1);");
    const std::optional<SqliteOutcome> outcome = readSqliteLibrary(library);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->end, SqliteOutcome::End::Read) << outcome->reason;
    EXPECT_EQ(outcome->reason, "");

    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{1, 2, 3, 4})) << "physical order";
    EXPECT_EQ(library.videoIds, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(library.podcastCount, 1);
    const MhTrackData& song = library.tracks.at(2);
    EXPECT_EQ(song.databaseId, static_cast<std::uint64_t>(-5));
    EXPECT_EQ(song.title, "Caf\xE9") << "stored in the code page";
    EXPECT_EQ(std::tie(song.artist, song.album, song.genre, song.composer),
              std::make_tuple("Band", "Live", "Rock", ""));
    EXPECT_EQ(std::tie(song.year, song.trackNumber, song.lengthMs, song.size, song.fileType),
              std::make_tuple(2001U, 3U, 61500U, 1234U, std::uint8_t{2}));
    EXPECT_EQ(song.location, ":iPod_Control:Music:F00:ABCD.mp3");
    EXPECT_EQ(library.tracks.at(1).location, ":iPod_Control:Music:F02:EP.m4b");
    EXPECT_EQ(library.tracks.at(1).fileType, 8);
    EXPECT_EQ(library.tracks.at(1).composer, "\xE6\x97\xA5") << "UTF-8 where the code page fails";
    EXPECT_EQ(library.tracks.at(3).fileType, 12);
    EXPECT_EQ(library.tracks.at(3).year, 0U) << "a negative year is none";
    EXPECT_EQ(library.tracks.at(3).genre, "") << "genre id 0 is none";
    EXPECT_EQ(library.tracks.at(4).title, std::string(256, 't'));
    EXPECT_EQ(library.tracks.at(4).location, "");
    EXPECT_EQ(library.tracks.at(4).genre, "") << "a genre id of no genre";

    EXPECT_EQ(library.playlistNames,
              (std::vector<std::string>{"My nano", "Alpha", "beta", std::string(300, 'p')}));
    EXPECT_EQ(library.playlistItems.at("My nano"), library.trackIds);
    EXPECT_EQ(library.playlistItems.at("Alpha"), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(library.playlistItems.at("beta"), (std::vector<std::uint32_t>{3, 1}));
}

TEST_F(SqliteLibrary, FilesItCannotUseLeaveTheLibraryAsItWas) {
    const std::string minimalItems =
        "CREATE TABLE item (pid INTEGER); INSERT INTO item VALUES (3), (1);";
    const std::string minimalLocations = "CREATE TABLE location (item_pid INTEGER, location TEXT);";
    struct Case {
        std::string items;
        std::string locations;
        SqliteOutcome::End end;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"CREATE TABLE genre_map (id, genre);", minimalLocations, SqliteOutcome::End::ForeignSchema,
         "Library.itdb has no table item with pid"},
        {"CREATE TABLE item (title TEXT);", minimalLocations, SqliteOutcome::End::ForeignSchema,
         "Library.itdb has no table item with pid"},
        {"CREATE TABLE t (pid); CREATE VIEW item AS SELECT pid FROM t;", minimalLocations,
         SqliteOutcome::End::ForeignSchema, "Library.itdb has no table item with pid"},
        {minimalItems, "CREATE TABLE location (item_pid INTEGER, path TEXT);",
         SqliteOutcome::End::ForeignSchema,
         "Locations.itdb has no table location with item_pid and location"},
        {minimalItems, minimalLocations, SqliteOutcome::End::Read,
         "no genres: Library.itdb has no table genre_map with id and genre; no playlists: "
         "Library.itdb has no table container with pid, parent_pid and is_hidden"},
    };
    for (const Case& c : cases) {
        PlayerLibrary loaded(western);
        loaded.rootPath = folder.root();
        loaded.trackIds = {99};
        fs::remove_all(test::libraryFolder(folder.path()));
        write(c.items, c.locations);
        const std::optional<SqliteOutcome> outcome = readSqliteLibrary(loaded);
        ASSERT_TRUE(outcome.has_value()) << c.items;
        EXPECT_EQ(outcome->end, c.end) << c.items;
        EXPECT_EQ(outcome->reason, c.reason) << c.items;
        if (c.end != SqliteOutcome::End::Read) {
            EXPECT_EQ(loaded.trackIds, std::vector<std::uint32_t>{99}) << c.items;
            continue;
        }
        ASSERT_EQ(loaded.trackIds, (std::vector<std::uint32_t>{1, 2}));
        EXPECT_EQ(loaded.tracks.at(1).databaseId, 1U) << "without an order, by pid";
        EXPECT_EQ(loaded.playlistNames, (std::vector<std::string>{"Pelmar"}));
    }

    test::writeFile(test::libraryFolder(folder.path()) / "Library.itdb",
                    std::vector<std::uint8_t>(4096, 0x5A));
    const std::optional<SqliteOutcome> damaged = readSqliteLibrary(library);
    ASSERT_TRUE(damaged.has_value());
    EXPECT_EQ(damaged->end, SqliteOutcome::End::Damaged) << damaged->reason;
    fs::remove(test::libraryFolder(folder.path()) / "Locations.itdb");
    EXPECT_FALSE(readSqliteLibrary(library).has_value());
}

// Which database the library comes from: the compressed one unless it is empty, the
// uncompressed one, and the SQLite files where neither describes any track.
TEST_F(SqliteLibrary, StandsInForAMissingEmptyOrDamagedMusicDatabase) {
    write(std::string(test::kLibrarySchema) +
              "INSERT INTO item (pid, title) VALUES (1, 'a'), (2, 'b');",
          test::kLocationsSchema);
    const auto database = [](std::uint32_t tracks) {
        test::DatabaseBytes db;
        db.root(0xF4).dataset(1).trackList(tracks);
        for (std::uint32_t id = 1; id <= tracks; ++id) {
            test::TrackHeader track;
            track.id = id;
            db.track(track);
        }
        return db.bytes();
    };
    const std::vector<std::uint8_t> compressed = test::compressedDatabase(database(3));
    using Bytes = std::optional<std::vector<std::uint8_t>>;
    const std::vector<std::uint8_t> empty;
    struct Case {
        const char* what;
        Bytes cdb;
        Bytes db;
        MusicSource source;
        std::size_t tracks;
    };
    const std::vector<Case> cases = {
        {"only the SQLite files", std::nullopt, std::nullopt, MusicSource::SqliteFiles, 2},
        {"both databases empty", empty, empty, MusicSource::SqliteFiles, 2},
        {"a damaged compressed one",
         std::vector<std::uint8_t>(compressed.begin(), compressed.end() - 2), empty,
         MusicSource::SqliteFiles, 2},
        {"a compressed one", compressed, database(1), MusicSource::Compressed, 3},
        {"an empty compressed one", empty, database(1), MusicSource::Uncompressed, 1},
    };
    const fs::path itunes = folder.path() / "iPod_Control" / "iTunes";
    for (const Case& c : cases) {
        for (const auto& [name, bytes] : {std::pair{"iTunesCDB", c.cdb}, {"iTunesDB", c.db}}) {
            fs::remove(itunes / name);
            if (bytes) {
                test::writeFile(itunes / name, *bytes);
            }
        }
        test::RecordingProgress progress;
        const LoadReport report = loadLibraryFromRoot(library, folder.root(), progress);
        EXPECT_EQ(report.musicSource, c.source) << c.what;
        EXPECT_EQ(library.trackIds.size(), c.tracks) << c.what;
        EXPECT_EQ(report.libraryFiles.has_value(), c.source == MusicSource::SqliteFiles) << c.what;
        EXPECT_EQ(progress.statuses,
                  (std::vector<std::string>{"Reading Music...", "Reading Play Data...",
                                            "Reading Photos...", "Reading Artwork..."}))
            << c.what;
        EXPECT_EQ(hasCompressedDatabase(folder.root()), c.cdb && !c.cdb->empty()) << c.what;
    }
}

}  // namespace
}  // namespace pelmar
