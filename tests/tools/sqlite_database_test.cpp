#include <gtest/gtest.h>

#include <sqlite3.h>

#include <map>
#include <optional>
#include <set>
#include <string>

#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar::player_image::test {
namespace {

using Row = std::vector<std::optional<std::string>>;

enum class Access { ReadOnly, Immutable, Writable };

// Rows as text, NULL as nullopt. Read-only unless asked otherwise; immutable ignores journals, as
// a reader of a player must.
class Database {
  public:
    explicit Database(const std::filesystem::path& path, Access access = Access::ReadOnly) {
        std::string uri = "file:";
        for (const char c : path.string()) {
            uri += c == ' ' ? std::string("%20") : std::string(1, c);
        }
        uri += access == Access::Immutable ? "?immutable=1" : "";
        status_ = sqlite3_open_v2(
            uri.c_str(), &db_,
            (access == Access::Writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                SQLITE_OPEN_URI,
            nullptr);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The rows, or nullopt with the error code kept in status().
    std::optional<std::vector<Row>> query(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        status_ = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
        if (status_ != SQLITE_OK) {
            return std::nullopt;
        }
        std::vector<Row> rows;
        while ((status_ = sqlite3_step(statement)) == SQLITE_ROW) {
            Row row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const auto* text = sqlite3_column_text(statement, i);
                row.push_back(text == nullptr ? std::nullopt
                                              : std::optional<std::string>(
                                                    reinterpret_cast<const char*>(text)));
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        return status_ == SQLITE_DONE ? std::optional(std::move(rows)) : std::nullopt;
    }

    std::vector<Row> rows(const std::string& sql) {
        auto result = query(sql);
        EXPECT_TRUE(result.has_value()) << sql << ": " << sqlite3_errmsg(db_);
        return result.value_or(std::vector<Row>{});
    }

    [[nodiscard]] int status() const { return status_; }

  private:
    sqlite3* db_ = nullptr;
    int status_ = SQLITE_OK;
};

std::string pid(std::uint64_t bits) {
    return std::to_string(static_cast<std::int64_t>(bits));
}

std::string text(const std::optional<std::string>& value) {
    return value.value_or("");
}

// Public, so that the table of hostile cases can reach it.
class SqliteDatabases : public ::testing::Test {
  public:
    void write(SqliteDamage damage = SqliteDamage::None, std::uint32_t tracks = 300) {
        Options options = optionsFor(Model::Nano7G);
        options.trackCount = tracks;
        options.withMedia = false;
        options.withPhotos = false;
        options.withArtwork = false;
        options.sqliteDamage = damage;
        image_ = generatePlayerImage(options);
        std::string error;
        ASSERT_TRUE(writePlayerImage(image_, folder_.path(), options, error)) << error;
    }

    [[nodiscard]] std::filesystem::path file(const std::string& name) const {
        return sqliteFolderPath(folder_.path()) / name;
    }

    // The first column of what the query gives, in the named database.
    [[nodiscard]] std::set<std::string> names(const std::string& name, const std::string& sql,
                                              std::size_t column = 0) const {
        Database db(file(name));
        std::set<std::string> found;
        for (const Row& row : db.rows(sql)) {
            found.insert(text(row.at(column)));
        }
        return found;
    }
    [[nodiscard]] std::set<std::string> tables(const std::string& name) const {
        return names(name, "SELECT name FROM sqlite_master WHERE type = 'table'");
    }
    [[nodiscard]] std::set<std::string> columns(const std::string& name,
                                                const std::string& table) const {
        return names(name, "PRAGMA table_info(" + table + ")", 1);
    }

    pelmar::test::TempFolder folder_;
    PlayerImage image_;
};

TEST_F(SqliteDatabases, ItemsAreTheTracksOfTheMusicDatabaseInTheirOrder) {
    write();
    Database library(file("Library.itdb"));
    std::map<std::string, std::string> genres{{"0", ""}};
    for (const Row& row : library.rows("SELECT id, genre FROM genre_map")) {
        genres[text(row[0])] = text(row[1]);
    }
    const std::vector<Row> items = library.rows(
        "SELECT pid, media_kind, title, artist, album, composer, genre_id, year, track_number, "
        "total_time_ms FROM item ORDER BY physical_order, pid");
    ASSERT_EQ(items.size(), image_.tracks.size());
    std::set<bool> absentAsNull;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Row& row = items[i];
        const Track& track = image_.tracks[i];
        SCOPED_TRACE(track.id);
        EXPECT_EQ(row[0], pid(track.databaseId));
        EXPECT_EQ(row[1], std::to_string(track.mediaKind));
        EXPECT_EQ(text(row[2]), track.title);
        EXPECT_EQ(text(row[3]), track.artist);
        EXPECT_EQ(text(row[4]), track.album);
        EXPECT_EQ(text(row[5]), track.composer);
        EXPECT_EQ(genres.at(text(row[6])), track.genre);
        EXPECT_EQ(row[7], std::to_string(track.year));
        EXPECT_EQ(row[8], std::to_string(track.trackNumber));
        EXPECT_EQ(row[9], std::to_string(track.lengthMs));
        if (track.title.empty()) {
            absentAsNull.insert(!row[2].has_value());
        }
        if (track.artist.empty()) {
            absentAsNull.insert(!row[3].has_value());
        }
    }
    EXPECT_EQ(absentAsNull, (std::set<bool>{false, true})) << "absent as '' and as NULL";
    EXPECT_GT(columns("Library.itdb", "item").size(), 30U) << "realistic extra columns";
}

TEST_F(SqliteDatabases, ContainersHoldTheHiddenMasterFirstThenThePlaylistsInPidOrder) {
    write();
    Database library(file("Library.itdb"));
    const std::vector<Row> hidden = library.rows(
        "SELECT pid, name FROM container WHERE is_hidden = 1 AND parent_pid = 0 ORDER BY pid");
    ASSERT_GT(hidden.size(), 1U) << "the player's own containers are hidden too";
    EXPECT_EQ(hidden[0][0], pid(playlistDatabaseId(0)));
    EXPECT_EQ(text(hidden[0][1]), image_.playlists[0].name);

    const std::vector<Row> visible =
        library.rows("SELECT pid, name FROM container WHERE is_hidden = 0 ORDER BY pid");
    ASSERT_EQ(visible.size(), image_.playlists.size() - 1);
    std::map<std::uint32_t, std::uint64_t> pids;
    for (const Track& track : image_.tracks) {
        pids[track.id] = track.databaseId;
    }
    for (std::size_t i = 0; i < visible.size(); ++i) {
        const Playlist& playlist = image_.playlists[i + 1];
        SCOPED_TRACE(playlist.name);
        EXPECT_EQ(text(visible[i][1]), playlist.name);
        const std::vector<Row> items = library.rows(
            "SELECT item_pid FROM item_to_container WHERE container_pid = " + text(visible[i][0]) +
            " ORDER BY physical_order");
        ASSERT_EQ(items.size(), playlist.items.size());
        for (std::size_t place = 0; place < items.size(); ++place) {
            EXPECT_EQ(items[place][0], pid(pids.at(playlist.items[place])));
        }
    }
}

TEST_F(SqliteDatabases, LocationsAndPlayDataBelongToTheirTracksAndPlayDataIsNewer) {
    write();
    Database locations(file("Locations.itdb"));
    Database dynamic(file("Dynamic.itdb"));
    std::size_t missingRows = 0;
    std::size_t morePlays = 0;
    std::size_t newRatings = 0;
    for (const Track& track : image_.tracks) {
        SCOPED_TRACE(track.id);
        const std::string where = " WHERE item_pid = " + pid(track.databaseId);
        const std::vector<Row> place =
            locations.rows("SELECT location, file_size FROM location" + where);
        ASSERT_EQ(place.size(), 1U);
        const std::string prefix = ":iPod_Control:Music:";
        std::string expected = track.location.substr(prefix.size());
        std::replace(expected.begin(), expected.end(), ':', '/');
        EXPECT_EQ(text(place[0][0]), expected);
        EXPECT_EQ(place[0][1], std::to_string(track.size));

        const std::vector<Row> stats = dynamic.rows(
            "SELECT play_count_user, date_played, skip_count_user, date_skipped, "
            "bookmark_time_ms, user_rating FROM item_stats" +
            where);
        if (stats.empty()) {
            ++missingRows;
            continue;
        }
        const std::uint32_t plays = std::stoul(text(stats[0][0]));
        const std::uint32_t played = std::stoul(text(stats[0][1]));
        EXPECT_GE(plays, track.playCount);
        EXPECT_EQ(plays == 0, played == 0) << "never played means no time";
        EXPECT_EQ(std::stoul(text(stats[0][2])) == 0, std::stoul(text(stats[0][3])) == 0);
        EXPECT_EQ(std::stoul(text(stats[0][5])) % 20, 0U);
        if (plays > track.playCount) {
            ++morePlays;
            // Seconds since 2001: played after the sync of September 2012.
            EXPECT_GT(played, 368'150'400U);
        }
        newRatings += std::to_string(track.rating) != text(stats[0][5]) ? 1 : 0;
    }
    EXPECT_GT(missingRows, 0U);
    EXPECT_LT(missingRows, image_.tracks.size() / 10);
    EXPECT_GT(morePlays, image_.tracks.size() / 4);
    EXPECT_GT(newRatings, 0U);
}

TEST_F(SqliteDatabases, HostileVariantsAreWhatTheySay) {
    const auto count = [](Database& db, const std::string& sql) {
        return std::stoul(text(db.rows(sql).at(0).at(0)));
    };
    const struct {
        SqliteDamage damage;
        std::function<void(SqliteDatabases&)> check;
    } cases[] = {
        {SqliteDamage::MissingTables,
         [](SqliteDatabases& t) {
             EXPECT_EQ(t.tables("Library.itdb"), (std::set<std::string>{"item", "container"}));
             EXPECT_TRUE(t.tables("Dynamic.itdb").empty());
         }},
        {SqliteDamage::MissingColumns,
         [](SqliteDatabases& t) {
             const std::set<std::string> item = t.columns("Library.itdb", "item");
             EXPECT_FALSE(item.contains("composer") || item.contains("year"));
             EXPECT_TRUE(item.contains("title"));
             EXPECT_FALSE(t.columns("Dynamic.itdb", "item_stats").contains("bookmark_time_ms"));
             EXPECT_FALSE(t.columns("Locations.itdb", "location").contains("file_size"));
         }},
        {SqliteDamage::NotSqlite,
         [](SqliteDatabases& t) {
             Database library(t.file("Library.itdb"));
             EXPECT_FALSE(library.query("SELECT * FROM item").has_value());
             EXPECT_EQ(library.status(), SQLITE_NOTADB);
             EXPECT_EQ(t.tables("Dynamic.itdb"), (std::set<std::string>{"item_stats"}));
         }},
        {SqliteDamage::UnknownIds,
         [&count](SqliteDatabases& t) {
             const std::string known = " NOT IN (" + [&] {
                 std::string pids = "0";
                 for (const Track& track : t.image_.tracks) {
                     pids += "," + pid(track.databaseId);
                 }
                 return pids;
             }() + ")";
             Database library(t.file("Library.itdb"));
             Database locations(t.file("Locations.itdb"));
             Database dynamic(t.file("Dynamic.itdb"));
             const auto unknown = kUnknownPids;
             EXPECT_EQ(
                 count(library, "SELECT COUNT(*) FROM item_to_container WHERE item_pid" + known),
                 unknown);
             EXPECT_EQ(count(locations, "SELECT COUNT(*) FROM location WHERE item_pid" + known),
                       unknown);
             EXPECT_EQ(count(dynamic, "SELECT COUNT(*) FROM item_stats WHERE item_pid" + known),
                       unknown);
         }},
        {SqliteDamage::Journal,
         [&count](SqliteDatabases& t) {
             Database plain(t.file("Dynamic.itdb"));
             EXPECT_FALSE(plain.query("SELECT COUNT(*) FROM item_stats").has_value());
             EXPECT_EQ(plain.status(), SQLITE_READONLY) << "the journal wants rolling back";
             // Where it may write, SQLite rolls back to the play data of the sync.
             pelmar::test::TempFolder copy;
             for (const char* name : {"Dynamic.itdb", "Dynamic.itdb-journal"}) {
                 std::filesystem::copy_file(t.file(name), copy.path() / name);
             }
             Database newest(t.file("Dynamic.itdb"), Access::Immutable);
             Database rolledBack(copy.path() / "Dynamic.itdb", Access::Writable);
             std::size_t differing = 0;
             for (const Track& track : t.image_.tracks) {
                 const std::string where =
                     " FROM item_stats WHERE item_pid = " + pid(track.databaseId);
                 ASSERT_EQ(count(rolledBack, "SELECT play_count_user" + where), track.playCount);
                 const auto rows = newest.rows("SELECT play_count_user" + where);
                 differing += rows.empty() || text(rows[0][0]) != std::to_string(track.playCount);
             }
             EXPECT_GT(differing, 0U);
             EXPECT_FALSE(std::filesystem::exists(copy.path() / "Dynamic.itdb-journal"));
         }},
    };
    for (const auto& variant : cases) {
        SCOPED_TRACE(static_cast<int>(variant.damage));
        write(variant.damage, 120);
        variant.check(*this);
    }
}

}  // namespace
}  // namespace pelmar::player_image::test
