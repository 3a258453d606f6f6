#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/output_buffer.h"

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::cli {

enum class ListKind {
    Tracks,
    Videos,
    Podcasts,
    Playlists,
    Artists,
    Albums,
    Genres,
    Composers,
    Photos,
    PhotoAlbums,
};

[[nodiscard]] std::optional<ListKind> parseListKind(std::string_view name);
[[nodiscard]] const std::vector<std::string_view>& listKindNames();

enum class Format { Table, Json };

// A track to print, with the media kind its enumeration reports.
struct ListedTrack {
    std::uint32_t id = 0;
    std::uint32_t mediaKind = 0;
};

// Prints one of the library's lists in the library's own order.
void printList(OutputBuffer& out, PlayerLibrary& library, ListKind kind, Format format);

// Prints tracks in the given order.
void printTracks(OutputBuffer& out, const PlayerLibrary& library,
                 const std::vector<ListedTrack>& tracks, Format format);

}  // namespace pelmar::cli
