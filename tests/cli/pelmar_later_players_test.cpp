#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "command_runner.h"
#include "support/later_player_files.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A nano 7G with its compressed database, a playlist made on the player and a damaged play
// database: listed, shown and backed up, with a warning for the damaged file.
TEST(PelmarLaterPlayer, ListsShowsAndBacksUpACompressedDatabasePlayer) {
    const test::TempFolder folder;
    const fs::path player = folder.path() / "player";
    test::DatabaseBytes db;
    db.root(0xF4).dataset(1).trackList(2);
    for (const std::uint32_t id : {100U, 200U}) {
        test::TrackHeader track;
        track.id = id;
        track.childCount = 2;
        const bool first = id == 100;
        db.track(track)
            .string(1, first ? u"One" : u"Two")
            .string(2, first ? u":iPod_Control:Music:F00:A.mp3" : u":iPod_Control:Music:F01:B.mp3");
        test::writeFile(test::playerFile(player, first ? ":iPod_Control:Music:F00:A.mp3"
                                                       : ":iPod_Control:Music:F01:B.mp3"),
                        {'I', 'D', '3'});
    }
    db.dataset(2).playlistList(1).playlist().string(1, u"My nano");
    const fs::path itunes = player / "iPod_Control" / "iTunes";
    test::writeFile(itunes / "iTunesCDB", test::compressedDatabase(db.bytes()));
    test::writeFile(itunes / "iTunesDB", {});
    test::writeFile(itunes / "OTGPlaylistInfo",
                    {'m', 'h', 'p', 'o', 0x14, 0, 0, 0, 4, 0, 0, 0, 2, 0,
                     0,   0,   0,   0,   0,    0, 1, 0, 0, 0, 0, 0, 0, 0});
    test::writeFile(test::libraryFolder(player) / "Dynamic.itdb",
                    std::vector<std::uint8_t>(512, 'x'));
    fs::create_directories(folder.path() / "backup");

    const auto run = [&](std::vector<std::string> args, std::string* errors = nullptr) {
        args.insert(args.end(), {"--player", player.string(), "--json"});
        const test::CommandRun done = test::pelmar(
            args, "PELMAR_CONFIG_DIR=" + test::quoted((folder.path() / "config").string()) +
                      " XDG_RUNTIME_DIR=" + test::quoted(folder.path().string()));
        EXPECT_EQ(done.status, 0) << done.err;
        if (errors != nullptr) {
            *errors = done.err;
        }
        return json::parse(done.out);
    };
    std::string errors;
    EXPECT_EQ(run({"list", "playlists"}, &errors),
              json::parse(R"([{"id": 1, "name": "On-The-Go", "items": [200, 100]}])"));
    EXPECT_NE(errors.find("pelmar: warning: the player's play data (Dynamic.itdb) is damaged ("),
              std::string::npos)
        << errors;
    const json info = run({"info"});
    EXPECT_EQ(info["compressedDatabase"], true);
    EXPECT_EQ(info["model"], "Apple iPod") << "no USB product id: the family's name";
    EXPECT_EQ(info["tracks"], 2);
    const json result = run({"backup", "--all", "--to", (folder.path() / "backup").string()});
    EXPECT_EQ(result["copied"], 2);
    EXPECT_TRUE(fs::exists(folder.path() / "backup" / "On-The-Go.m3u"));
}

}  // namespace
}  // namespace pelmar
