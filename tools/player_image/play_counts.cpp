#include "player_image/play_counts.h"

#include "player_image/player_clock.h"

namespace pelmar::player_image {
namespace {

std::uint32_t playedSinceSync(Random& random) {
    return random.between(player_clock::kLastSync, player_clock::kImageTaken);
}

// A rating set on the player, different from the one in the database.
std::uint8_t newRating(std::uint8_t old, Random& random) {
    const auto rating = static_cast<std::uint8_t>(20 * random.below(5));
    return rating == old ? static_cast<std::uint8_t>(rating + 20) : rating;
}

bool keepsPlace(const Track& track) {
    return track.mediaKind == media_kind::podcast || track.mediaKind == media_kind::videoPodcast ||
           track.mediaKind == media_kind::audiobook || track.mediaKind == media_kind::movie;
}

}  // namespace

std::vector<PlayCountEntry> makePlayCounts(const std::vector<Track>& tracks, Random& random) {
    std::vector<PlayCountEntry> entries;
    entries.reserve(tracks.size());
    for (const Track& track : tracks) {
        PlayCountEntry entry;
        // The player keeps each track's current rating in its entry, played or not.
        entry.rating = track.rating;
        const std::uint32_t roll = random.below(100);
        if (roll < 40) {
            entries.push_back(entry);
            continue;
        }
        if (roll < 75) {
            entry.plays = random.between(1, 6);
            entry.lastPlayed = playedSinceSync(random);
        } else if (roll < 90) {
            entry.rating = newRating(track.rating, random);
        } else {
            entry.plays = random.between(1, 3);
            entry.lastPlayed = playedSinceSync(random);
            entry.rating = newRating(track.rating, random);
            entry.skipCount = random.between(1, 4);
            entry.lastSkipped = playedSinceSync(random);
        }
        if (entry.plays > 0 && keepsPlace(track)) {
            entry.bookmark = random.below(track.lengthMs);
        }
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace pelmar::player_image
