#include "library/library_indices.h"

#include <unordered_set>

#include "library/player_library.h"

namespace pelmar {

namespace {
const std::vector<std::uint32_t> kNoTracks;

std::uint64_t pairKey(LibraryIndices::TextId key, LibraryIndices::TextId value) {
    return (std::uint64_t{key} << 32) | value;
}

// Counts one more track for the pair, and adds `value` to `lists[key]` the first time.
void addPair(std::unordered_map<LibraryIndices::TextId, std::vector<LibraryIndices::TextId>>& lists,
             std::unordered_map<std::uint64_t, std::uint32_t>& counts, LibraryIndices::TextId key,
             LibraryIndices::TextId value) {
    if (counts[pairKey(key, value)]++ == 0) {
        lists[key].push_back(value);
    }
}
}  // namespace

void LibraryIndices::clear() {
    idOfText_.clear();
    texts_.clear();
    tracksByArtist_.clear();
    tracksByAlbum_.clear();
    tracksByGenre_.clear();
    tracksByComposer_.clear();
    albumsByArtist_.clear();
    albumsByComposer_.clear();
    artistsByGenre_.clear();
    artistAlbumTracks_.clear();
    composerAlbumTracks_.clear();
    genreArtistTracks_.clear();
    artistNames.clear();
    albumNames.clear();
    genreNames.clear();
    composerNames.clear();
}

std::optional<LibraryIndices::TextId> LibraryIndices::find(std::string_view text) const {
    const auto it = idOfText_.find(text);
    if (it == idOfText_.end()) {
        return std::nullopt;
    }
    return it->second;
}

LibraryIndices::TextId LibraryIndices::intern(const std::string& text) {
    const auto it = idOfText_.find(text);
    if (it != idOfText_.end()) {
        return it->second;
    }
    const auto id = static_cast<TextId>(texts_.size());
    texts_.push_back(text);
    idOfText_.emplace(texts_.back(), id);
    return id;
}

const std::vector<std::uint32_t>& LibraryIndices::tracksIn(const TrackLists& lists,
                                                           std::string_view key) const {
    const std::optional<TextId> id = find(key);
    if (!id) {
        return kNoTracks;
    }
    const auto it = lists.find(*id);
    return it == lists.end() ? kNoTracks : it->second;
}

const std::vector<LibraryIndices::TextId>* LibraryIndices::textsIn(const TextLists& lists,
                                                                   std::string_view key) const {
    const std::optional<TextId> id = find(key);
    if (!id) {
        return nullptr;
    }
    const auto it = lists.find(*id);
    return it == lists.end() ? nullptr : &it->second;
}

const std::vector<std::uint32_t>& LibraryIndices::tracksByArtist(std::string_view artist) const {
    return tracksIn(tracksByArtist_, artist);
}
const std::vector<std::uint32_t>& LibraryIndices::tracksByAlbum(std::string_view album) const {
    return tracksIn(tracksByAlbum_, album);
}
const std::vector<std::uint32_t>& LibraryIndices::tracksByGenre(std::string_view genre) const {
    return tracksIn(tracksByGenre_, genre);
}
const std::vector<std::uint32_t>& LibraryIndices::tracksByComposer(
    std::string_view composer) const {
    return tracksIn(tracksByComposer_, composer);
}
const std::vector<LibraryIndices::TextId>* LibraryIndices::albumsByArtist(
    std::string_view artist) const {
    return textsIn(albumsByArtist_, artist);
}
const std::vector<LibraryIndices::TextId>* LibraryIndices::albumsByComposer(
    std::string_view composer) const {
    return textsIn(albumsByComposer_, composer);
}
const std::vector<LibraryIndices::TextId>* LibraryIndices::artistsByGenre(
    std::string_view genre) const {
    return textsIn(artistsByGenre_, genre);
}

std::uint32_t LibraryIndices::pairCount(const PairCounts& counts, std::string_view key,
                                        std::string_view value) const {
    const std::optional<TextId> keyId = find(key);
    const std::optional<TextId> valueId = find(value);
    if (!keyId || !valueId) {
        return 0;
    }
    const auto it = counts.find(pairKey(*keyId, *valueId));
    return it == counts.end() ? 0 : it->second;
}

std::uint32_t LibraryIndices::tracksWithArtistAndAlbum(std::string_view artist,
                                                       std::string_view album) const {
    return pairCount(artistAlbumTracks_, artist, album);
}

std::uint32_t LibraryIndices::tracksWithComposerAndAlbum(std::string_view composer,
                                                         std::string_view album) const {
    return pairCount(composerAlbumTracks_, composer, album);
}

std::uint32_t LibraryIndices::tracksWithGenreAndArtist(std::string_view genre,
                                                       std::string_view artist) const {
    return pairCount(genreArtistTracks_, genre, artist);
}

void buildIndices(PlayerLibrary& library) {
    LibraryIndices& ix = library.indices;
    ix.clear();

    // A track set holds each track once, even when the database lists an id twice.
    std::unordered_set<std::uint32_t> indexedTracks;
    std::vector<bool> usedAsArtist;
    std::vector<bool> usedAsAlbum;
    std::vector<bool> usedAsGenre;
    std::vector<bool> usedAsComposer;
    const auto mark = [](std::vector<bool>& used, LibraryIndices::TextId id) {
        if (used.size() <= id) {
            used.resize(id + 1, false);
        }
        used[id] = true;
    };

    static const MhTrackData kNoRecord;
    for (const std::uint32_t trackId : library.trackIds) {
        if (!indexedTracks.insert(trackId).second) {
            continue;
        }
        const MhTrackData* found = library.findTrack(trackId);
        const MhTrackData& record = found != nullptr ? *found : kNoRecord;
        const LibraryIndices::TextId artist = ix.intern(record.artist);
        const LibraryIndices::TextId album = ix.intern(record.album);
        const LibraryIndices::TextId genre = ix.intern(record.genre);
        const LibraryIndices::TextId composer = ix.intern(record.composer);
        mark(usedAsArtist, artist);
        mark(usedAsAlbum, album);
        mark(usedAsGenre, genre);
        mark(usedAsComposer, composer);

        ix.tracksByArtist_[artist].push_back(trackId);
        ix.tracksByAlbum_[album].push_back(trackId);
        ix.tracksByGenre_[genre].push_back(trackId);
        ix.tracksByComposer_[composer].push_back(trackId);
        addPair(ix.albumsByArtist_, ix.artistAlbumTracks_, artist, album);
        addPair(ix.albumsByComposer_, ix.composerAlbumTracks_, composer, album);
        addPair(ix.artistsByGenre_, ix.genreArtistTracks_, genre, artist);
    }

    const auto collect = [&](const std::vector<bool>& used, CSortableStringArray& names) {
        for (LibraryIndices::TextId id = 0; id < used.size(); ++id) {
            if (used[id] && !ix.texts_[id].empty()) {
                names.push_back(ix.texts_[id]);
            }
        }
        names.sort(library.codec());
    };
    collect(usedAsArtist, ix.artistNames);
    collect(usedAsAlbum, ix.albumNames);
    collect(usedAsGenre, ix.genreNames);
    collect(usedAsComposer, ix.composerNames);
}

}  // namespace pelmar
