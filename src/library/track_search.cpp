#include "library/track_search.h"

#include <algorithm>
#include <functional>

#include "library/player_library.h"
#include "library/track_prefetch.h"
#include "util/case_fold.h"
#include "util/utf8.h"

namespace pelmar {

void SearchIndex::clear() {
    text_.clear();
    text_.shrink_to_fit();
    trackStarts_.clear();
    trackStarts_.shrink_to_fit();
    trackIds_ = nullptr;
}

void SearchIndex::build(const PlayerLibrary& library) {
    clear();
    const TextCodec& codec = library.codec();
    // The records first, in a loop of lookups that do not wait on each other; their sizes give
    // the buffer its size at once, which lowering changes little, instead of doubling its way
    // up and keeping an unused half.
    std::vector<const MhTrackData*> records;
    records.reserve(library.trackIds.size());
    std::size_t expected = 0;
    for (const std::uint32_t trackId : library.trackIds) {
        const MhTrackData* track = library.findTrack(trackId);
        records.push_back(track);
        if (track != nullptr) {
            expected += track->artist.size() + track->album.size() + track->title.size() +
                        track->genre.size() + track->composer.size() + 5;
        }
    }
    text_.reserve(expected + expected / 16);
    trackStarts_.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        trackStarts_.push_back(text_.size());
        if (i + kTrackPrefetchDistance < records.size() &&
            records[i + kTrackPrefetchDistance] != nullptr) {
            prefetchTags(*records[i + kTrackPrefetchDistance]);
        }
        if (const MhTrackData* track = records[i]) {
            for (const std::string* field :
                 {&track->artist, &track->album, &track->title, &track->genre, &track->composer}) {
                codec.appendLower(text_, *field);
                text_.push_back('\0');
            }
        }
    }
    trackIds_ = &library.trackIds;
}

bool SearchIndex::covers(const PlayerLibrary& library) const {
    return trackIds_ == &library.trackIds && trackStarts_.size() == library.trackIds.size();
}

std::vector<std::size_t> SearchIndex::find(std::string_view loweredTerm) const {
    std::vector<std::size_t> positions;
    if (loweredTerm.empty()) {
        positions.resize(trackStarts_.size());
        for (std::size_t i = 0; i < positions.size(); ++i) {
            positions[i] = i;
        }
        return positions;
    }
    const std::boyer_moore_horspool_searcher searcher(loweredTerm.begin(), loweredTerm.end());
    auto from = text_.begin();
    while (true) {
        const auto hit = std::search(from, text_.end(), searcher);
        if (hit == text_.end()) {
            return positions;
        }
        const auto offset = static_cast<std::size_t>(hit - text_.begin());
        const std::size_t track = static_cast<std::size_t>(
            std::upper_bound(trackStarts_.begin(), trackStarts_.end(), offset) -
            trackStarts_.begin() - 1);
        positions.push_back(track);
        if (track + 1 >= trackStarts_.size()) {
            return positions;
        }
        from = text_.begin() + static_cast<std::ptrdiff_t>(trackStarts_[track + 1]);
    }
}

std::vector<std::uint32_t> searchTracks(const PlayerLibrary& library, std::string_view term) {
    std::string lowered = toLowerUtf8(utf8::sanitize(term));
    lowered.resize(std::min(lowered.size(), lowered.find('\0')));

    SearchIndex scratch;
    const SearchIndex* index = &library.searchIndex;
    if (!index->covers(library)) {
        scratch.build(library);
        index = &scratch;
    }
    std::vector<std::uint32_t> found;
    for (const std::size_t position : index->find(lowered)) {
        found.push_back(library.trackIds[position]);
    }
    return found;
}

}  // namespace pelmar
