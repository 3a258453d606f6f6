#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "player_image/player_image.h"

namespace pelmar::player_image::test {
namespace {

PlayerImage imageOf(std::uint32_t trackCount) {
    Options options;
    options.trackCount = trackCount;
    return generatePlayerImage(options);
}

bool anyTrack(const PlayerImage& image, const std::function<bool(const Track&)>& matches) {
    return std::any_of(image.tracks.begin(), image.tracks.end(), matches);
}

const Playlist* playlistNamed(const PlayerImage& image, const std::string& name) {
    for (const Playlist& playlist : image.playlists) {
        if (playlist.name == name) {
            return &playlist;
        }
    }
    return nullptr;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::size_t characterCount(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool hasFourByteCharacter(const std::string& utf8) {
    return std::any_of(utf8.begin(), utf8.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0xF8) == 0xF0; });
}

// Byte 256 falls inside a multi-byte character: cutting there needs care.
bool cutAt256SplitsACharacter(const std::string& utf8) {
    return utf8.size() > 256 && (static_cast<unsigned char>(utf8[256]) & 0xC0) == 0x80;
}

TEST(HostileCases, TwentyTracksCoverEveryFileTypeCodeAndMediaKind) {
    const PlayerImage image = imageOf(20);
    ASSERT_EQ(image.tracks.size(), 20U);
    std::set<int> codes;
    std::set<std::uint32_t> kinds;
    for (const Track& track : image.tracks) {
        codes.insert(track.fileType);
        kinds.insert(track.mediaKind);
    }
    EXPECT_EQ(codes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(kinds, (std::set<std::uint32_t>{0, 1, 2, 4, 6, 8, 32, 64}));
}

TEST(HostileCases, FileTypesThatOnlyTheTypeTextOrAnOddExtensionDecide) {
    const PlayerImage image = imageOf(40);
    const struct {
        const char* what;
        std::function<bool(const Track&)> matches;
    } cases[] = {
        {"upper-case .MP3",
         [](const Track& t) { return endsWith(t.location, ".MP3") && t.fileType == 2; }},
        {"unknown extension, MPEG-4 video text",
         [](const Track& t) { return t.fileTypeText == "MPEG-4 video file" && t.fileType == 9; }},
        {"unknown extension, MPEG-4 audio text",
         [](const Track& t) { return t.fileTypeText == "MPEG-4 audio file" && t.fileType == 9; }},
        {"unknown extension, unknown text",
         [](const Track& t) { return t.fileTypeText == "AIFF audio file" && t.fileType == 6; }},
        {"no extension, AAC text",
         [](const Track& t) {
             return t.location.find('.') == std::string::npos && t.fileType == 5;
         }},
        {"no extension, no text",
         [](const Track& t) {
             return t.location.find('.') == std::string::npos && t.fileTypeText.empty() &&
                    t.fileType == 2;
         }},
        {"mp4 decided by extension despite the video text",
         [](const Track& t) { return endsWith(t.location, ".mp4") && t.fileType == 5; }},
        {"padded protected text",
         [](const Track& t) {
             return !t.fileTypeText.empty() && t.fileTypeText.front() == ' ' && t.fileType == 7;
         }},
        {"too short an extension",
         [](const Track& t) { return endsWith(t.location, ".a") && t.fileType == 1; }},
        {"blank type text",
         [](const Track& t) { return t.fileTypeText == "   " && t.fileType == 2; }},
    };
    for (const auto& wanted : cases) {
        EXPECT_TRUE(anyTrack(image, wanted.matches)) << wanted.what;
    }
}

TEST(HostileCases, NamesThatAreHardToStoreOrToUseAsFileNames) {
    const PlayerImage image = imageOf(40);
    const struct {
        const char* what;
        std::function<bool(const Track&)> matches;
    } cases[] = {
        {"Japanese", [](const Track& t) { return t.title == "夜明けの歌"; }},
        {"Cyrillic", [](const Track& t) { return t.artist == "Анна Соколова"; }},
        {"Greek", [](const Track& t) { return t.artist == "Ελένη Παπαδοπούλου"; }},
        {"accented Latin", [](const Track& t) { return t.album == "Café Crème"; }},
        {"emoji", [](const Track& t) { return hasFourByteCharacter(t.title); }},
        {"ABBA", [](const Track& t) { return t.artist == "ABBA"; }},
        {"Abba", [](const Track& t) { return t.artist == "Abba"; }},
        {"Cyrillic case pair", [](const Track& t) { return t.artist == "ГРУППА СЕВЕР"; }},
        {"slash", [](const Track& t) { return t.artist == "AC/DC"; }},
        {"question mark", [](const Track& t) { return t.title == "Who?"; }},
        {"trailing dots", [](const Track& t) { return t.album == "Live..."; }},
        {"only dots", [](const Track& t) { return t.title == "." && t.album == ".."; }},
        {"reserved characters",
         [](const Track& t) { return t.artist.find_first_of("\\:*\"<>|") != std::string::npos; }},
        {"300 ASCII characters",
         [](const Track& t) { return t.title.size() == 300 && characterCount(t.title) == 300; }},
        {"300 characters, byte 256 inside one",
         [](const Track& t) {
             return characterCount(t.title) == 300 && cutAt256SplitsACharacter(t.title);
         }},
        {"300 four-byte characters",
         [](const Track& t) { return characterCount(t.title) == 300 && t.title.size() == 1200; }},
        {"no title", [](const Track& t) { return t.title.empty() && !t.album.empty(); }},
        {"no tags at all",
         [](const Track& t) {
             return t.title.empty() && t.artist.empty() && t.album.empty() && t.genre.empty() &&
                    t.composer.empty() && t.fileTypeText.empty();
         }},
        {"composer without artist",
         [](const Track& t) { return t.artist.empty() && !t.composer.empty(); }},
        {"comment too long for a 2048-byte buffer",
         [](const Track& t) { return t.comment.size() > 1024; }},
        {"podcast addresses",
         [](const Track& t) { return !t.enclosureUrl.empty() && !t.feedUrl.empty(); }},
        {"id with the top bit set", [](const Track& t) { return t.id >= 0x80000000U; }},
    };
    for (const auto& wanted : cases) {
        EXPECT_TRUE(anyTrack(image, wanted.matches)) << wanted.what;
    }
}

TEST(HostileCases, NumbersCoverEncodingsRatingsAndPlayHistory) {
    const PlayerImage image = imageOf(200);
    std::set<StringEncoding> encodings;
    std::set<int> ratings;
    for (const Track& track : image.tracks) {
        encodings.insert(track.stringEncoding);
        ratings.insert(track.rating);
        EXPECT_EQ(track.rating % 20, 0);
        EXPECT_LE(track.rating, 100);
        EXPECT_TRUE(track.appRating == track.rating || track.appRating == 0);
        EXPECT_EQ(track.playCount == 0, track.lastPlayed == 0) << track.id;
        EXPECT_LE(track.bpm, 999);
    }
    EXPECT_EQ(encodings.size(), 3U);
    EXPECT_EQ(ratings, (std::set<int>{0, 20, 40, 60, 80, 100}));
    EXPECT_TRUE(anyTrack(image, [](const Track& t) { return t.rating > 0 && t.appRating == 0; }));
    EXPECT_TRUE(
        anyTrack(image, [](const Track& t) { return t.rating > 0 && t.appRating == t.rating; }));
    EXPECT_TRUE(anyTrack(image, [](const Track& t) { return t.bitrate == 1; }));
    EXPECT_TRUE(anyTrack(image, [](const Track& t) { return t.bpm > 0; }));
    EXPECT_TRUE(anyTrack(image, [](const Track& t) { return t.playCount == 0; }));
}

TEST(HostileCases, PlaylistsWithAwkwardNamesAndItems) {
    const PlayerImage image = imageOf(20);
    for (const char* name : {"beta", "Alpha", "alpha2", "Zed", "お気に入り", "Empty"}) {
        EXPECT_NE(playlistNamed(image, name), nullptr) << name;
    }
    EXPECT_EQ(std::count_if(image.playlists.begin(), image.playlists.end(),
                            [](const Playlist& p) { return p.name == "Road Trip"; }),
              2);
    EXPECT_TRUE(std::any_of(image.playlists.begin(), image.playlists.end(),
                            [](const Playlist& p) { return characterCount(p.name) == 300; }));
    EXPECT_TRUE(playlistNamed(image, "Empty")->items.empty());

    const Playlist* twice = playlistNamed(image, "Twice");
    ASSERT_NE(twice, nullptr);
    const std::set<std::uint32_t> distinct(twice->items.begin(), twice->items.end());
    EXPECT_LT(distinct.size(), twice->items.size());

    EXPECT_TRUE(std::any_of(image.playlists.begin(), image.playlists.end(),
                            [](const Playlist& p) { return p.smart; }));
}

TEST(HostileCases, PodcastPlaylistsGroupEveryPodcastEpisodeByShow) {
    const PlayerImage image = imageOf(2000);
    std::set<std::uint32_t> episodes;
    for (const Track& track : image.tracks) {
        if (track.mediaKind == media_kind::podcast || track.mediaKind == media_kind::videoPodcast) {
            episodes.insert(track.id);
        }
    }
    std::set<std::uint32_t> listed;
    for (const Playlist& show : image.podcastPlaylists) {
        EXPECT_FALSE(show.items.empty()) << show.name;
        listed.insert(show.items.begin(), show.items.end());
    }
    EXPECT_GT(image.podcastPlaylists.size(), 2U);
    EXPECT_EQ(listed, episodes);
}

TEST(HostileCases, LargeLibrariesAreMostlyOrdinaryAlbumsByManyArtists) {
    const PlayerImage image = imageOf(20'000);
    std::set<std::string> artists;
    std::set<std::string> genres;
    std::set<std::pair<std::string, std::string>> albums;
    std::size_t music = 0;
    for (const Track& track : image.tracks) {
        artists.insert(track.artist);
        genres.insert(track.genre);
        albums.emplace(track.album, track.artist);
        music += track.mediaKind <= media_kind::audio ? 1 : 0;
    }
    EXPECT_GT(music, image.tracks.size() * 8 / 10);
    EXPECT_GT(artists.size(), 400U);
    EXPECT_LT(artists.size(), 2'000U);
    EXPECT_GT(genres.size(), 30U);
    EXPECT_LT(genres.size(), 80U);
    const double tracksPerAlbum =
        static_cast<double>(image.tracks.size()) / static_cast<double>(albums.size());
    EXPECT_GT(tracksPerAlbum, 6.0);
    EXPECT_LT(tracksPerAlbum, 16.0);
}

}  // namespace
}  // namespace pelmar::player_image::test
