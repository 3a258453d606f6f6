#include "backup/selection_summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/player_library.h"
#include "support/library_builder.h"
#include "support/temp_folder.h"
#include "util/setting_names.h"
#include "util/settings_store.h"
#include "util/utf8.h"

namespace pelmar {
namespace {

BackupSelection selectionOf(std::size_t tracks, std::size_t playlists, std::size_t photoAlbums,
                            std::size_t photos) {
    BackupSelection selection;
    selection.tracks.resize(tracks);
    selection.playlists.resize(playlists);
    selection.photoAlbums.resize(photoAlbums);
    selection.photos.resize(photos);
    return selection;
}

class SelectionSummaryTest : public ::testing::Test {
  protected:
    void add(std::uint32_t id, const test::Tags& tags, std::uint32_t bytes, std::uint32_t ms) {
        MhTrackData& record = test::addTrack(library, id, tags);
        record.size = bytes;
        record.lengthMs = ms;
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
};

TEST_F(SelectionSummaryTest, TrackAndPhotoLinesCountWhatIsSelected) {
    struct Case {
        BackupSelection selection;
        const char* tracksLine;
        const char* photosLine;
    };
    const Case cases[] = {
        {selectionOf(1, 0, 0, 0), "1 track, representing:", ""},
        {selectionOf(2, 1, 2, 0), "2 tracks and 1 playlist, representing:", ""},
        {selectionOf(0, 2, 0, 1), "0 tracks and 2 playlists, representing:", "1 photo."},
        {selectionOf(0, 0, 1, 1), "0 tracks, representing:", "1 photo in 1 photo album."},
        {selectionOf(0, 0, 2, 3), "0 tracks, representing:", "3 photos in 2 photo albums."},
    };
    for (const Case& c : cases) {
        const SelectionSummary summary = summarizeSelection(library, c.selection);
        EXPECT_EQ(summary.tracksLine, c.tracksLine);
        EXPECT_EQ(summary.photosLine, c.photosLine);
    }
}

TEST_F(SelectionSummaryTest, StatisticsLineGivesDistinctCountsSizeAndPlayLength) {
    add(1, {"Band", "Live", "Rock", "Writer", "One"}, 2 * 1024 * 1024, 3'000'000);
    add(2, {"Band", "Studio", "Rock", "", "Two"}, 1025 * 1024 + 1023, 725'999);
    add(3, {}, 1000, 60'000);
    BackupSelection selection = selectionOf(0, 0, 0, 0);
    selection.tracks = {KernelId{1, 0, 0, 0, {}}, KernelId{2, 0, 0, 0, {}}};
    EXPECT_EQ(summarizeSelection(library, selection).statisticsLine,
              "1 artist, 2 albums, 1 genre, and 1 composer.\n"
              "3 MB, 1 hour 2 mins play length.");

    selection.tracks = {KernelId{3, 0, 0, 0, {}}};
    const SelectionSummary summary = summarizeSelection(library, selection);
    EXPECT_EQ(summary.statisticsLine,
              "0 artists, 0 albums, 0 genres, and 0 composers.\n"
              "0 MB, 0 hours 1 min play length.");
    // The log copies every line, the empty photo line included.
    EXPECT_EQ(summary.text(), summary.tracksLine + "\n" + summary.statisticsLine + "\n\n");
}

TEST(PluralEnding, OnlyExactlyOneIsSingular) {
    for (const auto& [n, ending] : {std::pair<std::int64_t, std::string_view>{0, "s"},
                                    {1, ""},
                                    {2, "s"},
                                    {-1, "s"},
                                    {21, "s"}}) {
        EXPECT_EQ(pluralEnding(n), ending) << n;
    }
}

TEST(DestinationLabel, LongFolderKeepsItsFirstThreeAndLastFortyCharacters) {
    const std::string forty3(43, 'x');
    EXPECT_EQ(destinationLabel(forty3), forty3);
    const std::string label = destinationLabel("/ab" + std::string(40, 'y') + "z");
    EXPECT_EQ(label, "/ab..." + std::string(39, 'y') + "z");
    EXPECT_EQ(label.size(), 46U);

    // Characters of two and three bytes at both cuts; stray bytes count one each.
    const std::string head = "/\xC3\xA9\xE2\x82\xAC";
    const std::string tail = "\xE2\x82\xAC" + std::string(38, 'a') + "\xC3\xA9";
    const std::string multiByte = destinationLabel(head + "\xC3\xBC" + tail);
    EXPECT_EQ(multiByte, head + "..." + tail);
    EXPECT_TRUE(utf8::isValid(multiByte));
    EXPECT_EQ(destinationLabel("\xFF\xFE\xFD" + std::string(40, 'b') + "\xFF"),
              "\xFF\xFE\xFD..." + std::string(39, 'b') + "\xFF");
    std::string wide;
    for (int i = 0; i < 43; ++i) {
        wide += "\xC3\xA9";
    }
    EXPECT_EQ(destinationLabel(wide), wide);
}

class DestinationDisplayTest : public ::testing::Test {
  protected:
    DestinationDisplay describe() {
        return describeDestination(settings, [this](const std::string& path) {
            asked.push_back(path);
            return answer;
        });
    }

    test::TempFolder folder;
    SettingsStore settings{folder.path()};
    std::vector<std::string> asked;
    std::optional<std::uint64_t> answer = std::uint64_t{5} << 30;
};

TEST_F(DestinationDisplayTest, NoFolderChosenShowsThePromptAndNoSpace) {
    const std::string noSpace = "0 MB Free\n(Change location under the 'Options' tab above.)";
    EXPECT_EQ(describe().folderLabel, "No destination folder selected yet.");
    EXPECT_EQ(describe().freeSpaceLabel, noSpace);
    settings.writeString(kSettingDestinationFolder, "No destination folder selected yet.");
    EXPECT_EQ(describe().freeSpaceLabel, noSpace);
    EXPECT_TRUE(asked.empty());
}

TEST_F(DestinationDisplayTest, ChosenFolderShowsItsVolumesFreeSpace) {
    settings.writeString(kSettingDestinationFolder, "/srv/backup");
    const DestinationDisplay display = describe();
    EXPECT_EQ(display.folderLabel, "/srv/backup");
    EXPECT_EQ(display.freeSpaceLabel,
              "5120 MB Free\n(Change location under the 'Options' tab above.)");
    EXPECT_EQ(asked, (std::vector<std::string>{"/srv/backup"}));
    answer.reset();
    EXPECT_EQ(describe().freeSpaceLabel, freeSpaceLabel(0));
}

}  // namespace
}  // namespace pelmar
