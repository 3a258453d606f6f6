#include "library/sqlite_database.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace pelmar {
namespace {

// A count of a counter's rows; without a bound the counter never ends.
std::string counting(const std::string& bound) {
    return "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n" + bound +
           ") SELECT count(*) FROM n";
}

std::optional<SqliteOutcome> runToTheEnd(sqlite3* db, const std::string& sql) {
    SqliteQuery query(db, sql);
    while (query.next()) {
    }
    return query.failure();
}

// A hostile file's query that would never end is stopped and reported as damage, while work
// within the budget runs to its end; each reader's budget is its own.
TEST(SqliteWorkBudget, StopsAQueryThatWouldNeverEndButNotOneWithinIt) {
    sqlite3* opened = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &opened), SQLITE_OK);
    const SqliteHandle db(opened);
    // A few hundred thousand steps; the budget lets through some ten times as many.
    constexpr std::uint64_t kSteps = 5'000'000;
    const std::string large = counting(" WHERE x < 20000");
    {
        const SqliteWorkBudget budget(db.get(), kSteps);
        EXPECT_EQ(runToTheEnd(db.get(), large), std::nullopt);
        const std::optional<SqliteOutcome> endless = runToTheEnd(db.get(), counting(""));
        ASSERT_TRUE(endless.has_value());
        EXPECT_EQ(endless->end, SqliteOutcome::End::Damaged);
        EXPECT_EQ(endless->reason,
                  "gave up: reading it takes far more work than any real database needs");
        EXPECT_NE(runToTheEnd(db.get(), large), std::nullopt);
    }
    const SqliteWorkBudget next(db.get(), kSteps);
    EXPECT_EQ(runToTheEnd(db.get(), large), std::nullopt);
}

}  // namespace
}  // namespace pelmar
