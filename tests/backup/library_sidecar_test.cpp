#include "backup/library_sidecar.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

SidecarTrack track(const std::string& path, std::uint32_t id, std::uint32_t plays) {
    SidecarTrack entry;
    entry.relativePath = path;
    entry.trackId = id;
    entry.mediaKind = 1;
    entry.track.location = ":iPod_Control:Music:F00:T" + std::to_string(id) + ".mp3";
    entry.track.title = "Titel " + std::to_string(id) + " – ü";
    entry.track.playCount = plays;
    entry.track.skipCount = 2;
    entry.track.dateAdded = 1'600'000'000;
    entry.track.lastPlayed = 0U - kPlayerEpochOffset;  // never played
    entry.track.databaseId = 0xF234'5678'9ABC'DEF1ULL;
    return entry;
}

nlohmann::json readSidecar(const fs::path& folder) {
    const std::string text = test::readAll(folder / "Library.json");
    EXPECT_FALSE(text.empty());
    return nlohmann::json::parse(text, nullptr, false);
}

void writeText(const fs::path& path, const std::string& text) {
    test::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(LibrarySidecar, ALaterRunKeepsEveryEarlierEntryAndRenewsItsOwn) {
    test::TempFolder folder;
    const SidecarResult first = writeLibrarySidecar(
        folder.path().string(), {track("A/One.mp3", 1, 5), track("A/Two.mp3", 2, 6)});
    ASSERT_TRUE(first.written) << first.problem;
    EXPECT_EQ(first.entries, 2U);
    const SidecarResult second =
        writeLibrarySidecar(folder.root(), {track("A/Two.mp3", 7, 9), track("B/Three.mp3", 3, 1)});
    ASSERT_TRUE(second.written) << second.problem;
    EXPECT_EQ(second.entries, 3U);
    EXPECT_TRUE(second.keptAside.empty());

    const nlohmann::json sidecar = readSidecar(folder.path());
    ASSERT_TRUE(sidecar.is_object());
    EXPECT_EQ(sidecar["format"], kLibrarySidecarFormat);
    const nlohmann::json& tracks = sidecar["tracks"];
    ASSERT_EQ(tracks.size(), 3U);
    EXPECT_EQ(tracks["A/One.mp3"]["playCount"], 5);
    EXPECT_EQ(tracks["A/Two.mp3"]["playCount"], 9);
    EXPECT_EQ(tracks["A/Two.mp3"]["id"], 7);
    const nlohmann::json& three = tracks["B/Three.mp3"];
    EXPECT_EQ(three["title"], "Titel 3 – ü");
    EXPECT_EQ(three["location"], ":iPod_Control:Music:F00:T3.mp3");
    EXPECT_EQ(three["type"], "mp3");
    EXPECT_TRUE(three["lastPlayed"].is_null());
    EXPECT_EQ(three["skipCount"], 2);
    EXPECT_EQ(three["dateAdded"], 1'600'000'000);
    EXPECT_EQ(three["databaseId"].get<std::uint64_t>(), 0xF234'5678'9ABC'DEF1ULL);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
        << "no temporary file is left beside it";
}

TEST(LibrarySidecar, AnEarlierFileThatIsNoLibraryFileIsKeptAsideWhole) {
    test::TempFolder folder;
    const std::vector<std::string> damaged = {"{\"format\": 1, \"tracks\": {\"A.mp3\": {\"id\"",
                                              "[1, 2, 3]", "{\"tracks\": [\"A.mp3\"]}",
                                              std::string("\0\0\0", 3)};
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        writeText(folder.path() / "Library.json", damaged[i]);
        const SidecarResult result = writeLibrarySidecar(folder.root(), {track("C.mp3", 1, 1)});
        ASSERT_TRUE(result.written) << result.problem;
        const std::string aside =
            i == 0 ? "Library.json.damaged" : "Library.json.damaged-" + std::to_string(i + 1);
        EXPECT_EQ(result.keptAside, aside);
        EXPECT_EQ(test::readAll(folder.path() / aside), damaged[i]);
        const nlohmann::json sidecar = readSidecar(folder.path());
        EXPECT_EQ(sidecar.size(), 2U) << "nothing of the damaged file but the copy aside";
        EXPECT_EQ(sidecar["tracks"].size(), 1U);
    }
}

TEST(LibrarySidecar, AFileItCannotMergeIsLeftAsItIs) {
    test::TempFolder folder;
    const std::string later = R"({"format": 2, "tracks": {"A.mp3": {"id": 1}}})";
    writeText(folder.path() / "Library.json", later);
    const SidecarResult refused = writeLibrarySidecar(folder.root(), {track("C.mp3", 1, 1)});
    EXPECT_FALSE(refused.written);
    EXPECT_NE(refused.problem.find("later version"), std::string::npos) << refused.problem;
    EXPECT_EQ(test::readAll(folder.path() / "Library.json"), later);

    test::TempFolder other;
    fs::create_directory(other.path() / "Library.json");
    const SidecarResult unreadable = writeLibrarySidecar(other.root(), {track("C.mp3", 1, 1)});
    EXPECT_FALSE(unreadable.written);
    EXPECT_TRUE(fs::is_directory(other.path() / "Library.json"));

    const SidecarResult nowhere =
        writeLibrarySidecar((folder.path() / "gone").string(), {track("C.mp3", 1, 1)});
    EXPECT_FALSE(nowhere.written);
    EXPECT_FALSE(nowhere.problem.empty());
    EXPECT_FALSE(fs::exists(folder.path() / "gone"));
}

TEST(LibrarySidecar, WhatOtherProgramsAddedToTheFileStays) {
    test::TempFolder folder;
    writeText(folder.path() / "Library.json",
              R"({"format": 1, "tool": {"name": "tagger"}, "tracks": {"Old.mp3": [1, 2],
                 "Rated.mp3": {"rating": 60, "myScore": 9.5}}})");
    const SidecarResult result = writeLibrarySidecar(folder.root(), {track("New.mp3", 1, 1)});
    ASSERT_TRUE(result.written) << result.problem;
    const nlohmann::json sidecar = readSidecar(folder.path());
    EXPECT_EQ(sidecar["tool"]["name"], "tagger");
    EXPECT_EQ(sidecar["tracks"]["Old.mp3"], nlohmann::json({1, 2}));
    EXPECT_EQ(sidecar["tracks"]["Rated.mp3"]["myScore"], 9.5);
    EXPECT_EQ(sidecar["tracks"].size(), 3U);
}

}  // namespace
}  // namespace pelmar
