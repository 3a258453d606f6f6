#include <string_view>
#include <unordered_set>

#include "library/player_library.h"

namespace pelmar {

namespace {

void copyName(const std::string& name, std::string& out) {
    out.assign(name, 0, std::min(name.size(), kTagTextCapacity));
}

}  // namespace

int PlayerLibrary::firstName(const std::vector<std::string>& list, int& cursor, std::string& out) {
    cursor = 0;
    if (list.empty()) {
        return 0;
    }
    copyName(list.front(), out);
    cursor = 1;
    return static_cast<int>(list.size());
}

int PlayerLibrary::nextName(const std::vector<std::string>* list, int& cursor, std::string& out) {
    if (list == nullptr || cursor < 0 || static_cast<std::size_t>(cursor) >= list->size()) {
        return 0;
    }
    copyName((*list)[static_cast<std::size_t>(cursor)], out);
    ++cursor;
    return 1;
}

int PlayerLibrary::firstKeyedName(const std::vector<LibraryIndices::TextId>* keyed,
                                  std::string_view key,
                                  const std::vector<std::string>& whenKeyEmpty,
                                  CSortableStringArray& scratch,
                                  const std::vector<std::string>*& current, int& cursor,
                                  std::string& out) {
    if (key.empty()) {
        current = &whenKeyEmpty;
        return firstName(whenKeyEmpty, cursor, out);
    }
    scratch.clear();
    current = &scratch;
    if (keyed != nullptr) {
        for (const LibraryIndices::TextId id : *keyed) {
            scratch.push_back(indices.text(id));
        }
        scratch.sort(*codec_);
    }
    return firstName(scratch, cursor, out);
}

int PlayerLibrary::firstArtist(std::string_view genre, std::string& out) {
    return firstKeyedName(indices.artistsByGenre(genre), genre, indices.artistNames, genreArtists_,
                          currentArtistList_, artistCursor_, out);
}

int PlayerLibrary::nextArtist(std::string& out) {
    return nextName(currentArtistList_, artistCursor_, out);
}

int PlayerLibrary::firstAlbum(std::string_view artist, std::string& out) {
    return firstKeyedName(indices.albumsByArtist(artist), artist, indices.albumNames, artistAlbums_,
                          currentAlbumList_, albumCursor_, out);
}

int PlayerLibrary::nextAlbum(std::string& out) {
    return nextName(currentAlbumList_, albumCursor_, out);
}

int PlayerLibrary::firstComposerAlbum(std::string_view composer, std::string& out) {
    composerAlbums_.clear();
    currentComposerAlbumList_ = &composerAlbums_;
    if (const auto* keyed = indices.albumsByComposer(composer)) {
        for (const LibraryIndices::TextId id : *keyed) {
            composerAlbums_.push_back(indices.text(id));
        }
        composerAlbums_.sort(*codec_);
    }
    return firstName(composerAlbums_, albumCursor_, out);
}

int PlayerLibrary::nextComposerAlbum(std::string& out) {
    return nextName(currentComposerAlbumList_, albumCursor_, out);
}

int PlayerLibrary::firstGenre(std::string& out) {
    return firstName(indices.genreNames, genreCursor_, out);
}

int PlayerLibrary::nextGenre(std::string& out) {
    return nextName(&indices.genreNames, genreCursor_, out);
}

int PlayerLibrary::firstComposer(std::string& out) {
    return firstName(indices.composerNames, composerCursor_, out);
}

int PlayerLibrary::nextComposer(std::string& out) {
    return nextName(&indices.composerNames, composerCursor_, out);
}

namespace {

bool matchesFilters(const MhTrackData& record, std::string_view artist, std::string_view album,
                    std::string_view genre, std::string_view composer) {
    const auto matches = [](std::string_view filter, const std::string& value) {
        return filter.empty() || filter == value;
    };
    return matches(artist, record.artist) && matches(album, record.album) &&
           matches(genre, record.genre) && matches(composer, record.composer);
}

}  // namespace

const std::vector<std::uint32_t>* PlayerLibrary::smallestCandidateSet(
    std::string_view artist, std::string_view album, std::string_view genre,
    std::string_view composer) const {
    // On equal sizes the earlier filter wins.
    const std::vector<std::uint32_t>* chosen = nullptr;
    std::size_t limit = 1'000'000;
    const auto consider = [&](std::string_view key, const std::vector<std::uint32_t>& set) {
        // A value no track has in this field has no set; real sets are never empty.
        if (key.empty() || set.empty()) {
            return;
        }
        if (set.size() < limit) {
            chosen = &set;
            limit = set.size();
        }
    };
    consider(artist, indices.tracksByArtist(artist));
    consider(album, indices.tracksByAlbum(album));
    consider(genre, indices.tracksByGenre(genre));
    consider(composer, indices.tracksByComposer(composer));
    return chosen;
}

int PlayerLibrary::queryTracks(std::string_view artist, std::string_view album,
                               std::string_view genre, std::string_view composer, KernelId& out) {
    if (artist.empty() && album.empty() && genre.empty() && composer.empty()) {
        return 0;
    }
    const std::vector<std::uint32_t>* chosen = smallestCandidateSet(artist, album, genre, composer);
    if (chosen == nullptr) {
        return 0;
    }

    queryResults.clear();
    queryCursor_ = 0;
    static const MhTrackData kNoRecord;
    for (const std::uint32_t trackId : *chosen) {
        const MhTrackData* found = findTrack(trackId);
        if (matchesFilters(found != nullptr ? *found : kNoRecord, artist, album, genre, composer)) {
            KernelId result;
            result.id = trackId;
            queryResults.push_back(std::move(result));
        }
    }
    if (!queryResults.empty()) {
        out = queryResults.front();
        queryCursor_ = 1;
    }
    return static_cast<int>(queryResults.size());
}

int PlayerLibrary::countTracks(std::string_view artist, std::string_view album,
                               std::string_view genre, std::string_view composer) const {
    const int filters =
        int{!artist.empty()} + int{!album.empty()} + int{!genre.empty()} + int{!composer.empty()};
    // The pairs the category tree counts are kept while the indices are built.
    if (filters == 2) {
        if (!artist.empty() && !album.empty()) {
            return static_cast<int>(indices.tracksWithArtistAndAlbum(artist, album));
        }
        if (!composer.empty() && !album.empty()) {
            return static_cast<int>(indices.tracksWithComposerAndAlbum(composer, album));
        }
        if (!genre.empty() && !artist.empty()) {
            return static_cast<int>(indices.tracksWithGenreAndArtist(genre, artist));
        }
    }
    const std::vector<std::uint32_t>* chosen =
        filters == 0 ? nullptr : smallestCandidateSet(artist, album, genre, composer);
    if (chosen == nullptr) {
        return 0;
    }
    if (filters == 1) {
        return static_cast<int>(chosen->size());
    }
    static const MhTrackData kNoRecord;
    int count = 0;
    for (const std::uint32_t trackId : *chosen) {
        const MhTrackData* found = findTrack(trackId);
        count +=
            matchesFilters(found != nullptr ? *found : kNoRecord, artist, album, genre, composer)
                ? 1
                : 0;
    }
    return count;
}

int PlayerLibrary::nextQueryResult(KernelId& out) {
    if (queryCursor_ < 0 || static_cast<std::size_t>(queryCursor_) >= queryResults.size()) {
        return 0;
    }
    out = queryResults[static_cast<std::size_t>(queryCursor_)];
    ++queryCursor_;
    return 1;
}

SelectionTotals SelectionStatistics(std::span<const KernelId> selection,
                                    const PlayerLibrary& library) {
    SelectionTotals totals;
    std::unordered_set<std::string_view> artists;
    std::unordered_set<std::string_view> albums;
    std::unordered_set<std::string_view> genres;
    std::unordered_set<std::string_view> composers;
    const auto count = [](std::unordered_set<std::string_view>& set, const std::string& value) {
        if (!value.empty()) {
            set.insert(value);
        }
    };
    for (const KernelId& item : selection) {
        const MhTrackData* record = library.findTrack(item.id);
        if (record == nullptr) {
            continue;
        }
        totals.kilobytes += record->size / 1024;
        totals.seconds += record->lengthMs / 1000;
        count(artists, record->artist);
        count(albums, record->album);
        count(genres, record->genre);
        count(composers, record->composer);
    }
    totals.artistCount = static_cast<std::uint32_t>(artists.size());
    totals.albumCount = static_cast<std::uint32_t>(albums.size());
    totals.genreCount = static_cast<std::uint32_t>(genres.size());
    totals.composerCount = static_cast<std::uint32_t>(composers.size());
    return totals;
}

}  // namespace pelmar
