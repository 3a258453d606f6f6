#include "library/library_indices.h"

#include "library/player_library.h"
#include "library/track_id_set.h"
#include "library/track_prefetch.h"

namespace pelmar {

namespace {
const std::vector<std::uint32_t> kNoTracks;

std::uint64_t pairKey(LibraryIndices::TextId key, LibraryIndices::TextId value) {
    return (std::uint64_t{key} << 32) | value;
}

using TextId = LibraryIndices::TextId;

// Consecutive tracks mostly share their artist, album, genre and composer, so each grouping
// remembers the entry the previous track went to and looks up only a key that changed. Entries
// of an unordered_map stay where they are as it grows, so the remembered pointer stays good.
template <typename Key, typename Value>
class Grouping {
  public:
    explicit Grouping(std::unordered_map<Key, Value>& map) : map_(map) {}

    Value& operator[](Key key) {
        if (last_ == nullptr || key != lastKey_) {
            last_ = &map_[key];
            lastKey_ = key;
        }
        return *last_;
    }

  private:
    std::unordered_map<Key, Value>& map_;
    Value* last_ = nullptr;
    Key lastKey_{};
};

// Counts one more track for the pair, and lists `value` under `key` the first time.
void addPair(Grouping<TextId, std::vector<TextId>>& lists,
             Grouping<std::uint64_t, std::uint32_t>& counts, TextId key, TextId value) {
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
    TrackIdSet indexedTracks;
    indexedTracks.reset(library.trackIds.size());
    std::vector<bool> usedAsArtist;
    std::vector<bool> usedAsAlbum;
    std::vector<bool> usedAsGenre;
    std::vector<bool> usedAsComposer;
    const auto mark = [](std::vector<bool>& used, TextId id) {
        if (used.size() <= id) {
            used.resize(id + 1, false);
        }
        used[id] = true;
    };

    // The text each field had on the previous track and its id: a repeated text needs no hash.
    struct LastText {
        const std::string* text = nullptr;
        TextId id = 0;
    };
    const auto internField = [&ix](LastText& last, const std::string& text) {
        if (last.text == nullptr || *last.text != text) {
            last = {&text, ix.intern(text)};
        }
        return last.id;
    };
    LastText lastArtist;
    LastText lastAlbum;
    LastText lastGenre;
    LastText lastComposer;

    Grouping<TextId, std::vector<std::uint32_t>> tracksByArtist(ix.tracksByArtist_);
    Grouping<TextId, std::vector<std::uint32_t>> tracksByAlbum(ix.tracksByAlbum_);
    Grouping<TextId, std::vector<std::uint32_t>> tracksByGenre(ix.tracksByGenre_);
    Grouping<TextId, std::vector<std::uint32_t>> tracksByComposer(ix.tracksByComposer_);
    Grouping<TextId, std::vector<TextId>> albumsByArtist(ix.albumsByArtist_);
    Grouping<TextId, std::vector<TextId>> albumsByComposer(ix.albumsByComposer_);
    Grouping<TextId, std::vector<TextId>> artistsByGenre(ix.artistsByGenre_);
    Grouping<std::uint64_t, std::uint32_t> artistAlbumTracks(ix.artistAlbumTracks_);
    Grouping<std::uint64_t, std::uint32_t> composerAlbumTracks(ix.composerAlbumTracks_);
    Grouping<std::uint64_t, std::uint32_t> genreArtistTracks(ix.genreArtistTracks_);

    // The records first, in a loop of lookups that do not wait on one another.
    static const MhTrackData kNoRecord;
    std::vector<std::pair<std::uint32_t, const MhTrackData*>> records;
    records.reserve(library.trackIds.size());
    for (const std::uint32_t trackId : library.trackIds) {
        if (indexedTracks.insert(trackId)) {
            const MhTrackData* found = library.findTrack(trackId);
            records.emplace_back(trackId, found != nullptr ? found : &kNoRecord);
        }
    }

    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i + kTrackPrefetchDistance < records.size()) {
            prefetchTags(*records[i + kTrackPrefetchDistance].second);
        }
        const auto& [trackId, found] = records[i];
        const MhTrackData& record = *found;
        const TextId artist = internField(lastArtist, record.artist);
        const TextId album = internField(lastAlbum, record.album);
        const TextId genre = internField(lastGenre, record.genre);
        const TextId composer = internField(lastComposer, record.composer);
        mark(usedAsArtist, artist);
        mark(usedAsAlbum, album);
        mark(usedAsGenre, genre);
        mark(usedAsComposer, composer);

        tracksByArtist[artist].push_back(trackId);
        tracksByAlbum[album].push_back(trackId);
        tracksByGenre[genre].push_back(trackId);
        tracksByComposer[composer].push_back(trackId);
        addPair(albumsByArtist, artistAlbumTracks, artist, album);
        addPair(albumsByComposer, composerAlbumTracks, composer, album);
        addPair(artistsByGenre, genreArtistTracks, genre, artist);
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
