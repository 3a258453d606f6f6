#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "util/sortable_arrays.h"

namespace pelmar {

class PlayerLibrary;

// Groupings of the tracks by artist, album, genre and composer. Keys are the tag texts exactly
// as stored, the empty text included, so "Abba" and "ABBA" are two artists.
class LibraryIndices {
  public:
    using TextId = std::uint32_t;

    void clear();

    // Interned id of a tag text, if any track has it in any of the four fields.
    [[nodiscard]] std::optional<TextId> find(std::string_view text) const;
    [[nodiscard]] const std::string& text(TextId id) const { return texts_[id]; }

    // Track ids with the given value, each once, in database order; empty when none.
    [[nodiscard]] const std::vector<std::uint32_t>& tracksByArtist(std::string_view artist) const;
    [[nodiscard]] const std::vector<std::uint32_t>& tracksByAlbum(std::string_view album) const;
    [[nodiscard]] const std::vector<std::uint32_t>& tracksByGenre(std::string_view genre) const;
    [[nodiscard]] const std::vector<std::uint32_t>& tracksByComposer(
        std::string_view composer) const;

    // Distinct values met together with the key; null when the key has no entry.
    [[nodiscard]] const std::vector<TextId>* albumsByArtist(std::string_view artist) const;
    [[nodiscard]] const std::vector<TextId>* albumsByComposer(std::string_view composer) const;
    [[nodiscard]] const std::vector<TextId>* artistsByGenre(std::string_view genre) const;

    // Number of tracks with both values, each track once; 0 when none.
    [[nodiscard]] std::uint32_t tracksWithArtistAndAlbum(std::string_view artist,
                                                         std::string_view album) const;
    [[nodiscard]] std::uint32_t tracksWithComposerAndAlbum(std::string_view composer,
                                                           std::string_view album) const;
    [[nodiscard]] std::uint32_t tracksWithGenreAndArtist(std::string_view genre,
                                                         std::string_view artist) const;

    // Distinct non-empty values, sorted without regard to case.
    CSortableStringArray artistNames;
    CSortableStringArray albumNames;
    CSortableStringArray genreNames;
    CSortableStringArray composerNames;

  private:
    friend void buildIndices(PlayerLibrary& library);

    using TrackLists = std::unordered_map<TextId, std::vector<std::uint32_t>>;
    using TextLists = std::unordered_map<TextId, std::vector<TextId>>;
    // Tracks per pair of values, keyed by the two ids side by side.
    using PairCounts = std::unordered_map<std::uint64_t, std::uint32_t>;

    TextId intern(const std::string& text);
    [[nodiscard]] const std::vector<std::uint32_t>& tracksIn(const TrackLists& lists,
                                                             std::string_view key) const;
    [[nodiscard]] const std::vector<TextId>* textsIn(const TextLists& lists,
                                                     std::string_view key) const;
    [[nodiscard]] std::uint32_t pairCount(const PairCounts& counts, std::string_view key,
                                          std::string_view value) const;

    // A deque, so that the views held by idOfText_ stay valid as texts are added.
    std::deque<std::string> texts_;
    std::unordered_map<std::string_view, TextId> idOfText_;

    TrackLists tracksByArtist_;
    TrackLists tracksByAlbum_;
    TrackLists tracksByGenre_;
    TrackLists tracksByComposer_;
    TextLists albumsByArtist_;
    TextLists albumsByComposer_;
    TextLists artistsByGenre_;
    PairCounts artistAlbumTracks_;
    PairCounts composerAlbumTracks_;
    PairCounts genreArtistTracks_;
};

// Builds the indices from every track, videos included. Run once per connect, after loading.
void buildIndices(PlayerLibrary& library);

}  // namespace pelmar
