#include "platform/path_lookup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

class PathLookup : public ::testing::Test {
  protected:
    void make(const std::string& relative) {
        const std::filesystem::path path = folder.path() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }

    test::TempFolder folder;
};

TEST_F(PathLookup, ExactPathIsTakenAsItIs) {
    make("iPod_Control/Music/F01/ABCD.mp3");
    EXPECT_EQ(findPathIgnoringCase(folder.root(), "iPod_Control/Music/F01/ABCD.mp3"),
              folder.root() + "iPod_Control/Music/F01/ABCD.mp3");
}

TEST_F(PathLookup, EveryComponentIsMatchedWithoutRegardToCase) {
    make("ipod_control/MUSIC/f01/abcd.MP3");
    EXPECT_EQ(findPathIgnoringCase(folder.root(), "iPod_Control/Music/F01/ABCD.mp3"),
              folder.root() + "ipod_control/MUSIC/f01/abcd.MP3");
}

TEST_F(PathLookup, MissingPathComesBackExactSoTheOpenFails) {
    make("iPod_Control/Music/F01/OTHER.mp3");
    EXPECT_EQ(findPathIgnoringCase(folder.root(), "iPod_Control/Music/F01/ABCD.mp3"),
              folder.root() + "iPod_Control/Music/F01/ABCD.mp3");
    EXPECT_EQ(findPathIgnoringCase(folder.root(), "Nowhere/at/all"),
              folder.root() + "Nowhere/at/all");
}

TEST_F(PathLookup, AnExactMatchWinsOverOneThatDiffersInCase) {
    make("Music/a.mp3");
    make("MUSIC/a.mp3");
    make("music/A.MP3");
    EXPECT_EQ(findPathIgnoringCase(folder.root(), "MUSIC/a.mp3"), folder.root() + "MUSIC/a.mp3");
}

}  // namespace
}  // namespace pelmar
