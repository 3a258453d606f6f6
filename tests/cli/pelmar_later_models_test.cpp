#include <gtest/gtest.h>

#include <map>

#include <nlohmann/json.hpp>

#include "command_runner.h"
#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
namespace image = player_image;
using nlohmann::json;

struct LaterPlayer {
    const char* label;
    image::Model model;
    image::CompressedPresence presence;
    bool compressed;  // what `pelmar info` says
    const char* modelName;
};

const LaterPlayer kPlayers[] = {
    {"nano 5G", image::Model::Nano5G, image::CompressedPresence::Written, true,
     "iPod nano (5th generation)"},
    {"nano 7G", image::Model::Nano7G, image::CompressedPresence::Written, true,
     "iPod nano (7th generation)"},
    {"nano 7G without its compressed database", image::Model::Nano7G,
     image::CompressedPresence::Missing, false, "iPod nano (7th generation)"},
};

// Each later player written by the image writer, with two playlists made on the player: its
// model, its whole library, the player's own play counts and its on-the-go playlists reach
// `pelmar info`, `pelmar list` and `pelmar backup` alike.
TEST(PelmarLaterModels, InfoListAndBackupShowTheWholeLibrary) {
    for (const LaterPlayer& later : kPlayers) {
        SCOPED_TRACE(later.label);
        const test::TempFolder folder;
        const fs::path player = folder.path() / "player";
        const fs::path backup = folder.path() / "backup";
        image::Options options = image::optionsFor(later.model);
        options.trackCount = 24;
        options.withPhotos = false;
        options.withArtwork = false;
        options.mediaSize = 256;
        options.onTheGoCount = 2;
        options.compressedPresence = later.presence;
        const image::PlayerImage written = image::generatePlayerImage(options);
        std::string error;
        ASSERT_TRUE(image::writePlayerImage(written, player, options, error)) << error;
        fs::create_directories(backup);

        const auto run = [&](std::vector<std::string> args) {
            args.insert(args.end(), {"--player", player.string(), "--json"});
            const test::CommandRun done = test::pelmar(
                args, "PELMAR_CONFIG_DIR=" + test::quoted((folder.path() / "config").string()) +
                          " XDG_RUNTIME_DIR=" + test::quoted(folder.path().string()));
            EXPECT_EQ(done.status, 0) << done.err;
            EXPECT_EQ(done.err.find("warning"), std::string::npos) << done.err;
            return done.status == 0 ? json::parse(done.out) : json();
        };

        const json info = run({"info"});
        EXPECT_EQ(info["model"], later.modelName);
        EXPECT_EQ(info["compressedDatabase"], later.compressed);
        EXPECT_EQ(info["tracks"].get<std::size_t>() + info["videos"].get<std::size_t>(),
                  written.tracks.size());

        std::map<std::string, json> byLocation;
        std::map<std::int64_t, std::string> locationOfId;
        for (const char* kind : {"tracks", "videos"}) {
            for (const json& track : run({"list", kind})) {
                byLocation[track["location"].get<std::string>()] = track;
                locationOfId[track["id"].get<std::int64_t>()] = track["location"];
            }
        }
        ASSERT_EQ(byLocation.size(), written.tracks.size());
        for (std::size_t i = 0; i < written.tracks.size(); ++i) {
            const image::Track& track = written.tracks[i];
            ASSERT_TRUE(byLocation.contains(track.location)) << track.location;
            const json& listed = byLocation[track.location];
            // Long titles are cut to the reader's caps.
            EXPECT_EQ(track.title.rfind(listed["title"].get<std::string>(), 0), 0U)
                << track.location;
            const std::uint32_t plays = written.trackStats.empty() || !written.trackStats[i].hasRow
                                            ? track.playCount + written.playCounts[i].plays
                                            : written.trackStats[i].playCount;
            EXPECT_EQ(listed["playCount"], plays) << track.location;
        }

        const json playlists = run({"list", "playlists"});
        const auto itemsOf = [&](const std::string& name) {
            std::vector<std::string> items;
            for (const json& playlist : playlists) {
                if (playlist["name"] == name) {
                    for (const json& id : playlist["items"]) {
                        items.push_back(locationOfId[id.get<std::int64_t>()]);
                    }
                }
            }
            return items;
        };
        for (std::size_t file = 0; file < written.onTheGoPlaylists.size(); ++file) {
            const std::string name = file == 0 ? "On-The-Go" : "On-The-Go " + std::to_string(file);
            std::vector<std::string> expected;
            for (const std::uint32_t index : written.onTheGoPlaylists[file]) {
                expected.push_back(written.tracks[index].location);
            }
            EXPECT_EQ(itemsOf(name), expected) << name;
        }
        EXPECT_EQ(playlists.size(), written.playlists.size() - 1 + written.onTheGoPlaylists.size());

        const json result = run({"backup", "--all", "--to", backup.string()});
        EXPECT_EQ(result["copied"], written.tracks.size());
        EXPECT_EQ(result["failed"], 0);
        EXPECT_EQ(result["playlists"], playlists.size());
        EXPECT_TRUE(fs::exists(backup / "On-The-Go.m3u"));
        EXPECT_TRUE(fs::exists(backup / "On-The-Go 1.m3u"));
    }
}

}  // namespace
}  // namespace pelmar
