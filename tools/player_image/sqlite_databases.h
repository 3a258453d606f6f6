#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "player_image/player_image.h"

// The SQLite databases of the nano 6G and 7G, each written in one transaction. Failures throw
// std::runtime_error.
namespace pelmar::player_image {

// Writes Library.itdb, Locations.itdb, Dynamic.itdb and Extras.itdb into the folder, which
// exists and holds nothing else.
void writeSqliteDatabases(const PlayerImage& image, const std::filesystem::path& folder,
                          SqliteDamage damage);

// Library.itdb: item, genre_map, container, item_to_container.
void writeLibraryDatabase(const PlayerImage& image, const std::filesystem::path& path,
                          SqliteDamage damage);

// Locations.itdb: base_location and location.
void writeLocationsDatabase(const PlayerImage& image, const std::filesystem::path& path,
                            SqliteDamage damage);

// Dynamic.itdb's item_stats: the player's newest play data, or with `asSynced` the play data of
// the music database, as the player had it right after the sync.
void writeDynamicDatabase(const PlayerImage& image, const std::filesystem::path& path,
                          SqliteDamage damage, bool asSynced);

// Extras.itdb: empty chapters, and lyrics for a few songs.
void writeExtrasDatabase(const PlayerImage& image, const std::filesystem::path& path);

// A hot rollback journal for `database` whose rollback gives the content of `before`: the pages
// of `before` where the two differ, and its size. Both use the same page size.
void writeHotJournal(const std::filesystem::path& database, const std::filesystem::path& before,
                     const std::filesystem::path& journal, std::uint32_t nonce);

// The pids no item has, for the damage that adds rows for them.
[[nodiscard]] std::uint64_t unknownPid(std::size_t index);

// "F07/ABCD.mp3" from ":iPod_Control:Music:F07:ABCD.mp3".
[[nodiscard]] std::string musicRelativeLocation(const std::string& location);

}  // namespace pelmar::player_image
