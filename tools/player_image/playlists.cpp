#include "player_image/playlists.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <unordered_map>
#include <utility>

#include "player_image/utf8_text.h"
#include "player_image/vocabulary.h"

namespace pelmar::player_image {
namespace {

// Picks playlist items from the tracks by id.
class TrackSampler {
  public:
    TrackSampler(const std::vector<Track>& tracks, Random& random)
        : tracks_(tracks), random_(random), order_(tracks.size()) {
        std::iota(order_.begin(), order_.end(), std::size_t{0});
    }

    [[nodiscard]] std::uint32_t trackCount() const {
        return static_cast<std::uint32_t>(tracks_.size());
    }

    // Up to `count` different tracks in random order.
    std::vector<std::uint32_t> distinct(std::uint32_t count) {
        count = std::min(count, trackCount());
        std::vector<std::uint32_t> items;
        items.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::swap(order_[i], order_[i + random_.below(trackCount() - i)]);
            items.push_back(tracks_[order_[i]].id);
        }
        return items;
    }

    // Up to `count` tracks that follow each other in the database, as whole albums do.
    std::vector<std::uint32_t> run(std::uint32_t count) {
        count = std::min(count, trackCount());
        const std::uint32_t start = random_.below(trackCount());
        std::vector<std::uint32_t> items;
        items.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            items.push_back(tracks_[(start + i) % trackCount()].id);
        }
        return items;
    }

  private:
    const std::vector<Track>& tracks_;
    Random& random_;
    std::vector<std::size_t> order_;
};

void addAwkwardPlaylists(std::vector<Playlist>& playlists, TrackSampler& sampler,
                         const std::vector<Track>& tracks) {
    // Sorted case-insensitively these give Alpha, alpha2, beta, Zed; byte-wise Alpha, Zed, ...
    playlists.push_back({"beta", sampler.distinct(5), false});
    playlists.push_back({"Alpha", sampler.distinct(8), false});
    playlists.push_back({"alpha2", sampler.distinct(3), false});
    playlists.push_back({"Zed", sampler.distinct(6), false});
    playlists.push_back({"Road Trip", sampler.distinct(10), false});
    playlists.push_back({"Road Trip", sampler.distinct(7), false});
    playlists.push_back({"お気に入り", sampler.distinct(5), false});
    playlists.push_back({"Любимые песни", sampler.distinct(4), false});
    playlists.push_back({repeatToLength("Ünïcödé Playlist With A Very Long Name ", 300),
                         sampler.distinct(3), false});
    playlists.push_back({R"(Mix: A/B "Best"?)", sampler.distinct(4), false});
    playlists.push_back({"Later...", sampler.distinct(2), false});
    playlists.push_back({"Empty", {}, false});
    Playlist twice{"Twice", {}, false};
    if (!tracks.empty()) {
        twice.items = {tracks.front().id, tracks[tracks.size() / 2].id, tracks.front().id};
    }
    playlists.push_back(std::move(twice));
    playlists.push_back({"Top Rated", {}, true});
}

}  // namespace

std::vector<Playlist> makePlaylists(const std::vector<Track>& tracks, Random& random) {
    std::vector<Playlist> playlists;
    Playlist master{playerName(random), {}, false};
    master.items.reserve(tracks.size());
    for (const Track& track : tracks) {
        master.items.push_back(track.id);
    }
    playlists.push_back(std::move(master));

    TrackSampler sampler(tracks, random);
    addAwkwardPlaylists(playlists, sampler, tracks);

    // Small libraries have a few short playlists; large ones about a hundred, together listing
    // each track about three times.
    const std::uint32_t trackCount = sampler.trackCount();
    const std::uint32_t ordinaryCount = std::min<std::uint32_t>(120, 3 + trackCount / 1000);
    const std::uint32_t averageSize =
        std::min(static_cast<std::uint32_t>(3ULL * trackCount / ordinaryCount),
                 std::max<std::uint32_t>(10, trackCount / 8));
    const std::uint32_t smallest = std::min<std::uint32_t>(trackCount, 5);
    const std::uint32_t largest = std::max(smallest, 2 * averageSize - smallest);
    for (std::uint32_t i = 0; i < ordinaryCount; ++i) {
        Playlist playlist{playlistName(random), {}, false};
        const std::uint32_t size = random.between(smallest, largest);
        playlist.items = random.percent(50) ? sampler.run(size) : sampler.distinct(size);
        playlists.push_back(std::move(playlist));
    }
    return playlists;
}

std::vector<Playlist> makePodcastPlaylists(const std::vector<Track>& tracks) {
    std::vector<Playlist> shows;
    std::unordered_map<std::string, std::size_t> showByName;
    for (const Track& track : tracks) {
        if (track.mediaKind != media_kind::podcast && track.mediaKind != media_kind::videoPodcast) {
            continue;
        }
        const std::string& name = track.album.empty() ? track.title : track.album;
        const auto [entry, added] = showByName.try_emplace(name, shows.size());
        if (added) {
            shows.push_back({name, {}, false});
        }
        shows[entry->second].items.push_back(track.id);
    }
    return shows;
}

}  // namespace pelmar::player_image
