#include "player_image/hostile_tracks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "player_image/player_clock.h"
#include "player_image/utf8_text.h"

namespace pelmar::player_image {
namespace {

TrackDraft draft(std::string_view extension, std::string_view typeText, std::uint8_t fileType,
                 std::uint32_t mediaKind) {
    TrackDraft d;
    d.extension = extension;
    d.track.fileTypeText = typeText;
    d.track.fileType = fileType;
    d.track.mediaKind = mediaKind;
    d.track.lengthMs = 215'000;
    d.track.trackNumber = 1;
    d.track.albumTrackCount = 1;
    d.track.year = 2008;
    d.track.bitrate = 192;
    return d;
}

void rate(Track& track, std::uint8_t rating, std::uint8_t appRating) {
    track.rating = rating;
    track.appRating = appRating;
}

void makePodcastEpisode(Track& track, std::string_view show, std::string_view file) {
    track.album = show;
    track.genre = "Podcast";
    track.description = "Show notes with “typographic quotes”, ampersands & <angle brackets>.";
    track.enclosureUrl = "http://feeds.example.net/episodes/" + std::string(file);
    track.feedUrl = "http://feeds.example.net/rss.xml?show=" + std::string(show.substr(0, 4));
    track.lengthMs = 2'400'000;
}

}  // namespace

std::vector<TrackDraft> hostileTracks() {
    std::vector<TrackDraft> drafts;

    // One of each file type code. Each also carries names that are hard to store or to turn
    // into file names, and together they cover every media kind.
    {
        TrackDraft slashes = draft(".mp3", "MPEG audio file", 2, media_kind::audio);
        slashes.track.title = "Who?";
        slashes.track.artist = "AC/DC";
        slashes.track.album = "Live...";
        slashes.track.genre = "Rock";
        slashes.track.composer = "A. Young/M. Young";
        slashes.track.bitrate = 1;
        slashes.track.playCount = 42;
        rate(slashes.track, 100, 100);
        drafts.push_back(std::move(slashes));
    }

    {
        TrackDraft upperCaseArtist = draft(".wav", "WAV audio file", 1, media_kind::audioUnmarked);
        upperCaseArtist.track.title = "Ring Ring Again";
        upperCaseArtist.track.artist = "ABBA";
        upperCaseArtist.track.album = "Gold Tones";
        upperCaseArtist.track.genre = "Pop";
        upperCaseArtist.track.bitrate = 1411;
        rate(upperCaseArtist.track, 80, 0);
        drafts.push_back(std::move(upperCaseArtist));
    }

    {
        TrackDraft mixedCaseArtist =
            draft(".wma", "Windows Media audio file", 3, media_kind::audio);
        mixedCaseArtist.track.title = "Ring Ring Again";
        mixedCaseArtist.track.artist = "Abba";
        mixedCaseArtist.track.album = "gold tones";
        mixedCaseArtist.track.genre = "pop";
        mixedCaseArtist.track.composer = "Benny Åström";
        rate(mixedCaseArtist.track, 60, 60);
        drafts.push_back(std::move(mixedCaseArtist));
    }

    {
        TrackDraft memo = draft(".nvf", "", 4, media_kind::audio);
        memo.track.title = "Voice Memo 14.03.2008";
        memo.track.stringEncoding = StringEncoding::Utf16Unmarked;
        drafts.push_back(std::move(memo));
    }

    {
        TrackDraft japanese = draft(".m4a", "AAC audio file", 5, media_kind::audio);
        japanese.track.title = "夜明けの歌";
        japanese.track.artist = "山田 花子";
        japanese.track.album = "東京の夜";
        japanese.track.genre = "J-Pop";
        japanese.track.composer = "佐藤 健一";
        japanese.track.stringEncoding = StringEncoding::Utf8;
        rate(japanese.track, 40, 40);
        drafts.push_back(std::move(japanese));
    }

    {
        TrackDraft audible = draft(".aa", "Audible file", 6, media_kind::audiobook);
        audible.track.title = "Ночной поезд — Часть 1";
        audible.track.artist = "Анна Соколова";
        audible.track.album = "Ночной поезд";
        audible.track.genre = "Аудиокнига";
        audible.track.lengthMs = 3'600'000;
        drafts.push_back(std::move(audible));
    }

    {
        TrackDraft reserved = draft(".m4p", "Protected AAC audio file", 7, media_kind::audio);
        reserved.track.title = repeatToLength("A Very Long Title That Goes On And On ", 300);
        reserved.track.artist = R"(Back\Slash: "Quoted" <Band> | Pipe*)";
        reserved.track.album = "What Now?";
        reserved.track.genre = "Alternative";
        // Longer than the 2048-byte string buffer a reader may use.
        reserved.track.comment =
            repeatToLength("Liner notes: recorded over three nights in a barn. ", 1500);
        rate(reserved.track, 20, 0);
        drafts.push_back(std::move(reserved));
    }

    {
        TrackDraft greek = draft(".m4b", "AAC audio file", 8, media_kind::audiobook);
        greek.track.title = "Η Οδύσσεια — Μέρος 1";
        greek.track.artist = "Ελένη Παπαδοπούλου";
        greek.track.album = "Η Οδύσσεια";
        greek.track.genre = "Ακουστικό βιβλίο";
        greek.track.lengthMs = 3'400'000;
        drafts.push_back(std::move(greek));
    }

    {
        TrackDraft longJapanese = draft(".3gp", "MPEG-4 video file", 9, media_kind::movie);
        longJapanese.track.title = repeatToLength("長い題名の映画がずっと続きます", 300);
        longJapanese.track.genre = "Drama";
        longJapanese.track.lengthMs = 5'700'000;
        longJapanese.track.bitrate = 1500;
        drafts.push_back(std::move(longJapanese));
    }

    {
        TrackDraft emoji = draft(".ogg", "Ogg Vorbis file", 10, media_kind::audio);
        emoji.track.title = "Party 🎉🎶 Time";
        emoji.track.artist = "DJ 🐙 Octo";
        emoji.track.album = "😀 Faces 😀";
        emoji.track.genre = "Electronic";
        emoji.track.bitrate = 1;
        emoji.track.bpm = 128;
        emoji.track.stringEncoding = StringEncoding::Utf16Unmarked;
        drafts.push_back(std::move(emoji));
    }

    // Two-byte characters after one ASCII letter: byte 256 falls inside a character.
    {
        TrackDraft accents = draft(".flac", "FLAC audio file", 11, media_kind::audio);
        accents.track.title = "a" + repeatToLength("é", 299);
        accents.track.artist = "Zoë Lefèvre";
        accents.track.album = "Café Crème";
        accents.track.genre = "Chanson";
        accents.track.composer = "Dvořák-Núñez";
        accents.track.bitrate = 880;
        accents.track.stringEncoding = StringEncoding::Utf8;
        rate(accents.track, 100, 0);
        drafts.push_back(std::move(accents));
    }

    {
        TrackDraft videoPodcast = draft(".m4v", "MPEG-4 video file", 12, media_kind::videoPodcast);
        videoPodcast.track.title = "Ep. 7: Moving Pictures";
        videoPodcast.track.artist = "Cinema Hour Team";
        makePodcastEpisode(videoPodcast.track, "The Cinema Hour", "ep7.m4v");
        drafts.push_back(std::move(videoPodcast));
    }

    {
        TrackDraft musicVideo = draft(".mov", "QuickTime movie file", 13, media_kind::musicVideo);
        musicVideo.track.title = "Зимний вечер (Video)";
        musicVideo.track.artist = "Группа Север";
        musicVideo.track.genre = "Pop";
        drafts.push_back(std::move(musicVideo));
    }

    // Extension case, the type text deciding, and defaults.
    {
        TrackDraft podcast = draft(".MP3", "MPEG audio file", 2, media_kind::podcast);
        podcast.track.title = "Ep. 1: Hello, World!";
        makePodcastEpisode(podcast.track, "The Science Weekly", "ep1.mp3");
        drafts.push_back(std::move(podcast));
    }

    {
        TrackDraft ringtone = draft(".m4r", "MPEG-4 audio file", 9, media_kind::audio);
        ringtone.track.title = "Ringtone";
        ringtone.track.artist = "ГРУППА СЕВЕР";
        ringtone.track.album = "Зима";
        ringtone.track.genre = "Pop";
        drafts.push_back(std::move(ringtone));
    }

    {
        TrackDraft aiff = draft(".aif", "AIFF audio file", 6, media_kind::audio);
        aiff.track.title = "Sample Loop 120";
        aiff.track.artist = "Studio";
        aiff.track.genre = "Electronic";
        aiff.track.bpm = 120;
        drafts.push_back(std::move(aiff));
    }

    {
        TrackDraft bare = draft("", "AAC audio file", 5, media_kind::audio);
        bare.track.title = "No Extension";
        bare.track.artist = "Nobody";
        drafts.push_back(std::move(bare));
    }

    {
        TrackDraft tvShow = draft(".mp4", "MPEG-4 video file", 5, media_kind::tvShow);
        tvShow.track.title = "Pilot";
        tvShow.track.artist = "Harbour Lights";
        tvShow.track.album = "Harbour Lights, Season 1";
        tvShow.track.genre = "Drama";
        tvShow.track.lengthMs = 2'580'000;
        drafts.push_back(std::move(tvShow));
    }

    // Contains "AAC audio file" too: the protected phrase must win.
    {
        TrackDraft padded = draft(".dat", "  Protected AAC audio file  ", 7, media_kind::audio);
        padded.track.title = "Padded Type Text";
        padded.track.artist = "Anna Castillo";
        drafts.push_back(std::move(padded));
    }

    {
        TrackDraft protectedVideo =
            draft(".vid", "Protected MPEG-4 video file", 12, media_kind::movie);
        protectedVideo.track.title = "Movie Night";
        protectedVideo.track.genre = "Comedy";
        protectedVideo.track.lengthMs = 6'100'000;
        drafts.push_back(std::move(protectedVideo));
    }

    // ".a" is too short to count as an extension.
    {
        TrackDraft dots = draft(".a", "WAV audio file", 1, media_kind::audio);
        dots.track.title = ".";
        dots.track.artist = "...";
        dots.track.album = "..";
        dots.track.genre = "Live...";
        drafts.push_back(std::move(dots));
    }

    {
        TrackDraft nothing = draft("", "", 2, media_kind::audio);
        nothing.track.year = 0;
        nothing.track.trackNumber = 0;
        drafts.push_back(std::move(nothing));
    }

    {
        TrackDraft blankType = draft(".xyz", "   ", 2, media_kind::audio);
        blankType.track.title = "Trailing Dot.";
        blankType.track.artist = "The End.";
        blankType.track.album = "Who Knows?";
        blankType.track.composer = R"(C:\Music\*.mp3)";
        drafts.push_back(std::move(blankType));
    }

    {
        TrackDraft untitled = draft(".mp3", "MPEG audio file", 2, media_kind::audio);
        untitled.track.album = "Orphan Album";
        untitled.track.composer = "Tomás Núñez";
        untitled.track.bpm = 999;
        untitled.highId = true;
        drafts.push_back(std::move(untitled));
    }

    {
        TrackDraft surrogates = draft(".m4a", "AAC audio file", 5, media_kind::audio);
        surrogates.track.title = repeatToLength("🎵", 300);
        surrogates.track.artist = "Мария Лебедева";
        surrogates.track.album = repeatToLength("Очень длинное название альбома ", 300);
        surrogates.track.genre = "Folk";
        rate(surrogates.track, 60, 0);
        drafts.push_back(std::move(surrogates));
    }

    for (std::size_t i = 0; i < drafts.size(); ++i) {
        Track& track = drafts[i].track;
        track.size = static_cast<std::uint32_t>(6'000 + i * 3'517);
        track.dateAdded = player_clock::kLibraryStarted + static_cast<std::uint32_t>(i) * 86'400U;
        if (track.playCount == 0 && i % 3 != 0) {
            track.playCount = static_cast<std::uint32_t>(i);
        }
        if (track.playCount > 0) {
            track.lastPlayed = player_clock::kLastSync - static_cast<std::uint32_t>(i) * 3'600U;
        }
    }
    return drafts;
}

}  // namespace pelmar::player_image
