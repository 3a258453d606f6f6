#include "player_image/sqlite_table.h"

#include <algorithm>
#include <stdexcept>

namespace pelmar::player_image {

SqliteFile::SqliteFile(const std::filesystem::path& path) : path_(path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string message = failure("cannot create");
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error(message);
    }
    // Nothing to recover if writing fails half-way: the image is written afresh.
    exec("PRAGMA journal_mode=OFF");
    exec("PRAGMA synchronous=OFF");
    // A large library's tables fit, so that no page is written twice.
    exec("PRAGMA cache_size=-131072");
    exec("BEGIN");
}

SqliteFile::~SqliteFile() {
    sqlite3_close(db_);
}

void SqliteFile::exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw std::runtime_error(failure("cannot run \"" + sql + "\" in"));
    }
}

std::string SqliteFile::failure(std::string_view what) const {
    return std::string(what) + " " + path_.string() + ": " +
           (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
}

void SqliteFile::finish() {
    exec("COMMIT");
    if (sqlite3_close(db_) != SQLITE_OK) {
        throw std::runtime_error(failure("cannot close"));
    }
    db_ = nullptr;
}

TableWriter::TableWriter(SqliteFile& file, std::string_view table, std::span<const Column> columns,
                         std::initializer_list<std::string_view> leftOut)
    : file_(file) {
    std::string create = "CREATE TABLE " + std::string(table) + " (";
    std::string names;
    std::string places;
    for (const Column& column : columns) {
        const bool kept = std::find(leftOut.begin(), leftOut.end(), column.name) == leftOut.end();
        kept_.push_back(kept);
        if (!kept) {
            continue;
        }
        const char* separator = places.empty() ? "" : ", ";
        create.append(separator).append(column.name).append(" ").append(column.type);
        names.append(separator).append(column.name);
        places.append(separator).append("?");
    }
    file_.exec(create + ")");
    const std::string insert =
        "INSERT INTO " + std::string(table) + " (" + names + ") VALUES (" + places + ")";
    if (sqlite3_prepare_v2(file_.handle(), insert.c_str(), -1, &insert_, nullptr) != SQLITE_OK) {
        throw std::runtime_error(file_.failure("cannot prepare an insert into"));
    }
}

TableWriter::~TableWriter() {
    sqlite3_finalize(insert_);
}

void TableWriter::row(std::initializer_list<Value> values) {
    if (values.size() != kept_.size()) {
        throw std::logic_error("a row of " + std::to_string(values.size()) + " values for " +
                               std::to_string(kept_.size()) + " columns");
    }
    int place = 0;
    std::size_t column = 0;
    for (const Value& value : values) {
        if (!kept_[column++]) {
            continue;
        }
        ++place;
        if (const auto* number = std::get_if<std::int64_t>(&value)) {
            sqlite3_bind_int64(insert_, place, *number);
        } else if (const auto* text = std::get_if<std::string_view>(&value)) {
            // The values outlive the step below.
            sqlite3_bind_text(insert_, place, text->data(), static_cast<int>(text->size()),
                              SQLITE_STATIC);
        } else {
            sqlite3_bind_null(insert_, place);
        }
    }
    if (sqlite3_step(insert_) != SQLITE_DONE) {
        throw std::runtime_error(file_.failure("cannot insert into"));
    }
    sqlite3_reset(insert_);
}

}  // namespace pelmar::player_image
