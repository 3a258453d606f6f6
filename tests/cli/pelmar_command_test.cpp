#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "command_runner.h"
#include "support/artwork_database_bytes.h"
#include "support/database_bytes.h"
#include "support/photo_database_bytes.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

using nlohmann::json;
using test::CommandRun;
using test::DatabaseBytes;
using test::pelmar;
using test::quoted;
using test::TrackHeader;

// A small player: a song, a video with non-Latin tags, a podcast, and three playlists.
class PelmarCommand : public ::testing::Test {
  protected:
    PelmarCommand() {
        DatabaseBytes db;
        db.root().dataset(1).trackList(3);
        TrackHeader song;
        song.id = 100;
        song.childCount = 5;
        song.size = 2048;
        song.lengthMs = 61'500;
        song.trackNumber = 3;
        song.year = 2001;
        song.bitrate = 1;
        song.playCount = 2;
        song.rating = 60;
        song.bpm = 120;
        db.track(song)
            .string(2, u":iPod_Control:Music:F00:AAAA.mp3")
            .string(1, u"One")
            .string(4, u"Band")
            .string(3, u"Live")
            .string(5, u"Rock");
        TrackHeader video;
        video.id = 200;
        video.childCount = 3;
        video.mediaKind = 2;
        video.lastPlayed = 2082844800U + 1'000'000U;
        db.track(video)
            .string(2, u":iPod_Control:Music:F01:BBBB.m4v")
            .string(1, u"\u65E5\u672C")
            .string(4, u"\u00C9milie");
        TrackHeader podcast;
        podcast.id = 300;
        podcast.childCount = 3;
        podcast.mediaKind = 4;
        db.track(podcast)
            .string(2, u":iPod_Control:Music:F02:CCCC.mp3")
            .string(1, u"Episode")
            .string(4, u"Host");
        db.dataset(2).playlistList(4);
        db.playlist().string(1, u"iPod").playlistItem(100).playlistItem(200).playlistItem(300);
        db.playlist().string(1, u"beta").playlistItem(300).playlistItem(100);
        db.playlist().string(1, u"Alpha").playlistItem(200);
        db.playlist().string(1, u"Zed");
        test::writeFile(folder.path() / "iPod_Control" / "iTunes" / "iTunesDB", db.bytes());

        test::PhotoDatabaseBytes photos;
        photos.image(7, 2082844800U + 86400, 0).thumbnail(1015, 0, 22880).thumbnail(1009, 0, 2520);
        photos.image(5, 2082844800U, 2082844800U + 3600);
        photos.album().albumName("Library").albumItem(5).albumItem(7);
        photos.album().albumName("zoo").albumItem(7);
        photos.album().albumName("Beach").albumItem(5);
        test::writeFile(folder.path() / "Photos" / "Photo Database", photos.bytes());
    }

    json listJson(const std::string& kind, const std::string& environment = "") {
        const CommandRun run =
            pelmar({"list", kind, "--player", folder.path().string(), "--json"}, environment);
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out);
    }

    static std::vector<std::uint32_t> ids(const json& tracks) {
        std::vector<std::uint32_t> out;
        for (const json& t : tracks) {
            out.push_back(t.at("id").get<std::uint32_t>());
        }
        return out;
    }

    test::TempFolder folder;
};

