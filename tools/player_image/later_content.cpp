#include "player_image/later_content.h"

#include <cstdio>
#include <string>

#include "player_image/player_clock.h"

namespace pelmar::player_image {
namespace {

using player_clock::sqliteTime;

std::uint32_t sincePlayed(Random& random) {
    return sqliteTime(random.between(player_clock::kLastSync, player_clock::kImageTaken));
}

bool keepsPlace(const Track& track) {
    return track.mediaKind == media_kind::podcast || track.mediaKind == media_kind::videoPodcast ||
           track.mediaKind == media_kind::audiobook || track.mediaKind == media_kind::movie;
}

}  // namespace

std::vector<TrackStats> makeTrackStats(const std::vector<Track>& tracks, Random& random) {
    std::vector<TrackStats> rows;
    rows.reserve(tracks.size());
    for (const Track& track : tracks) {
        TrackStats stats;
        stats.playCount = track.playCount;
        stats.lastPlayed = sqliteTime(track.lastPlayed);
        stats.rating = track.rating;
        const std::uint32_t roll = random.below(100);
        if (roll < 3) {
            stats.hasRow = false;
        } else if (roll < 45) {
            stats.playCount += random.between(1, 8);
            stats.lastPlayed = sincePlayed(random);
        }
        if (random.percent(12)) {
            const auto rating = static_cast<std::uint8_t>(20 * random.below(5));
            stats.rating = rating == track.rating ? static_cast<std::uint8_t>(rating + 20) : rating;
        }
        if (random.percent(8)) {
            stats.skipCount = random.between(1, 5);
            stats.lastSkipped = sincePlayed(random);
        }
        if (stats.playCount > track.playCount && keepsPlace(track)) {
            stats.bookmarkMs = random.below(track.lengthMs);
        }
        rows.push_back(stats);
    }
    return rows;
}

std::vector<std::vector<std::uint32_t>> makeOnTheGoPlaylists(std::uint32_t count,
                                                             std::uint32_t trackCount,
                                                             OnTheGoDamage damage, Random& random) {
    std::vector<std::vector<std::uint32_t>> playlists(trackCount == 0 ? 0 : count);
    for (std::vector<std::uint32_t>& playlist : playlists) {
        // Queued by hand: unordered, and now and then the same track twice.
        const std::uint32_t size = random.between(3, 25);
        for (std::uint32_t i = 0; i < size; ++i) {
            playlist.push_back(random.below(trackCount));
        }
    }
    if (damage == OnTheGoDamage::IndexPastEnd && !playlists.empty()) {
        playlists.front().back() = trackCount;
    }
    return playlists;
}

std::string makeFirewireGuid(Random& random) {
    char guid[24];
    std::snprintf(guid, sizeof guid, "0x000A2700%08X", static_cast<unsigned>(random.next()));
    return guid;
}

}  // namespace pelmar::player_image
