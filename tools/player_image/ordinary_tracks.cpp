#include "player_image/ordinary_tracks.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "player_image/player_clock.h"
#include "player_image/vocabulary.h"

namespace pelmar::player_image {
namespace {

struct FileFormat {
    std::string_view extension;
    std::string_view typeText;
    std::uint8_t code;
};

constexpr FileFormat kMp3{".mp3", "MPEG audio file", 2};
constexpr FileFormat kMp3UpperCase{".MP3", "MPEG audio file", 2};
constexpr FileFormat kAac{".m4a", "AAC audio file", 5};
constexpr FileFormat kProtectedAac{".m4p", "Protected AAC audio file", 7};
constexpr FileFormat kWav{".wav", "WAV audio file", 1};
constexpr FileFormat kFlac{".flac", "FLAC audio file", 11};
constexpr FileFormat kOgg{".ogg", "Ogg Vorbis file", 10};
constexpr FileFormat kWma{".wma", "Windows Media audio file", 3};
constexpr FileFormat kAudiobook{".m4b", "AAC audio file", 8};
constexpr FileFormat kAudible{".aa", "Audible file", 6};
constexpr FileFormat kVideo{".m4v", "MPEG-4 video file", 12};
constexpr FileFormat kProtectedVideo{".m4v", "Protected MPEG-4 video file", 12};
constexpr FileFormat kMp4Video{".mp4", "MPEG-4 video file", 5};
constexpr FileFormat kQuickTime{".mov", "QuickTime movie file", 13};

constexpr std::string_view kTvGenres[] = {"Drama", "Comedy", "Documentary", "Sci-Fi & Fantasy"};
constexpr std::string_view kFilmGenres[] = {"Action & Adventure", "Drama",         "Comedy",
                                            "Thriller",           "Kids & Family", "Documentary"};

// The largest media file; sizes stay small so that copying a whole demo player is quick.
constexpr std::uint32_t kLargestFile = 100'000;

struct Artist {
    std::string name;
    std::string_view genre;
    bool foreign = false;
};

class LibraryBuilder {
  public:
    LibraryBuilder(std::uint32_t count, Random& random);
    std::vector<TrackDraft> build();

  private:
    void addAlbum();
    void addPodcastShow();
    void addAudiobook();
    void addTvSeason();
    void addMovie();
    void addMusicVideos();

    [[nodiscard]] std::uint32_t take(std::uint32_t wanted) const {
        return std::min(wanted, count_ - static_cast<std::uint32_t>(drafts_.size()));
    }
    // Popular artists come up far more often than the rest.
    const Artist& anyArtist() {
        const auto count = static_cast<std::uint32_t>(artists_.size());
        return artists_[random_.below(random_.below(count) + 1)];
    }
    StringEncoding anyEncoding();
    TrackDraft newTrack(const FileFormat& format, std::uint32_t mediaKind, StringEncoding encoding);
    void commit(TrackDraft draft, std::uint32_t dateAdded);