TEST_F(PelmarCommand, ListsTracksAsJsonWithEveryField) {
    const json tracks = listJson("tracks");
    ASSERT_EQ(ids(tracks), (std::vector<std::uint32_t>{100, 200, 300}));
    const json expected = {
        {"id", 100},           {"location", ":iPod_Control:Music:F00:AAAA.mp3"},
        {"fileType", 2},       {"type", "mp3"},
        {"artist", "Band"},    {"album", "Live"},
        {"title", "One"},      {"genre", "Rock"},
        {"composer", ""},      {"size", 2048},
        {"lengthSeconds", 61}, {"trackNumber", 3},
        {"year", 2001},        {"bitrate", 1},
        {"playCount", 2},      {"lastPlayed", nullptr},
        {"rating", 60},        {"bpm", 120},
        {"mediaKind", 1},      {"artwork", false},
    };
    EXPECT_EQ(tracks[0], expected);
    EXPECT_EQ(tracks[1]["lastPlayed"], 1'000'000);
    EXPECT_EQ(tracks[1]["type"], "m4v");
    EXPECT_EQ(tracks[1]["title"], "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST_F(PelmarCommand, ListsVideosPodcastsAndNamesInTheLibrarysOrder) {
    EXPECT_EQ(ids(listJson("videos")), (std::vector<std::uint32_t>{200}));
    EXPECT_EQ(ids(listJson("podcasts")), (std::vector<std::uint32_t>{300}));
    EXPECT_EQ(listJson("artists"), json({"Band", "Host", "\xC3\x89milie"}));
    EXPECT_EQ(listJson("albums"), json({"Live"}));
    EXPECT_EQ(listJson("genres"), json({"Rock"}));
    EXPECT_EQ(listJson("composers"), json::array());
}

TEST_F(PelmarCommand, ListsPlaylistsInByteOrderWithTheirItems) {
    const json playlists = listJson("playlists");
    const json expected = json::parse(R"([
        {"id": 1, "name": "Alpha", "items": [200]},
        {"id": 3, "name": "Zed", "items": []},
        {"id": 2, "name": "beta", "items": [300, 100]}])");
    EXPECT_EQ(playlists, expected);
}

TEST_F(PelmarCommand, ListsPhotosByIdAndAlbumsInByteOrder) {
    const json expectedPhotos = json::parse(R"([
        {"id": 5, "created": 3600, "modified": 0, "thumbnails": [], "original": null},
        {"id": 7, "created": null, "modified": 86400, "thumbnails": [
            {"format": 1015, "offset": 0, "size": 22880},
            {"format": 1009, "offset": 0, "size": 2520}], "original": null}])");
    EXPECT_EQ(listJson("photos"), expectedPhotos);
    const json expectedAlbums = json::parse(R"json([
        {"id": 0, "name": "(All Photos)", "photos": [5, 7]},
        {"id": 2, "name": "Beach", "photos": [5]},
        {"id": 1, "name": "zoo", "photos": [7]}])json");
    EXPECT_EQ(listJson("photo-albums"), expectedAlbums);
}

TEST_F(PelmarCommand, ListsWhichTracksHaveArtworkAndWherePhotoOriginalsAre) {
    DatabaseBytes db;
    db.root().dataset(1).trackList(2);
    TrackHeader header;
    header.id = 100;
    db.track(header);
    header.id = 200;
    db.track(header);
    std::vector<std::uint8_t> music = db.bytes();
    const auto first = static_cast<std::size_t>(
        std::search(music.begin(), music.end(), std::begin("mhit"), std::end("mhit") - 1) -
        music.begin());
    for (const std::size_t track : {first, first + header.headerLength}) {
        music[track + 164] = 1;  // both say they have artwork; only the first names its image
    }
    test::put32(music, first + 352, 40);
    test::writeFile(folder.path() / "iPod_Control" / "iTunes" / "iTunesDB", music);
    test::ArtworkDatabaseBytes artwork;
    artwork.image(40).picture({1055, 0, 32768, ":F1055_1.ithmb"});
    test::writeFile(folder.path() / "iPod_Control" / "Artwork" / "ArtworkDB", artwork.bytes());
    test::writeFile(folder.path() / "iPod_Control" / "Artwork" / "F1055_1.ithmb",
                    std::vector<std::uint8_t>(32768));
    test::PhotoDatabaseBytes photos;
    photos.image(7).dataObject(5, test::pictureBody({1, 0, 0, ":Full Resolution:IMG_1.JPG", 2}));
    photos.image(8);
    test::writeFile(folder.path() / "Photos" / "Photo Database", photos.bytes());

    const json tracks = listJson("tracks");
    ASSERT_EQ(tracks.size(), 2U);
    EXPECT_EQ(tracks[0]["artwork"], true);
    EXPECT_EQ(tracks[1]["artwork"], false);
    const json listed = listJson("photos");
    ASSERT_EQ(listed.size(), 2U);
    EXPECT_EQ(listed[0]["original"], "Photos/Full Resolution/IMG_1.JPG");
    EXPECT_TRUE(listed[1]["original"].is_null());
}

