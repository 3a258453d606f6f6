#include "backup/transfer_log.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "backup/transfer_log_texts.h"
#include "library/track_data.h"
#include "support/temp_folder.h"
#include "util/literal_store.h"
#include "util/protected_literals.h"
#include "util/scoped_variable.h"
#include "util/settings_store.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

// 2023-11-14 22:13:20 UTC.
constexpr std::int64_t kStartTime = 1700000000;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class TransferLog : public ::testing::Test {
  protected:
    TransferLog() { ::tzset(); }
    ~TransferLog() override { ::tzset(); }

    void writeLines(TempFile& log, const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            log.WriteLine(line);
        }
    }

    test::ScopedVariable utc{"TZ", "UTC0"};
    test::TempFolder temp;
    std::string path = (temp.path() / "transfer.log").string();
    std::string title = std::string(reveal(kLiteralLogTitle)) + "10:13:20 PM  2023-11-14";
};

TEST_F(TransferLog, PathIsInsideThePrivateTemporaryFolder) {
    SettingsStore settings(temp.path() / "config");
    const fs::path home = temp.path() / "runtime";
    const std::string logPath = LogPath(settings, home);
    ASSERT_FALSE(logPath.empty());
    EXPECT_EQ(logPath, home.string() + "/pelmar-vantrell/Logs/transfer.log");
    EXPECT_EQ(fs::path(logPath).filename(), reveal(kLiteralLogFileName));
    EXPECT_TRUE(fs::is_directory(fs::path(logPath).parent_path()));
    EXPECT_EQ(LogPath(settings, home), logPath) << "every run writes the same log";
}

TEST_F(TransferLog, WithoutAPrivateFolderThereIsNoLog) {
    SettingsStore settings(temp.path() / "config");
    test::writeFile(temp.path() / "not-a-folder", {});
    const std::string logPath = LogPath(settings, temp.path() / "not-a-folder");
    EXPECT_EQ(logPath, "");

    TempFile log(logPath);
    EXPECT_FALSE(log.OpenLog());
    EXPECT_FALSE(log.isOpen());
    log.WriteLine("goes nowhere");
}

TEST_F(TransferLog, HasTheDocumentedLayoutLineForLine) {
    TempFile log(path);
    ASSERT_TRUE(log.OpenLog(kStartTime));
    const std::vector<std::string> summary = {"3 tracks, representing:", "12 MB\n2 artists", ""};
    writeLines(log, LogHeaderLines(summary));
    writeLines(log, LogOptionLines({"/backup", "Artist\\Album\\", "Artist - Title.ext",
                                    "copy to new name", true}));
    log.WriteLine(ITunesConnectionLine(true));
    log.WriteLine(kLogBeginTransfer);
    TrackLogEntry entry(3, "Band - Album - 03 - Song", "/backup/Band/Album/Band - Song.mp3");
    entry.startingCopy();
    entry.succeeded();
    log.WriteLine(entry.text());
    log.WriteLine(kLogEntryEnd);
    log.WriteLine(kLogTransferComplete);

    EXPECT_EQ(readAll(path), title +
                                 "\n"
                                 "To locate failed transfers in this log, search for the word "
                                 "'FAILED'.\n\n\n"
                                 "TRANSFER SET\n"
                                 "============\n"
                                 "3 tracks, representing:\n"
                                 "12 MB\n"
                                 "2 artists\n"
                                 "\n"
                                 "\n"
                                 "USER OPTION SETTINGS\n"
                                 "====================\n"
                                 "* Destination folder: /backup\n"
                                 "* Folder format:      Artist\\Album\\\n"
                                 "* Filename format:    Artist - Title.ext\n"
                                 "\n"
                                 "* When destination file already exists, copy to new name.\n"
                                 "* Album artwork WILL be saved beside the transferred tracks.\n"
                                 "* Ratings, play counts and missing tags WILL NOT be written "
                                 "into the copied files.\n"
                                 "* Transferred tracks WILL be inserted into iTunes library.\n"
                                 "  Connection to iTunes library succeeded.\n"
                                 "\n"
                                 "\n"
                                 "BEGIN TRANSFER\n"
                                 "==============\n"
                                 "0003. Copying \"Band - Album - 03 - Song\"\n"
                                 "      to: /backup/Band/Album/Band - Song.mp3\n"
                                 "      starting copy...\n"
                                 "      SUCCEEDED.\n"
                                 "\n"
                                 "\n"
                                 "\n"
                                 "\n"
                                 "TRANSFER COMPLETE\n");
}

