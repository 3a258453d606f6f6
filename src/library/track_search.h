#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

class PlayerLibrary;

// The five searched fields of every listed track, lower-cased once so that a search is a single
// scan of one buffer. Each field ends in a NUL, which no search term holds, so a match never
// spans two fields.
class SearchIndex {
  public:
    void build(const PlayerLibrary& library);
    void clear();
    // Whether the index describes this library as it is now.
    [[nodiscard]] bool covers(const PlayerLibrary& library) const;
    // Positions in `trackIds` of the tracks holding the lower-case `term`, in order.
    [[nodiscard]] std::vector<std::size_t> find(std::string_view loweredTerm) const;

  private:
    std::string text_;
    std::vector<std::size_t> trackStarts_;  // where each entry of trackIds begins in text_
    const std::vector<std::uint32_t>* trackIds_ = nullptr;
};

// Ids of the tracks, videos and podcasts included, whose artist, album, title, genre or composer
// contains `term` (UTF-8) without regard to case, in database order. The empty term matches
// every track.
[[nodiscard]] std::vector<std::uint32_t> searchTracks(const PlayerLibrary& library,
                                                      std::string_view term);

}  // namespace pelmar
