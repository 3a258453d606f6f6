#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "player_image/artwork.h"
#include "player_image/hostile_tracks.h"
#include "player_image/later_content.h"
#include "player_image/ordinary_tracks.h"
#include "player_image/photos.h"
#include "player_image/play_counts.h"
#include "player_image/player_image.h"
#include "player_image/playlists.h"
#include "player_image/random.h"
#include "player_image/record_header.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kMusicFolders = 50;
constexpr std::uint32_t kFileStems = 26 * 26 * 26 * 26;
constexpr std::uint32_t kShortestTrackHeader = 156;
// The media kind is the word at +208; a header must reach its end to hold it.
constexpr std::uint32_t kMediaKindEnd = 212;
// Ordinary ids stay far below this one.
constexpr std::uint32_t kHighId = 0x80000007U;
// Photos draw from their own stream, so that the music side stays the same with or without them;
// so do the files of later players.
constexpr std::uint64_t kPhotoStream = 0x9407055EEDULL;
constexpr std::uint64_t kArtworkStream = 0xA27C0FFEEULL;
constexpr std::uint64_t kStatsStream = 0xD1A3157A75ULL;
constexpr std::uint64_t kOnTheGoStream = 0x0760ULL;
constexpr std::uint64_t kDeviceStream = 0xDE71CEULL;

// Hands out places on the player the way players name their files: a random folder F00..F49 and
// four random capital letters, never twice the same folder and letters (the player's file
// system ignores case, so ABCD.mp3 and ABCD.MP3 would collide).
class LocationAllocator {
  public:
    explicit LocationAllocator(Random& random) : random_(random) {}

    std::string allocate(std::string_view extension) {
        std::uint32_t folder = 0;
        std::uint32_t stem = 0;
        do {
            folder = random_.below(kMusicFolders);
            stem = random_.below(kFileStems);
        } while (!used_.insert(folder * kFileStems + stem).second);

        std::string location = ":iPod_Control:Music:F";
        location.push_back(static_cast<char>('0' + folder / 10));
        location.push_back(static_cast<char>('0' + folder % 10));
        location.push_back(':');
        for (std::uint32_t scale = 26 * 26 * 26; scale > 0; scale /= 26) {
            location.push_back(static_cast<char>('A' + stem / scale % 26));
        }
        return location.append(extension);
    }

  private:
    Random& random_;
    std::unordered_set<std::uint32_t> used_;
};

// Spreads the awkward tracks evenly through the library instead of bunching them at its start.
std::vector<TrackDraft> interleave(std::vector<TrackDraft> ordinary,
                                   std::vector<TrackDraft> hostile) {
    const std::size_t total = ordinary.size() + hostile.size();
    std::vector<TrackDraft> drafts;
    drafts.reserve(total);
    std::size_t nextOrdinary = 0;
    std::size_t nextHostile = 0;
    for (std::size_t position = 0; position < total; ++position) {
        const bool hostileHere =
            nextHostile < hostile.size() && nextHostile * total / hostile.size() == position;
        drafts.push_back(
            std::move(hostileHere ? hostile[nextHostile++] : ordinary[nextOrdinary++]));
    }
    return drafts;
}

// The largest thumbnail file of a later model's photos holds every photo's slot.
void checkModelPhotos(const Options& options, const PlayerModel& model) {
    std::uint64_t largest = 0;
    for (const std::uint32_t formatId : model.photoFormats) {
        largest = std::max<std::uint64_t>(largest, thumbnailFormat(formatId)->byteSize());
    }
    if (options.withPhotos && largest * options.photoCount > 0xFFFFFFFFULL) {
        throw std::invalid_argument(std::to_string(options.photoCount) + " photos of the " +
                                    std::string(model.name) +
                                    " do not fit a thumbnail file of 4 GiB");
    }
}

void checkModelOptions(const Options& options) {
    const PlayerModel& model = playerModel(options.model);
    checkModelPhotos(options, model);
    if (options.withOriginals && !model.fullResolutionPhotos) {
        throw std::invalid_argument("the " + std::string(model.name) +
                                    " holds no full-resolution photos");
    }
    if (options.compressedPresence != CompressedPresence::Written && !model.sqliteDatabases) {
        throw std::invalid_argument("only players with SQLite databases can lack iTunesCDB");
    }
    for (const std::uint32_t formatId : model.artworkFormats) {
        if (thumbnailFormat(formatId)->byteSize() > options.thumbnailFileLimit) {
            throw std::invalid_argument(
                "a thumbnail file limit of " + std::to_string(options.thumbnailFileLimit) +
                " bytes cannot hold a slot of format " + std::to_string(formatId));
        }
    }
}

