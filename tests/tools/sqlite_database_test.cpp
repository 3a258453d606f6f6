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

using Row = std::vector<std::string>;  // NULL reads as ""

// Read-only unless asked otherwise; immutable ignores journals, as a reader of a player must.
enum class Access { ReadOnly, Immutable, Writable };

struct Answer {
    int status = SQLITE_OK;  // of the first step that failed, else SQLITE_DONE
    std::vector<Row> rows;
    std::set<std::string> nulls;  // "row:column" of the NULL values
};

Answer ask(const std::filesystem::path& path, const std::string& sql,
           Access access = Access::ReadOnly) {
    std::string uri = "file:";
    for (const char c : path.string()) {
        uri += c == ' ' ? std::string("%20") : std::string(1, c);
    }
    uri += access == Access::Immutable ? "?immutable=1" : "";
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    Answer answer;
    const int mode = access == Access::Writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    answer.status = sqlite3_open_v2(uri.c_str(), &db, mode | SQLITE_OPEN_URI, nullptr);
    if (answer.status == SQLITE_OK) {
        answer.status = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    }
    while (answer.status == SQLITE_OK || answer.status == SQLITE_ROW) {
        answer.status = sqlite3_step(statement);
        if (answer.status == SQLITE_ROW) {
            Row& row = answer.rows.emplace_back();
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const auto* text = sqlite3_column_text(statement, i);
                if (text == nullptr) {
                    answer.nulls.insert(std::to_string(answer.rows.size() - 1) + ":" +
                                        std::to_string(i));
                }
                row.emplace_back(text == nullptr ? "" : reinterpret_cast<const char*>(text));
            }
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return answer;
}

std::vector<Row> rows(const std::filesystem::path& path, const std::string& sql,
                      Access access = Access::ReadOnly) {
    Answer answer = ask(path, sql, access);
    EXPECT_EQ(answer.status, SQLITE_DONE) << sql;
    return std::move(answer.rows);
}

std::set<std::string> column(const std::filesystem::path& path, const std::string& sql,
                             std::size_t index = 0) {
    std::set<std::string> values;
    for (const Row& row : rows(path, sql)) {
        values.insert(row.at(index));
    }
    return values;
}

std::string pid(std::uint64_t bits) {
    return std::to_string(static_cast<std::int64_t>(bits));
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
    [[nodiscard]] std::set<std::string> tables(const std::string& name) const {
        return column(file(name), "SELECT name FROM sqlite_master WHERE type = 'table'");
    }
    [[nodiscard]] std::set<std::string> columns(const std::string& name,
                                                const std::string& table) const {
        return column(file(name), "PRAGMA table_info(" + table + ")", 1);
    }
    // How many of the pids the query gives belong to no track.
    [[nodiscard]] std::size_t unknown(const std::string& name, const std::string& sql) const {
        std::set<std::string> known;
        for (const Track& track : image_.tracks) {
            known.insert(pid(track.databaseId));
        }
        const std::vector<Row> found = rows(file(name), sql);
        return static_cast<std::size_t>(std::count_if(
            found.begin(), found.end(), [&](const Row& row) { return !known.contains(row[0]); }));
    }

    pelmar::test::TempFolder folder_;
    PlayerImage image_;
};

TEST_F(SqliteDatabases, ItemsAreTheTracksOfTheMusicDatabaseInTheirOrder) {
    write();
    std::map<std::string, std::string> genres{{"0", ""}};
    for (const Row& row : rows(file("Library.itdb"), "SELECT id, genre FROM genre_map")) {
        genres[row[0]] = row[1];
    }
    const Answer items = ask(file("Library.itdb"),
                             "SELECT pid, media_kind, title, artist, album, composer, genre_id, "
                             "year, track_number, total_time_ms FROM item ORDER BY physical_order, "
                             "pid");
    ASSERT_EQ(items.rows.size(), image_.tracks.size());
    std::set<bool> absentAsNull;
    for (std::size_t i = 0; i < items.rows.size(); ++i) {
        const Row& row = items.rows[i];
        const Track& t = image_.tracks[i];
        EXPECT_EQ(row, (Row{pid(t.databaseId), std::to_string(t.mediaKind), t.title, t.artist,
                            t.album, t.composer, row[6], std::to_string(t.year),
                            std::to_string(t.trackNumber), std::to_string(t.lengthMs)}));
        EXPECT_EQ(genres.at(row[6]), t.genre);
        for (const auto& [absent, place] :
             {std::pair{t.title.empty(), 2}, std::pair{t.artist.empty(), 3}}) {
            if (absent) {
                absentAsNull.insert(
                    items.nulls.contains(std::to_string(i) + ":" + std::to_string(place)));
            }
        }
    }
    EXPECT_EQ(absentAsNull, (std::set<bool>{false, true})) << "absent as '' and as NULL";
    EXPECT_GT(columns("Library.itdb", "item").size(), 30U) << "realistic extra columns";
}

TEST_F(SqliteDatabases, ContainersHoldTheHiddenMasterFirstThenThePlaylistsInPidOrder) {
    write();
    const std::vector<Row> hidden =
        rows(file("Library.itdb"),
             "SELECT pid, name FROM container WHERE is_hidden = 1 AND parent_pid = 0 ORDER BY pid");
    ASSERT_GT(hidden.size(), 1U) << "the player's own containers are hidden too";
    EXPECT_EQ(hidden[0], (Row{pid(playlistDatabaseId(0)), image_.playlists[0].name}));

    const std::vector<Row> visible = rows(file("Library.itdb"),
                                          "SELECT pid, name FROM container WHERE is_hidden = 0 "
                                          "ORDER BY pid");
    ASSERT_EQ(visible.size(), image_.playlists.size() - 1);
    std::map<std::uint32_t, std::string> pids;
    for (const Track& track : image_.tracks) {
        pids[track.id] = pid(track.databaseId);
    }
    for (std::size_t i = 0; i < visible.size(); ++i) {
        const Playlist& playlist = image_.playlists[i + 1];
        EXPECT_EQ(visible[i][1], playlist.name);
        std::vector<Row> expected;
        for (const std::uint32_t id : playlist.items) {
            expected.push_back({pids.at(id)});
        }
        EXPECT_EQ(rows(file("Library.itdb"),
                       "SELECT item_pid FROM item_to_container WHERE container_pid = " +
                           visible[i][0] + " ORDER BY physical_order"),
                  expected)
            << playlist.name;
    }
}

TEST_F(SqliteDatabases, LocationsAndPlayDataBelongToTheirTracksAndPlayDataIsNewer) {
    write();
    std::map<std::string, Row> places;
    for (Row& row :
         rows(file("Locations.itdb"), "SELECT item_pid, location, file_size FROM location")) {
        places[row[0]] = std::move(row);
    }
    std::map<std::string, Row> stats;
    for (Row& row : rows(file("Dynamic.itdb"),
                         "SELECT item_pid, play_count_user, date_played, skip_count_user, "
                         "date_skipped, user_rating FROM item_stats")) {
        stats[row[0]] = std::move(row);
    }
    std::size_t morePlays = 0;
    std::size_t newRatings = 0;
    for (const Track& track : image_.tracks) {
        const std::string key = pid(track.databaseId);
        std::string location = track.location.substr(std::string(":iPod_Control:Music:").size());
        std::replace(location.begin(), location.end(), ':', '/');
        EXPECT_EQ(places.at(key), (Row{key, location, std::to_string(track.size)}));
        if (!stats.contains(key)) {
            continue;
        }
        const Row& row = stats.at(key);
        const std::uint32_t plays = std::stoul(row[1]);
        EXPECT_GE(plays, track.playCount) << key;
        EXPECT_EQ(plays == 0, row[2] == "0") << "never played means no time";
        EXPECT_EQ(row[3] == "0", row[4] == "0") << "never skipped means no time";
        // Seconds since 2001: played after the sync of September 2012.
        EXPECT_TRUE(plays == track.playCount || std::stoul(row[2]) > 368'150'400U) << key;
        morePlays += plays > track.playCount ? 1 : 0;
        newRatings += std::to_string(track.rating) != row[5] ? 1 : 0;
    }
    EXPECT_GT(stats.size(), image_.tracks.size() * 9 / 10);
    EXPECT_LT(stats.size(), image_.tracks.size()) << "a few tracks have no row";
    EXPECT_GT(morePlays, image_.tracks.size() / 4);
    EXPECT_GT(newRatings, 0U);
}

TEST_F(SqliteDatabases, HostileVariantsAreWhatTheySay) {
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
             EXPECT_EQ(ask(t.file("Library.itdb"), "SELECT * FROM item").status, SQLITE_NOTADB);
             EXPECT_EQ(t.tables("Dynamic.itdb"), (std::set<std::string>{"item_stats"}));
         }},
        {SqliteDamage::UnknownIds,
         [](SqliteDatabases& t) {
             EXPECT_EQ(t.unknown("Library.itdb", "SELECT item_pid FROM item_to_container"),
                       kUnknownPids);
             EXPECT_EQ(t.unknown("Locations.itdb", "SELECT item_pid FROM location"), kUnknownPids);
             EXPECT_EQ(t.unknown("Dynamic.itdb", "SELECT item_pid FROM item_stats"), kUnknownPids);
         }},
        {SqliteDamage::Journal,
         [](SqliteDatabases& t) {
             EXPECT_EQ(ask(t.file("Dynamic.itdb"), "SELECT COUNT(*) FROM item_stats").status,
                       SQLITE_READONLY)
                 << "the journal wants rolling back";
             // Where it may write, SQLite rolls back to the play data of the sync.
             pelmar::test::TempFolder copy;
             for (const char* name : {"Dynamic.itdb", "Dynamic.itdb-journal"}) {
                 std::filesystem::copy_file(t.file(name), copy.path() / name);
             }
             const std::string sql =
                 "SELECT item_pid, play_count_user FROM item_stats ORDER BY item_pid";
             const std::vector<Row> newest = rows(t.file("Dynamic.itdb"), sql, Access::Immutable);
             const std::vector<Row> synced =
                 rows(copy.path() / "Dynamic.itdb", sql, Access::Writable);
             std::vector<Row> expected;
             for (const Track& track : t.image_.tracks) {
                 expected.push_back({pid(track.databaseId), std::to_string(track.playCount)});
             }
             std::sort(expected.begin(), expected.end(), [](const Row& a, const Row& b) {
                 return std::stoll(a[0]) < std::stoll(b[0]);
             });
             EXPECT_EQ(synced, expected);
             EXPECT_NE(newest, expected);
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
