#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "platform/player_path_open.h"

struct sqlite3;
struct sqlite3_stmt;

namespace pelmar {

// How reading one of the player's SQLite databases ended.
struct SqliteOutcome {
    enum class End { Read, Locked, Damaged, ForeignSchema, Failed };
    End end = End::Read;
    std::string reason;  // what SQLite said, or which table or column is missing
};

struct SqliteCloser {
    void operator()(sqlite3* db) const;
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// One of the player's SQLite databases.
struct PlayerSqlite {
    PlayerPathStatus status = PlayerPathStatus::Missing;  // how opening the file ended
    SqliteHandle db;        // null when the file or the database could not be opened
    SqliteOutcome failure;  // why, unless the file is missing
};

// Opens `relative` below the player's `root` through the player-file seam, read-only and
// immutable: SQLite then never locks it and never writes or replays a journal beside it, which
// a player unplugged in the middle of a write leaves behind.
[[nodiscard]] PlayerSqlite openPlayerSqlite(const std::string& root, std::string_view relative);

// A read-only database holding a copy of `bytes`; null when SQLite refuses them.
[[nodiscard]] SqliteHandle sqliteFromBytes(std::span<const std::uint8_t> bytes);

// The outcome of an SQLite call on `db` that failed with `code`.
[[nodiscard]] SqliteOutcome sqliteFailure(sqlite3* db, int code);

// Some 5 × 10^8 virtual machine steps: a hundred times what a 100,000-track library takes.
inline constexpr std::uint64_t kSqliteWorkSteps = 500'000'000;

// Bounds the work one reader may make SQLite do, for as long as it lives, to about `steps`
// virtual machine steps: a hostile file can hold a schema whose queries would never end.
class SqliteWorkBudget {
  public:
    explicit SqliteWorkBudget(sqlite3* db, std::uint64_t steps = kSqliteWorkSteps);
    ~SqliteWorkBudget();
    SqliteWorkBudget(const SqliteWorkBudget&) = delete;
    SqliteWorkBudget& operator=(const SqliteWorkBudget&) = delete;

  private:
    static int onProgress(void* self);
    sqlite3* db_;
    std::uint64_t calls_ = 0;
    std::uint64_t maxCalls_;
};

// The lower-cased column names of the table `table`; empty when there is no such table (a view
// or virtual table of that name does not count, since reading one can run arbitrary queries).
struct TableColumns {
    std::set<std::string> names;
    std::optional<SqliteOutcome> failure;  // the schema could not be read

    [[nodiscard]] bool has(std::string_view column) const {
        return names.contains(std::string(column));
    }
    // The column quoted for a query, or NULL when the table lacks it.
    [[nodiscard]] std::string orNull(std::string_view column) const;
};
[[nodiscard]] TableColumns tableColumns(sqlite3* db, std::string_view table);

// A query stepped row by row.
class SqliteQuery {
  public:
    SqliteQuery(sqlite3* db, const std::string& sql);
    ~SqliteQuery();
    SqliteQuery(const SqliteQuery&) = delete;
    SqliteQuery& operator=(const SqliteQuery&) = delete;

    // Moves to the next row; false at the end or on failure, which failure() then holds.
    [[nodiscard]] bool next();
    [[nodiscard]] const std::optional<SqliteOutcome>& failure() const { return failure_; }

    [[nodiscard]] bool isNull(int column) const;
    [[nodiscard]] std::int64_t integer(int column) const;
    // The column's text as UTF-8, cut to `maxBytes`; empty for NULL.
    [[nodiscard]] std::string_view text(int column, std::size_t maxBytes) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    std::optional<SqliteOutcome> failure_;
};

// A failure for a table or column the reader needs and the file lacks.
[[nodiscard]] SqliteOutcome foreignSchema(std::string reason);

}  // namespace pelmar
