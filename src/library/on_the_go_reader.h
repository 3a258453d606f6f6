#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/read_outcome.h"

namespace pelmar {

class ByteSource;
class PlayerLibrary;

// A playlist made on the player: places in the music database's track list, in the order the
// user added them.
struct OnTheGoList {
    std::vector<std::uint32_t> places;
    ReadOutcome outcome;
};

// Reads one on-the-go playlist file. A file that is not one, or whose header cannot be, reads
// no places (Malformed); one that ends before its stated entries keeps those it holds.
[[nodiscard]] OnTheGoList readOnTheGoList(ByteSource& source);

// The name a player shows for its `index`th on-the-go playlist: "On-The-Go", "On-The-Go 1", ...
[[nodiscard]] std::string onTheGoName(std::size_t index);

// Adds the lists as playlists after the database's, each named after its place among the files;
// a damaged file that yielded no places adds none. A place past the end of the track list, or
// of a track without a record, is skipped. A name the database uses already gets a
// number in brackets, so that neither playlist hides the other's items.
void addOnTheGoPlaylists(PlayerLibrary& library, const std::vector<OnTheGoList>& lists);

// Reads the player's on-the-go playlist files, "OTGPlaylistInfo", then "_1", "_2", ... up to the
// first that is missing, and adds them. Returns how each file's read ended, in file order.
std::vector<ReadOutcome> readOnTheGoPlaylists(PlayerLibrary& library);

}  // namespace pelmar