    std::uint32_t count_;
    Random& random_;
    std::vector<Artist> artists_;
    std::vector<TrackDraft> drafts_;
};

LibraryBuilder::LibraryBuilder(std::uint32_t count, Random& random)
    : count_(count), random_(random) {
    const std::uint32_t artistCount = std::clamp<std::uint32_t>(count / 30, 4, 4000);
    artists_.reserve(artistCount);
    for (std::uint32_t i = 0; i < artistCount; ++i) {
        Artist artist;
        artist.foreign = random_.percent(6);
        artist.name = artist.foreign ? foreignArtistName(random_) : bandName(random_);
        artist.genre = random_.pick(musicGenres());
        artists_.push_back(std::move(artist));
    }
}

std::vector<TrackDraft> LibraryBuilder::build() {
    drafts_.reserve(count_);
    while (drafts_.size() < count_) {
        const std::uint32_t roll = random_.below(100);
        if (roll < 84) {
            addAlbum();
        } else if (roll < 90) {
            addPodcastShow();
        } else if (roll < 92) {
            addAudiobook();
        } else if (roll < 95) {
            addTvSeason();
        } else if (roll < 98) {
            addMovie();
        } else {
            addMusicVideos();
        }
    }
    return std::move(drafts_);
}

StringEncoding LibraryBuilder::anyEncoding() {
    const std::uint32_t roll = random_.below(100);
    if (roll < 10) {
        return StringEncoding::Utf8;
    }
    return roll < 14 ? StringEncoding::Utf16Unmarked : StringEncoding::Utf16;
}

TrackDraft LibraryBuilder::newTrack(const FileFormat& format, std::uint32_t mediaKind,
                                    StringEncoding encoding) {
    TrackDraft draft;
    draft.extension = format.extension;
    draft.track.fileType = format.code;
    draft.track.mediaKind = mediaKind;
    draft.track.stringEncoding = encoding;
    if (random_.percent(96)) {
        draft.track.fileTypeText = format.typeText;
    }
    return draft;
}

void LibraryBuilder::commit(TrackDraft draft, std::uint32_t dateAdded) {
    Track& track = draft.track;
    track.dateAdded = dateAdded;
    track.size = std::min(kLargestFile, 2'000 + track.lengthMs / 20) + random_.below(2048);
    if (random_.percent(55)) {
        track.playCount = 1 + random_.below(random_.below(150) + 1);
        track.lastPlayed = random_.between(dateAdded, player_clock::kLastSync);
    }
    if (random_.percent(45)) {
        track.rating = static_cast<std::uint8_t>(20 * random_.between(1, 5));
        track.appRating = random_.percent(70) ? track.rating : 0;
    }
    drafts_.push_back(std::move(draft));
}

void LibraryBuilder::addAlbum() {
    const bool compilation = random_.percent(5);
    const Artist& artist = anyArtist();
    const std::string album =
        artist.foreign && random_.percent(50) ? foreignTitle(random_) : albumTitle(random_);
    std::string genre(random_.percent(92) ? artist.genre : random_.pick(musicGenres()));
    if (random_.percent(3)) {
        genre.clear();
    }
    std::string composer;
    if (genre == "Classical" || random_.percent(30)) {
        composer = personName(random_);
    }
    const std::uint32_t year = random_.between(1962, 2012);
    const std::uint32_t formatRoll = random_.below(100);
    const FileFormat& format = formatRoll < 60   ? kMp3
                               : formatRoll < 63 ? kMp3UpperCase
                               : formatRoll < 83 ? kAac
                               : formatRoll < 91 ? kProtectedAac
                               : formatRoll < 93 ? kWav
                               : formatRoll < 95 ? kFlac
                               : formatRoll < 97 ? kOgg
                                                 : kWma;
    constexpr std::uint32_t kMp3Rates[] = {128, 160, 192, 256, 320, 1};
    std::uint32_t bitrate = random_.pick(std::span<const std::uint32_t>(kMp3Rates));
    if (format.code == kAac.code || format.code == kProtectedAac.code || format.code == kWma.code) {
        bitrate = random_.percent(70) ? 128 : 256;
    } else if (format.code == kWav.code) {
        bitrate = 1411;
    } else if (format.code == kFlac.code) {
        bitrate = random_.between(700, 1100);
    }
    const StringEncoding encoding = anyEncoding();
    const std::uint32_t mediaKind =
        random_.percent(85) ? media_kind::audio : media_kind::audioUnmarked;
    const std::uint32_t dateAdded =
        random_.between(player_clock::kLibraryStarted, player_clock::kLastAdded);
    const std::uint32_t trackCount = take(random_.between(8, 16));

    for (std::uint32_t i = 0; i < trackCount; ++i) {
        TrackDraft draft = newTrack(format, mediaKind, encoding);
        Track& track = draft.track;
        track.artist = compilation ? anyArtist().name : artist.name;
        track.title =
            artist.foreign && random_.percent(60) ? foreignTitle(random_) : songTitle(random_);
        track.album = album;
        track.genre = genre;
        track.composer = composer;
        track.year = year;
        track.trackNumber = i + 1;
        track.albumTrackCount = trackCount;
        track.lengthMs = random_.between(95'000, 420'000);
        track.bitrate = bitrate;
        if (random_.percent(25)) {
            track.bpm = static_cast<std::uint16_t>(random_.between(60, 200));
        }
        if (random_.percent(50)) {
            track.comment = trackComment(random_);
        }
        commit(std::move(draft), dateAdded + i);
    }
}

void LibraryBuilder::addPodcastShow() {
    const std::string show = showTitle(random_);
    const std::string host = personName(random_);
    const std::string address = "http://feeds.example.net/" + urlSlug(show);
    const bool video = random_.percent(25);
    const FileFormat& format = video ? kVideo : kMp3;
    const StringEncoding encoding = anyEncoding();
    const std::uint32_t firstEpisode = random_.between(1, 150);
    const std::uint32_t year = random_.between(2006, 2012);
    const std::uint32_t episodes = take(random_.between(3, 25));
    for (std::uint32_t i = 0; i < episodes; ++i) {
        TrackDraft draft =
            newTrack(format, video ? media_kind::videoPodcast : media_kind::podcast, encoding);
        Track& track = draft.track;
        track.title = episodeTitle(random_, firstEpisode + i);
        track.album = show;
        track.artist = host;
        track.genre = "Podcast";
        track.description = episodeDescription(random_);
        track.enclosureUrl = address + "/episode-" + std::to_string(firstEpisode + i) +
                             std::string(format.extension);
        track.feedUrl = address + "/feed.xml";
        track.year = year;
        track.lengthMs = random_.between(600'000, 4'200'000);
        track.bitrate = video ? 1200 : 128;
        commit(std::move(draft),
               random_.between(player_clock::kLibraryStarted, player_clock::kLastAdded));
    }
}

void LibraryBuilder::addAudiobook() {
    const std::string book = bookTitle(random_);
    const std::string author = personName(random_);
    const std::string narrator = personName(random_);
    const FileFormat& format = random_.percent(35) ? kAudible : kAudiobook;
    const StringEncoding encoding = anyEncoding();
    const std::uint32_t year = random_.between(1990, 2012);
    const std::uint32_t dateAdded =
        random_.between(player_clock::kLibraryStarted, player_clock::kLastAdded);
    const std::uint32_t parts = take(random_.between(2, 10));
    for (std::uint32_t i = 0; i < parts; ++i) {
        TrackDraft draft = newTrack(format, media_kind::audiobook, encoding);
        Track& track = draft.track;
        track.title = book + ", Part " + std::to_string(i + 1);
        track.album = book;
        track.artist = author;
        track.composer = narrator;
        track.genre = "Audiobook";
        track.year = year;
        track.trackNumber = i + 1;
        track.albumTrackCount = parts;
        track.lengthMs = random_.between(1'800'000, 3'600'000);
        track.bitrate = 64;
        commit(std::move(draft), dateAdded + i);
    }
}

void LibraryBuilder::addTvSeason() {
    const std::string show = albumTitle(random_);
    const std::string season = show + ", Season " + std::to_string(random_.between(1, 6));
    const std::string_view genre = random_.pick(std::span<const std::string_view>(kTvGenres));
    const FileFormat& format = random_.percent(40) ? kProtectedVideo : kVideo;
    const StringEncoding encoding = anyEncoding();
    const std::uint32_t year = random_.between(2004, 2012);
    const std::uint32_t dateAdded =
        random_.between(player_clock::kLibraryStarted, player_clock::kLastAdded);
    const std::uint32_t episodes = take(random_.between(4, 12));
    for (std::uint32_t i = 0; i < episodes; ++i) {
        TrackDraft draft = newTrack(format, media_kind::tvShow, encoding);
        Track& track = draft.track;
        track.title = songTitle(random_);
        track.album = season;
        track.artist = show;
        track.genre = genre;
        track.year = year;
        track.trackNumber = i + 1;
        track.albumTrackCount = episodes;
        track.lengthMs = random_.between(1'300'000, 2'700'000);
        track.bitrate = 1500;
        commit(std::move(draft), dateAdded + i);
    }
}

void LibraryBuilder::addMovie() {
    const std::uint32_t roll = random_.below(100);
    const FileFormat& format = roll < 40   ? kVideo
                               : roll < 60 ? kProtectedVideo
                               : roll < 85 ? kMp4Video
                                           : kQuickTime;
    TrackDraft draft = newTrack(format, media_kind::movie, anyEncoding());
    Track& track = draft.track;
    track.title = bookTitle(random_);
    if (random_.percent(50)) {
        track.artist = personName(random_);
    }
    track.genre = random_.pick(std::span<const std::string_view>(kFilmGenres));
    track.year = random_.between(1950, 2012);
    track.lengthMs = random_.between(5'200'000, 9'000'000);
    track.bitrate = 1800;
    commit(std::move(draft),
           random_.between(player_clock::kLibraryStarted, player_clock::kLastAdded));
}

void LibraryBuilder::addMusicVideos() {
    const Artist& artist = anyArtist();
    const StringEncoding encoding = anyEncoding();
    const std::uint32_t videos = take(random_.between(1, 3));
    for (std::uint32_t i = 0; i < videos; ++i) {
        TrackDraft draft =
            newTrack(random_.percent(60) ? kVideo : kMp4Video, media_kind::musicVideo, encoding);
        Track& track = draft.track;
        track.title = songTitle(random_);
        track.artist = artist.name;
        track.genre = artist.genre;
        track.year = random_.between(1980, 2012);
        track.lengthMs = random_.between(180'000, 360'000);
        track.bitrate = 1500;
        commit(std::move(draft),
               random_.between(player_clock::kLibraryStarted, player_clock::kLastAdded));
    }
}

}  // namespace

std::vector<TrackDraft> ordinaryTracks(std::uint32_t count, Random& random) {
    return LibraryBuilder(count, random).build();
}

}  // namespace pelmar::player_image
