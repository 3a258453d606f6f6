#include "util/settings_store.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include "support/temp_folder.h"
#include "util/scoped_variable.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& path, const std::string& text) {
    test::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    test::TempFolder temp;
    fs::path folder = temp.path() / "config" / "pelmar-vantrell";
    fs::path file = folder / "settings.json";
    SettingsStore store{folder};
};

TEST_F(SettingsStoreTest, FreshUserGetsEveryReadersDefaultAndNoKey) {
    std::string text = "Please select a destination folder.";
    std::uint32_t number = 7;
    EXPECT_FALSE(store.readString("DstFolder", text));
    EXPECT_FALSE(store.readNumber("EnableiTunes", number));
    EXPECT_EQ(text, "Please select a destination folder.");
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(store.string("FormatFolder", "[ No subfolders ]"), "[ No subfolders ]");
    EXPECT_FALSE(fs::exists(folder)) << "reading creates nothing";
}

TEST_F(SettingsStoreTest, TextsAndNumbersReadBackAsWritten) {
    store.writeString("DstFolder", "/home/user/Music Backup");
    store.writeNumber("EnableiTunes", 1);
    store.writeString("FormatFile", "");
    store.writeNumber("Largest", 0xFFFFFFFFu);

    std::string text = "default";
    EXPECT_TRUE(store.readString("DstFolder", text));
    EXPECT_EQ(text, "/home/user/Music Backup");
    EXPECT_EQ(store.string("FormatFile", "default"), "") << "an empty text is a value too";
    EXPECT_EQ(store.number("EnableiTunes", 0), 1u);
    EXPECT_EQ(store.number("Largest", 0), 0xFFFFFFFFu);

    std::string missing = "kept";
    EXPECT_TRUE(store.readString("NotThere", missing)) << "the key exists, the value does not";
    EXPECT_EQ(missing, "kept");

    store.writeString("DstFolder", "/elsewhere");
    EXPECT_EQ(store.string("DstFolder", ""), "/elsewhere");
    EXPECT_EQ(SettingsStore(folder).number("EnableiTunes", 0), 1u) << "another store, same file";
}

TEST_F(SettingsStoreTest, NumberWrittenBeforeAnyTextStoresNothing) {
    store.writeNumber("EnableiTunes", 1);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(store.number("EnableiTunes", 0), 0u);

    store.writeString("ExistHandling", "do not copy");
    store.writeNumber("EnableiTunes", 1);
    EXPECT_EQ(store.number("EnableiTunes", 0), 1u) << "once a text made the file, numbers stick";
}

TEST_F(SettingsStoreTest, ValueOfTheOtherKindReadsAsTheDefault) {
    store.writeString("EnableiTunes", "1");
    store.writeNumber("DstFolder", 5);
    EXPECT_EQ(store.number("EnableiTunes", 0), 0u);
    EXPECT_EQ(store.string("DstFolder", "::"), "::");
}

TEST_F(SettingsStoreTest, NumbersThatDoNotFitThirtyTwoBitsReadAsTheDefault) {
    writeText(file, R"({"negative": -1, "fraction": 1.5, "huge": 4294967296, "fine": 4294967295})");
    EXPECT_EQ(store.number("negative", 9), 9u);
    EXPECT_EQ(store.number("fraction", 9), 9u);
    EXPECT_EQ(store.number("huge", 9), 9u);
    EXPECT_EQ(store.number("fine", 9), 4294967295u);
}

TEST_F(SettingsStoreTest, TextOf1024BytesOrMoreIsRefused) {
    const std::string longest(1023, 'x');
    store.writeString("DstFolder", longest);
    EXPECT_EQ(store.string("DstFolder", "::"), longest);

    store.writeString("DstFolder", std::string(1024, 'x'));
    EXPECT_EQ(store.string("DstFolder", "::"), "::");
}

TEST_F(SettingsStoreTest, TextEndsAtItsFirstNul) {
    store.writeString("DstFolder", std::string_view("/music\0/hidden", 14));
    EXPECT_EQ(store.string("DstFolder", ""), "/music");

    writeText(file, R"({"DstFolder": "/a\u0000b"})");
    EXPECT_EQ(store.string("DstFolder", ""), "/a");
}

TEST_F(SettingsStoreTest, TextInAnEightBitCodePageSurvivesTheJsonFile) {
    const std::string western = "C:/M\xFAsica/Caf\xE9";
    store.writeString("DstFolder", western);
    store.writeString("FormatFolder", "Artist\\Album\\");
    EXPECT_EQ(store.string("DstFolder", ""), western);
    EXPECT_EQ(store.string("FormatFolder", ""), "Artist\\Album\\");
}