void checkOptions(const Options& options) {
    checkModelOptions(options);
    const std::uint32_t length = options.trackHeaderLength;
    if (length < kShortestTrackHeader || length > kLargestHeader || length % 4 != 0) {
        throw std::invalid_argument("track header length " + std::to_string(length) +
                                    " is not a multiple of 4 between 156 and 1024");
    }
    if (options.photoCount > kMostPhotos) {
        throw std::invalid_argument(std::to_string(options.photoCount) + " photos are more than " +
                                    std::to_string(kMostPhotos));
    }
}

void addLaterContent(PlayerImage& image, const Options& options, const PlayerModel& model) {
    if (options.withArtwork && !model.artworkFormats.empty()) {
        Random artworkRandom(options.seed ^ kArtworkStream);
        image.artwork = makeArtwork(image.tracks, model.artworkFormats, options.thumbnailFileLimit,
                                    options.artworkDamage, artworkRandom);
        image.artworkDamage = options.artworkDamage;
    }
    if (model.sqliteDatabases) {
        Random statsRandom(options.seed ^ kStatsStream);
        image.trackStats = makeTrackStats(image.tracks, statsRandom);
    }
    Random onTheGoRandom(options.seed ^ kOnTheGoStream);
    image.onTheGoPlaylists =
        makeOnTheGoPlaylists(options.onTheGoCount, static_cast<std::uint32_t>(image.tracks.size()),
                             options.onTheGoDamage, onTheGoRandom);
    if (!model.modelNumber.empty()) {
        Random deviceRandom(options.seed ^ kDeviceStream);
        image.firewireGuid = makeFirewireGuid(deviceRandom);
    }
}

}  // namespace

PlayerImage generatePlayerImage(const Options& options) {
    checkOptions(options);
    Random random(options.seed);

    std::vector<TrackDraft> hostile = hostileTracks();
    if (hostile.size() > options.trackCount) {
        hostile.resize(options.trackCount);
    }
    const auto ordinaryCount = static_cast<std::uint32_t>(options.trackCount - hostile.size());
    std::vector<TrackDraft> drafts =
        interleave(ordinaryTracks(ordinaryCount, random), std::move(hostile));

    const PlayerModel& model = playerModel(options.model);
    PlayerImage image;
    image.model = options.model;
    image.albumsBeforeTracks = options.albumsBeforeTracks;
    image.tracks.reserve(drafts.size());
    LocationAllocator locations(random);
    std::uint32_t nextId = random.between(40, 400);
    for (TrackDraft& draft : drafts) {
        Track track = std::move(draft.track);
        if (draft.highId) {
            track.id = kHighId;
        } else {
            track.id = nextId;
            nextId += random.between(1, 3);
        }
        track.location = locations.allocate(draft.extension);
        track.headerLength = options.trackHeaderLength;
        // The desktop application's own id, derived from the track's so that it never changes.
        track.databaseId = Random(track.id).next();
        if (options.mediaSize != 0) {
            track.size = options.mediaSize;
        }
        image.tracks.push_back(std::move(track));
    }

    image.playlists = makePlaylists(image.tracks, random);
    image.podcastPlaylists = makePodcastPlaylists(image.tracks);
    image.playCounts = makePlayCounts(image.tracks, random);
    if (options.trackHeaderLength < kMediaKindEnd) {
        for (Track& track : image.tracks) {
            track.mediaKind = media_kind::audioUnmarked;
        }
    }
    if (options.withPhotos) {
        Random photoRandom(options.seed ^ kPhotoStream);
        image.photos = model.photoFormats.empty()
                           ? makePhotos(options.photoCount, photoRandom)
                           : makeModelPhotos(options.photoCount, model.photoFormats,
                                             options.withOriginals, photoRandom);
        image.photoAlbums = makePhotoAlbums(image.photos, photoRandom);
    }
    addLaterContent(image, options, model);
    return image;
}

}  // namespace pelmar::player_image
