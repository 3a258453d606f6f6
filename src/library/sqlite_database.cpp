#include "library/sqlite_database.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <sqlite3.h>

#include "platform/descriptor_path.h"

namespace pelmar {

namespace {

// No text or blob the readers take is anywhere near this; a hostile file's may be far larger.
constexpr int kMaxValueLength = 16 << 20;
constexpr int kOpsPerProgressCall = 10'000;

void limitValues(sqlite3* db) {
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueLength);
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return out;
}

}  // namespace

void SqliteCloser::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

PlayerSqlite openPlayerSqlite(const std::string& root, std::string_view relative) {
    PlayerSqlite opened;
    const PlayerPathFile file = openPlayerPath(root, relative);
    opened.status = file.status;
    switch (file.status) {
        case PlayerPathStatus::Opened:
            break;
        case PlayerPathStatus::Missing:
            return opened;
        case PlayerPathStatus::LeadsOutside:
            opened.failure = {SqliteOutcome::End::Failed, "a link leads outside the player"};
            return opened;
        case PlayerPathStatus::NotRegularFile:
            opened.failure = {SqliteOutcome::End::Failed, "not a regular file"};
            return opened;
        case PlayerPathStatus::Failed:
            opened.failure = {SqliteOutcome::End::Failed, std::strerror(file.error)};
            return opened;
    }
    // SQLite opens the file by name; the descriptor's own name makes it the file just checked.
    const std::string uri = "file:" + descriptorPath(file.fd.get()) + "?mode=ro&immutable=1";
    sqlite3* db = nullptr;
    // A connection lives on the thread that opened it, so SQLite need not lock it on every call.
    const int code = sqlite3_open_v2(
        uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(db);
    if (code != SQLITE_OK) {
        opened.failure = sqliteFailure(db, code);
        return opened;
    }
    limitValues(db);
    opened.db = std::move(handle);
    return opened;
}

SqliteHandle sqliteFromBytes(std::span<const std::uint8_t> bytes) {
    sqlite3* db = nullptr;
    SqliteHandle handle;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return handle;
    }
    handle.reset(db);
    auto* copy =
        static_cast<unsigned char*>(sqlite3_malloc64(std::max<std::size_t>(bytes.size(), 1)));
    if (copy == nullptr) {
        return {};
    }
    if (!bytes.empty()) {
        std::memcpy(copy, bytes.data(), bytes.size());
    }
    const auto size = static_cast<sqlite3_int64>(bytes.size());
    if (sqlite3_deserialize(db, "main", copy, size, size,
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) !=
        SQLITE_OK) {
        return {};
    }
    limitValues(db);
    return handle;
}

SqliteOutcome sqliteFailure(sqlite3* db, int code) {
    SqliteOutcome outcome;
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            outcome.end = SqliteOutcome::End::Locked;
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_IOERR:
        case SQLITE_FORMAT:
        case SQLITE_TOOBIG:
        case SQLITE_INTERRUPT:
            outcome.end = SqliteOutcome::End::Damaged;
            break;
        default:
            outcome.end = SqliteOutcome::End::Failed;
            break;
    }
    if ((code & 0xFF) == SQLITE_INTERRUPT) {
        outcome.reason = "gave up: reading it takes far more work than any real database needs";
    } else if (db != nullptr) {
        outcome.reason = sqlite3_errmsg(db);
    } else {
        outcome.reason = sqlite3_errstr(code);
    }
    return outcome;
}

SqliteOutcome foreignSchema(std::string reason) {
    return {SqliteOutcome::End::ForeignSchema, std::move(reason)};
}

SqliteWorkBudget::SqliteWorkBudget(sqlite3* db, std::uint64_t steps)
    : db_(db), maxCalls_(steps / kOpsPerProgressCall) {
    sqlite3_progress_handler(db_, kOpsPerProgressCall, &SqliteWorkBudget::onProgress, this);
}

SqliteWorkBudget::~SqliteWorkBudget() {
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
}

int SqliteWorkBudget::onProgress(void* self) {
    auto* budget = static_cast<SqliteWorkBudget*>(self);
    return ++budget->calls_ > budget->maxCalls_ ? 1 : 0;
}

std::string TableColumns::orNull(std::string_view column) const {
    if (!has(column)) {
        return "NULL";
    }
    return "\"" + std::string(column) + "\"";
}

TableColumns tableColumns(sqlite3* db, std::string_view table) {
    TableColumns columns;
    const std::string name(table);
    SqliteQuery kind(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '" + name +
                             "' COLLATE NOCASE");
    const bool isTable = kind.next();
    if (kind.failure()) {
        columns.failure = kind.failure();
        return columns;
    }
    if (!isTable) {
        return columns;
    }
    SqliteQuery info(db, "SELECT name FROM pragma_table_info('" + name + "')");
    while (info.next()) {
        columns.names.insert(lowered(info.text(0, 256)));
    }
    columns.failure = info.failure();
    return columns;
}

SqliteQuery::SqliteQuery(sqlite3* db, const std::string& sql) : db_(db) {
    const int code =
        sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement_, nullptr);
    if (code != SQLITE_OK) {
        failure_ = sqliteFailure(db, code);
    }
}

SqliteQuery::~SqliteQuery() {
    sqlite3_finalize(statement_);
}

bool SqliteQuery::next() {
    if (statement_ == nullptr || failure_) {
        return false;
    }
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code != SQLITE_DONE) {
        failure_ = sqliteFailure(db_, code);
    }
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    return false;
}

bool SqliteQuery::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t SqliteQuery::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string_view SqliteQuery::text(int column, std::size_t maxBytes) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    if (text == nullptr) {
        return {};
    }
    const auto length = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
    return {reinterpret_cast<const char*>(text), std::min(length, maxBytes)};
}

}  // namespace pelmar