TEST_F(SettingsStoreTest, DamagedFileReadsAsEmptyAndIsReplacedWholeByTheNextWrite) {
    writeText(file, "{\"DstFolder\": \"/old\", garbage garbage");
    std::string text = "default";
    EXPECT_TRUE(store.readString("DstFolder", text)) << "the file is there, so the key is";
    EXPECT_EQ(text, "default");

    store.writeNumber("EnableiTunes", 1);
    EXPECT_EQ(store.number("EnableiTunes", 0), 1u);
    store.writeString("FormatFile", "Title.ext");
    EXPECT_EQ(store.string("FormatFile", ""), "Title.ext");
    const std::string content = test::readAll(file);
    EXPECT_EQ(content.find("garbage"), std::string::npos);
    EXPECT_EQ(content.find("/old"), std::string::npos);

    for (const char* damaged : {"[1, 2, 3]", "\"text\"", "", "\xFF\xFE{}"}) {
        writeText(file, damaged);
        EXPECT_EQ(store.string("FormatFile", "default"), "default") << damaged;
    }
}

TEST_F(SettingsStoreTest, OversizedFileReadsAsDamaged) {
    writeText(file, "{\"DstFolder\": \"/x\", \"padding\": \"" + std::string(2 << 20, ' ') + "\"}");
    EXPECT_EQ(store.string("DstFolder", "default"), "default");
    store.writeString("DstFolder", "/y");
    EXPECT_EQ(store.string("DstFolder", ""), "/y");
    EXPECT_LT(fs::file_size(file), 1000u);
}

TEST_F(SettingsStoreTest, SettingsFileThatIsNoRegularFileIsNeitherWaitedOnNorReplaced) {
    fs::create_directories(folder);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    std::string text = "default";
    EXPECT_FALSE(store.readString("DstFolder", text)) << "returns at once, with no writer";
    EXPECT_EQ(text, "default");
    store.writeString("DstFolder", "/x");
    EXPECT_TRUE(fs::is_fifo(file)) << "what cannot be read is not overwritten";
}

TEST_F(SettingsStoreTest, WritesLeaveNoTemporaryFileBehind) {
    for (int i = 0; i < 5; ++i) {
        store.writeString("FormatFile", "name " + std::to_string(i));
        store.writeNumber("EnableiTunes", static_cast<std::uint32_t>(i));
    }
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"settings.json"});
}

// A file-size limit makes the write of the temporary file fail, for root as for anyone else.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

TEST_F(SettingsStoreTest, FailedWriteKeepsTheOldFileWholeAndLeavesNoTemporaryFile) {
    store.writeString("DstFolder", "/before");
    const std::string before = test::readAll(file);
    {
        const FileSizeLimit limit(before.size() + 16);
        store.writeString("DstFolder", std::string(500, 'x'));
    }
    EXPECT_EQ(test::readAll(file), before);
    EXPECT_EQ(store.string("DstFolder", ""), "/before");
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"settings.json"});
}

TEST_F(SettingsStoreTest, ThreadsWritingAtOnceLoseNoValueAndReadersSeeWholeValues) {
    store.writeString("Reader", "seed");
    constexpr int kRounds = 60;
    std::vector<std::thread> threads;
    threads.reserve(4);
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([this, t] {
            SettingsStore own(folder);
            for (int i = 0; i < kRounds; ++i) {
                own.writeString("Text" + std::to_string(t), "value " + std::to_string(i));
                own.writeNumber("Number" + std::to_string(t), static_cast<std::uint32_t>(i));
            }
        });
    }
    bool tornRead = false;
    threads.emplace_back([this, &tornRead] {
        for (int i = 0; i < kRounds * 3; ++i) {
            std::string text;
            tornRead |= !store.readString("Reader", text) || text != "seed";
        }
    });
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(tornRead);
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(store.string("Text" + std::to_string(t), ""),
                  "value " + std::to_string(kRounds - 1));
        EXPECT_EQ(store.number("Number" + std::to_string(t), 0), kRounds - 1u);
    }
}

TEST(SettingsFolder, ComesFromTheEnvironment) {
    {
        const test::ScopedVariable config("PELMAR_CONFIG_DIR", "/tmp/pelmar-config");
        const test::ScopedVariable xdg("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(SettingsStore::defaultFolder(), "/tmp/pelmar-config");
    }
    const test::ScopedVariable unsetOverride("PELMAR_CONFIG_DIR", nullptr);
    {
        const test::ScopedVariable xdg("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(SettingsStore::defaultFolder(), "/xdg/pelmar-vantrell");
    }
    const test::ScopedVariable home("HOME", "/home/someone");
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/path"}) {
        const test::ScopedVariable xdg("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(SettingsStore::defaultFolder(), "/home/someone/.config/pelmar-vantrell");
    }
    const test::ScopedVariable emptyOverride("PELMAR_CONFIG_DIR", "");
    EXPECT_EQ(SettingsStore::defaultFolder(), "/home/someone/.config/pelmar-vantrell");
}

TEST(SettingsFolder, StoreWithoutAFolderStoresNothing) {
    SettingsStore store{fs::path()};
    store.writeString("DstFolder", "/x");
    std::string text = "default";
    EXPECT_FALSE(store.readString("DstFolder", text));
    EXPECT_EQ(text, "default");
}

}  // namespace
}  // namespace pelmar