TEST_F(PelmarCommand, InfoShowsTheDeviceAndItsContents) {
    const CommandRun run = pelmar({"info", "--player", folder.path().string(), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json info = json::parse(run.out);
    EXPECT_EQ(info["deviceName"], "Apple iPod");
    EXPECT_EQ(info["mountPoint"], folder.path().string());
    EXPECT_TRUE(info["productId"].is_null()) << "a folder on a fixed disk";
    EXPECT_EQ(info["family"], 0);
    EXPECT_GT(info["totalBytes"].get<std::int64_t>(), 0);
    EXPECT_EQ(info["tracks"], 2) << "the song and the podcast; the video counts as a video";
    EXPECT_EQ(info["videos"], 1);
    EXPECT_EQ(info["podcasts"], 1);
    EXPECT_EQ(info["playlists"], 3);
    EXPECT_EQ(info["photos"], 2);
    EXPECT_EQ(info["photoAlbums"], 3);

    const CommandRun table = pelmar({"info", "--player", folder.path().string()});
    ASSERT_EQ(table.status, 0);
    for (const char* label : {"Device Name", "Mount Point", "Total Capacity", "Free Space"}) {
        EXPECT_NE(table.out.find(label), std::string::npos) << label;
    }
    EXPECT_TRUE(std::regex_search(table.out, std::regex("\nTracks +2\n"))) << table.out;
    EXPECT_NE(table.out.find(" GB"), std::string::npos);
}

TEST(PelmarOptions, ShowsDefaultsAndStoresCheckedValues) {
    const test::TempFolder config;
    const std::string env = "PELMAR_CONFIG_DIR=" + quoted(config.path().string());
    const CommandRun fresh = pelmar({"options"}, env);
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_NE(fresh.out.find("[ No subfolders ]"), std::string::npos);
    EXPECT_NE(fresh.out.find("do not copy"), std::string::npos);

    const CommandRun early = pelmar({"options", "set", "EnableiTunes", "1"}, env);
    EXPECT_EQ(early.status, 1) << "a number is not kept before any text";
    EXPECT_NE(early.err.find("was not stored"), std::string::npos);

    EXPECT_EQ(pelmar({"options", "set", "FormatFolder", "artist\\album\\"}, env).status, 0);
    EXPECT_EQ(pelmar({"options", "set", "EnableiTunes", "1"}, env).status, 0);
    const CommandRun bad = pelmar({"options", "set", "ExistHandling", "sometimes"}, env);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("copy to new name"), std::string::npos) << "the choices are listed";
    EXPECT_EQ(pelmar({"options", "set", "Colour", "blue"}, env).status, 2);

    const CommandRun shown = pelmar({"options", "show"}, env);
    EXPECT_NE(shown.out.find("Artist\\Album\\"), std::string::npos)
        << "stored as the choice's own text: " << shown.out;
    EXPECT_NE(shown.out.find("EnableiTunes"), std::string::npos);
    EXPECT_TRUE(std::regex_search(shown.out, std::regex("\nSaveArtwork +1 +default\n")))
        << shown.out;
    EXPECT_EQ(pelmar({"options", "set", "WriteTags", "1"}, env).status, 0);
    EXPECT_EQ(pelmar({"options", "set", "SaveArtwork", "2"}, env).status, 2);
    EXPECT_TRUE(std::regex_search(pelmar({"options"}, env).out,
                                  std::regex("\nWriteTags +1 +stored\n")));
}

TEST_F(PelmarCommand, JsonIsUtf8WhateverTheCodePage) {
    const json tracks = listJson("tracks", "PELMAR_CODEPAGE=CP1252");
    EXPECT_EQ(tracks[1]["artist"], "\xC3\x89milie");
    EXPECT_EQ(tracks[1]["title"], "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST_F(PelmarCommand, SearchesWithoutRegardToCase) {
    const CommandRun run =
        pelmar({"search", "\xC3\x89MI", "--player", folder.path().string(), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ids(json::parse(run.out)), (std::vector<std::uint32_t>{200}));

    const CommandRun none = pelmar({"search", "zzz", "--player", folder.path().string()});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("Search produced no results.  Please try a different search term."),
              std::string::npos);
}

TEST_F(PelmarCommand, PrintsATableByDefault) {
    const CommandRun run = pelmar({"list", "tracks", "--player", folder.path().string()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string header;
    std::getline(lines, header);
    EXPECT_NE(header.find("ID  Name"), std::string::npos) << header;
    EXPECT_NE(header.find("Last Played"), std::string::npos) << header;
    EXPECT_NE(run.out.find("Band - Live - 03 - One"), std::string::npos);
    EXPECT_NE(run.out.find("VBR"), std::string::npos);
}

TEST_F(PelmarCommand, TakesThePlayerFromTheEnvironment) {
    const CommandRun run =
        pelmar({"list", "genres", "--json"}, "PELMAR_PLAYER=" + quoted(folder.path()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.out), json({"Rock"}));
}

TEST_F(PelmarCommand, DamagedDatabaseIsReportedAndWhatWasReadIsListed) {
    const auto path = folder.path() / "iPod_Control" / "iTunes" / "iTunesDB";
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::ate);
    file << "mhyp" << std::string("\x03\x00\x00\x00", 4);
    file.close();
    const CommandRun run = pelmar({"list", "tracks", "--player", folder.path().string(), "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("damaged"), std::string::npos) << run.err;
    EXPECT_EQ(ids(json::parse(run.out)).size(), 3U);
}

TEST(PelmarCommandErrors, RejectsBadUsageWithStatus2) {
    EXPECT_EQ(pelmar({}).status, 2);
    EXPECT_EQ(pelmar({"list"}).status, 2);
    EXPECT_EQ(pelmar({"list", "songs", "--player", "/tmp"}).status, 2);
    EXPECT_EQ(pelmar({"frobnicate"}).status, 2);
    EXPECT_EQ(pelmar({"options", "set", "FormatFolder"}).status, 2);
}

TEST(PelmarCommandErrors, WithoutAPlayerNamedItSearchesAndReportsWhatItFound) {
    const CommandRun detected = pelmar({"list", "tracks"});
    if (detected.status == 0) {
        GTEST_SKIP() << "this machine has a player mounted";
    }
    EXPECT_EQ(detected.status, 3);
    EXPECT_NE(detected.err.find("Pelmar cannot find any connected iPod devices."),
              std::string::npos)
        << detected.err;
}

TEST(PelmarCommandErrors, ReportsAMissingPlayerWithStatus3) {
    const test::TempFolder empty;
    const CommandRun missing =
        pelmar({"list", "tracks", "--player", (empty.path() / "gone").string()});
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("no such folder"), std::string::npos);
    const CommandRun notAPlayer = pelmar({"list", "tracks", "--player", empty.path().string()});
    EXPECT_EQ(notAPlayer.status, 3);
    EXPECT_NE(notAPlayer.err.find("iPod_Control"), std::string::npos);
}

TEST(PelmarCommandErrors, PlayerWithoutMusicDatabaseListsNothingAndSaysWhy) {
    const test::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "iPod_Control");
    const CommandRun run = pelmar({"list", "tracks", "--player", folder.path().string(), "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "[]\n");
    EXPECT_NE(run.err.find("no readable music database"), std::string::npos);
}

TEST(PelmarCommandErrors, AnswersHelpAndVersion) {
    const CommandRun help = pelmar({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("list"), std::string::npos);
    const CommandRun version = pelmar({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("pelmar ", 0), 0U);
}

}  // namespace
}  // namespace pelmar
