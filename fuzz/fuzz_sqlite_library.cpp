#include <cstddef>
#include <cstdint>

#include "library/play_data_reader.h"
#include "library/player_library.h"
#include "library/sqlite_library_reader.h"

// Reads the input as the player's SQLite files, all three in one: the library built from it,
// then its play data merged into that library.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pelmar::SqliteHandle db = pelmar::sqliteFromBytes({data, size});
    if (!db) {
        return 0;
    }
    pelmar::PlayerLibrary library;
    pelmar::putImportedLibrary(library,
                               pelmar::importSqliteLibrary(db.get(), db.get(), library.codec()));
    (void)pelmar::mergePlayData(library, pelmar::readPlayData(db.get()));
    return 0;
}
