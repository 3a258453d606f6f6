#include "library/library_indices.h"

#include <array>

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

constexpr std::size_t kArtist = 0;
constexpr std::size_t kAlbum = 1;
constexpr std::size_t kGenre = 2;
constexpr std::size_t kComposer = 3;

// One track's id and the interned texts of its four fields.
struct TrackTexts {
    std::uint32_t trackId = 0;
    std::array<TextId, 4> texts{};
};

// The places in `tracks` of the tracks with each text in one field, in database order: text t's
// run lies from offsets[t] up to offsets[t + 1].
struct Runs {
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> places;

    [[nodiscard]] std::size_t length(TextId text) const {
        return offsets[text + 1] - offsets[text];
    }
};

Runs runsOf(const std::vector<TrackTexts>& tracks, std::size_t field, std::size_t textCount) {
    Runs runs;
    runs.offsets.assign(textCount + 1, 0);
    for (const TrackTexts& track : tracks) {
        ++runs.offsets[track.texts[field] + 1];
    }
    for (std::size_t t = 0; t < textCount; ++t) {
        runs.offsets[t + 1] += runs.offsets[t];
    }
    runs.places.resize(tracks.size());
    std::vector<std::uint32_t> next(runs.offsets.begin(), runs.offsets.end() - 1);
    for (std::uint32_t place = 0; place < tracks.size(); ++place) {
        runs.places[next[tracks[place].texts[field]]++] = place;
    }
    return runs;
}

// Each text's tracks, in database order, in a list sized once.
template <typename TrackLists>
void listTracks(const std::vector<TrackTexts>& tracks, const Runs& runs, TrackLists& lists) {
    for (TextId text = 0; text + 1 < runs.offsets.size(); ++text) {
        if (runs.length(text) == 0) {
            continue;
        }
        std::vector<std::uint32_t>& list = lists[text];
        list.reserve(runs.length(text));
        for (std::uint32_t i = runs.offsets[text]; i < runs.offsets[text + 1]; ++i) {
            list.push_back(tracks[runs.places[i]].trackId);
        }
    }
}

// For every text of the key field, the distinct values met with it in the other field, in the
// order first met, and how many tracks have each pair.
template <typename TextLists, typename PairCounts>
void pairUp(const std::vector<TrackTexts>& tracks, const Runs& keys, std::size_t valueField,
            TextLists& lists, PairCounts& counts) {
    std::vector<std::uint32_t> tracksWith(keys.offsets.size() - 1, 0);
    for (TextId key = 0; key + 1 < keys.offsets.size(); ++key) {
        if (keys.length(key) == 0) {
            continue;
        }
        std::vector<TextId>& values = lists[key];
        for (std::uint32_t i = keys.offsets[key]; i < keys.offsets[key + 1]; ++i) {
            const TextId value = tracks[keys.places[i]].texts[valueField];
            if (tracksWith[value]++ == 0) {
                values.push_back(value);
            }
        }
        for (const TextId value : values) {
            counts.emplace(pairKey(key, value), tracksWith[value]);
            tracksWith[value] = 0;
        }
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

    // The text each field had on the previous track and its id: a repeated text needs no hash.
    struct LastText {
        const std::string* text = nullptr;
        TextId id = 0;
    };
    std::array<LastText, 4> last{};
    const auto internField = [&ix](LastText& previous, const std::string& text) {
        if (previous.text == nullptr || *previous.text != text) {
            previous = {&text, ix.intern(text)};
        }
        return previous.id;
    };
    std::vector<TrackTexts> tracks(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i + kTrackPrefetchDistance < records.size()) {
            prefetchTags(*records[i + kTrackPrefetchDistance].second);
        }
        const MhTrackData& record = *records[i].second;
        tracks[i] = {
            records[i].first,
            {internField(last[kArtist], record.artist), internField(last[kAlbum], record.album),
             internField(last[kGenre], record.genre),
             internField(last[kComposer], record.composer)}};
    }

    // Grouped by text, every grouping is filled a text at a time, each list sized once.
    const std::size_t textCount = ix.texts_.size();
    const auto collect = [&](const Runs& runs, CSortableStringArray& names) {
        for (TextId id = 0; id < textCount; ++id) {
            if (runs.length(id) > 0 && !ix.texts_[id].empty()) {
                names.push_back(ix.texts_[id]);
            }
        }
        names.sort(library.codec());
    };
    // Each field's runs give its track lists and its names; three fields pair up with another.
    const auto group = [&](std::size_t field, auto& trackLists, CSortableStringArray& names) {
        Runs runs = runsOf(tracks, field, textCount);
        listTracks(tracks, runs, trackLists);
        collect(runs, names);
        return runs;
    };
    pairUp(tracks, group(kArtist, ix.tracksByArtist_, ix.artistNames), kAlbum, ix.albumsByArtist_,
           ix.artistAlbumTracks_);
    group(kAlbum, ix.tracksByAlbum_, ix.albumNames);
    pairUp(tracks, group(kGenre, ix.tracksByGenre_, ix.genreNames), kArtist, ix.artistsByGenre_,
           ix.genreArtistTracks_);
    pairUp(tracks, group(kComposer, ix.tracksByComposer_, ix.composerNames), kAlbum,
           ix.albumsByComposer_, ix.composerAlbumTracks_);
}

}  // namespace pelmar
