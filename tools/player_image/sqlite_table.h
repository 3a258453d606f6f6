#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A thin layer over SQLite's C API for writing whole databases in one transaction. Failures
// throw std::runtime_error naming the file and SQLite's message.
namespace pelmar::player_image {

class SqliteFile {
  public:
    // Creates the database afresh; the transaction is open until finish().
    explicit SqliteFile(const std::filesystem::path& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void exec(const std::string& sql);
    [[nodiscard]] sqlite3* handle() const { return db_; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::string failure(std::string_view what) const;
    // Commits and closes.
    void finish();

  private:
    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
};

struct Column {
    std::string_view name;
    std::string_view type;  // with its constraints: "INTEGER PRIMARY KEY"
};

// NULL, an integer, or UTF-8 text.
using Value = std::variant<std::nullptr_t, std::int64_t, std::string_view>;

// A table and a prepared insert into it. Columns named in `leftOut` are not created, and the
// values given for them are dropped, so that damaged schemas need no rows of their own.
class TableWriter {
  public:
    TableWriter(SqliteFile& file, std::string_view table, std::span<const Column> columns,
                std::initializer_list<std::string_view> leftOut = {});
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // One value per column of the full list, in its order.
    void row(std::initializer_list<Value> values);

  private:
    SqliteFile& file_;
    sqlite3_stmt* insert_ = nullptr;
    std::vector<bool> kept_;
};

// An integer column value from unsigned bits: pids keep their 64 bits.
[[nodiscard]] inline Value integer(std::uint64_t bits) {
    return static_cast<std::int64_t>(bits);
}
// NULL for an absent text.
[[nodiscard]] inline Value textOrNull(const std::string& text) {
    return text.empty() ? Value{nullptr} : Value{std::string_view(text)};
}

}  // namespace pelmar::player_image