TEST(TransferLogTexts, OptionsSayWhatTheRunDoesBesidesCopying) {
    const LoggedOptions off{
        "/b", "[ No subfolders ]", "Track# Title.ext", "do not copy", false, false, false};
    const LoggedOptions on{"/b", "[ No subfolders ]", "Track# Title.ext", "do not copy", true, true,
                           true};
    const std::vector<std::string> offLines = LogOptionLines(off);
    const std::vector<std::string> onLines = LogOptionLines(on);
    ASSERT_EQ(offLines.size(), 9U);
    EXPECT_EQ(offLines[5], "* When destination file already exists, do not copy.");
    EXPECT_EQ(std::vector<std::string>(offLines.begin() + 6, offLines.end()),
              (std::vector<std::string>{
                  "* Album artwork WILL NOT be saved beside the transferred tracks.",
                  "* Ratings, play counts and missing tags WILL NOT be written into the copied "
                  "files.",
                  "* Transferred tracks WILL NOT be inserted into iTunes library."}));
    EXPECT_EQ(std::vector<std::string>(onLines.begin() + 6, onLines.end()),
              (std::vector<std::string>{
                  "* Album artwork WILL be saved beside the transferred tracks.",
                  "* Ratings, play counts and missing tags WILL be written into the copied files.",
                  "* Transferred tracks WILL be inserted into iTunes library."}));
    EXPECT_EQ(ITunesConnectionLine(false), "  Connection to iTunes library failed.");
}

TEST(TransferLogTexts, EntriesReadAsDocumented) {
    const std::string head = "0001. Copying \"N\"\n      to: /b/x.mp3\n";
    const struct {
        const char* what;
        std::function<void(TrackLogEntry&)> steps;
        std::string expected;
    } cases[] = {
        {"succeeded",
         [](TrackLogEntry& e) {
             e.startingCopy();
             e.succeeded();
         },
         head + "      starting copy...\n      SUCCEEDED."},
        {"skipped",
         [](TrackLogEntry& e) {
             e.destinationExists();
             e.skipped();
         },
         head + "      destination file exists...\n      SKIPPED."},
        {"overwritten",
         [](TrackLogEntry& e) {
             e.destinationExists();
             e.deletingExistingFile();
             e.startingCopy();
             e.succeeded();
         },
         head + "      destination file exists...deleting existing file...\n"
                "      starting copy...\n      SUCCEEDED."},
        {"renamed",
         [](TrackLogEntry& e) {
             e.destinationExists();
             e.copyingToNewName("/b/x (copy 2).mp3");
             e.startingCopy();
             e.succeeded();
         },
         head + "      destination file exists...copying to new name: /b/x (copy 2).mp3\n"
                "      starting copy...\n      SUCCEEDED."},
        {"failed",
         [](TrackLogEntry& e) {
             e.startingCopy();
             e.failed(28);
         },
         head + "      starting copy...\n      FAILED...(Error code 28)."},
    };
    for (const auto& c : cases) {
        TrackLogEntry entry(1, "N", "/b/x.mp3");
        c.steps(entry);
        EXPECT_EQ(entry.text(), c.expected) << c.what;
    }
}

TEST(TransferLogTexts, PositionHasAtLeastFourDigits) {
    EXPECT_EQ(TrackLogEntry(1, "N", "d").text().substr(0, 5), "0001.");
    EXPECT_EQ(TrackLogEntry(12345, "N", "d").text().substr(0, 6), "12345.");
}

TEST(TransferLogTexts, DisplayNameUsesTheTextsAsThePlayerHasThem) {
    TrackInfo info;
    info.artist = "AC/DC";
    info.album = "Who?";
    info.trackNumber = 7;
    info.title = " Song. ";
    EXPECT_EQ(TrackDisplayName(info), "AC/DC - Who? - 07 -  Song. ");
}

TEST_F(TransferLog, EachLineIsOnDiskOnceWritten) {
    TempFile log(path);
    ASSERT_TRUE(log.OpenLog(kStartTime));
    EXPECT_EQ(readAll(path), title);
    log.WriteLine("first");
    EXPECT_EQ(readAll(path), title + "first\n");
}

TEST_F(TransferLog, ASecondRunOverwritesTheFirst) {
    {
        TempFile first(path);
        ASSERT_TRUE(first.OpenLog(kStartTime));
        first.WriteLine("a long line from the first run");
    }
    TempFile second(path);
    ASSERT_TRUE(second.OpenLog(kStartTime));
    EXPECT_EQ(readAll(path), title);
}

TEST_F(TransferLog, NeverWritesThroughASymbolicLink) {
    const fs::path target = temp.path() / "precious";
    test::writeFile(target, {'k', 'e', 'e', 'p'});
    fs::create_symlink(target, path);

    TempFile log(path);
    EXPECT_FALSE(log.OpenLog(kStartTime));
    log.WriteLine("nothing");
    EXPECT_EQ(readAll(target.string()), "keep");
}

TEST_F(TransferLog, NothingIsWrittenBeforeTheLogIsOpen) {
    TempFile log(path);
    log.WriteLine("early");
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(log.path(), path);
}

}  // namespace
}  // namespace pelmar
