#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar::player_image::test {
namespace {

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

bool startsWith(const std::vector<std::uint8_t>& bytes, std::size_t at, std::string_view magic) {
    return bytes.size() >= at + magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

// Whether the file starts the way files of its type do; types without a signature pass.
bool hasPlausibleStart(const std::vector<std::uint8_t>& bytes, const std::string& extension) {
    if (extension == ".mp3") {
        return startsWith(bytes, 0, "ID3");
    }
    if (extension == ".wav") {
        return startsWith(bytes, 0, "RIFF") && startsWith(bytes, 8, "WAVE");
    }
    if (extension == ".m4a" || extension == ".m4p" || extension == ".m4b" || extension == ".mp4" ||
        extension == ".m4v" || extension == ".mov") {
        return startsWith(bytes, 4, "ftyp");
    }
    if (extension == ".ogg") {
        return startsWith(bytes, 0, "OggS");
    }
    if (extension == ".flac") {
        return startsWith(bytes, 0, "fLaC");
    }
    if (extension == ".wma") {
        return startsWith(bytes, 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11");
    }
    return true;
}

class PlayerImageWriter : public ::testing::Test {
  protected:
    bool write(const Options& options) {
        image_ = generatePlayerImage(options);
        return writePlayerImage(image_, folder_.path(), options, error_);
    }

    pelmar::test::TempFolder folder_;
    PlayerImage image_;
    std::string error_;
};

TEST_F(PlayerImageWriter, WritesTheDatabaseAndPlayCountsTheSerializersProduce) {
    Options options;
    options.trackCount = 30;
    options.playCountEntryLength = 20;
    ASSERT_TRUE(write(options)) << error_;
    EXPECT_EQ(readFile(musicDatabasePath(folder_.path())), musicDatabaseBytes(image_));
    EXPECT_EQ(readFile(playCountPath(folder_.path())), playCountBytes(image_, 20));
    EXPECT_EQ(playCountPath(folder_.path()).filename(), "Play Counts");
}

TEST_F(PlayerImageWriter, EveryTrackHasAMediaFileOfItsSizeWithAPlausibleStart) {
    Options options;
    options.trackCount = 60;
    ASSERT_TRUE(write(options)) << error_;
    std::set<std::string> places;
    for (const Track& track : image_.tracks) {
        const std::filesystem::path path = mediaFilePath(folder_.path(), track);
        const std::vector<std::uint8_t> bytes = readFile(path);
        ASSERT_EQ(bytes.size(), track.size) << path;
        EXPECT_TRUE(hasPlausibleStart(bytes, lowerExtension(path))) << path;

        const std::string folder = path.parent_path().filename().string();
        ASSERT_EQ(folder.size(), 3U);
        EXPECT_EQ(folder[0], 'F');
        EXPECT_LT(std::stoi(folder.substr(1)), 50);
        const std::string stem = path.stem().string();
        EXPECT_EQ(stem.size(), 4U) << path;
        EXPECT_TRUE(
            std::all_of(stem.begin(), stem.end(), [](char c) { return c >= 'A' && c <= 'Z'; }));
        // The player's file system ignores case.
        EXPECT_TRUE(places.insert(folder + stem).second) << path;
    }
}

TEST_F(PlayerImageWriter, MediaFilesCanAllHaveOneSize) {
    Options options;
    options.trackCount = 12;
    options.withPhotos = false;
    options.mediaSize = 1;
    ASSERT_TRUE(write(options)) << error_;
    for (const Track& track : image_.tracks) {
        EXPECT_EQ(track.size, 1U);
        EXPECT_EQ(std::filesystem::file_size(mediaFilePath(folder_.path(), track)), 1U);
    }
}

TEST_F(PlayerImageWriter, MediaFilesCanBeLeftOut) {
    Options options;
    options.trackCount = 25;
    options.withMedia = false;
    ASSERT_TRUE(write(options)) << error_;
    EXPECT_TRUE(std::filesystem::exists(musicDatabasePath(folder_.path())));
    EXPECT_TRUE(std::filesystem::is_directory(folder_.path() / "iPod_Control" / "Music" / "F49"));
    for (const Track& track : image_.tracks) {
        EXPECT_FALSE(std::filesystem::exists(mediaFilePath(folder_.path(), track)));
    }
}

TEST_F(PlayerImageWriter, WithoutPlayCountsAnOldPlayCountFileGoes) {
    Options options;
    options.trackCount = 25;
    options.withMedia = false;
    ASSERT_TRUE(write(options)) << error_;
    ASSERT_TRUE(std::filesystem::exists(playCountPath(folder_.path())));
    options.withPlayCounts = false;
    ASSERT_TRUE(write(options)) << error_;
    EXPECT_FALSE(std::filesystem::exists(playCountPath(folder_.path())));
}

TEST_F(PlayerImageWriter, WritesThePhotoDatabaseAndOneThumbnailFilePerFormatInUse) {
    Options options;
    options.trackCount = 5;
    options.withMedia = false;
    ASSERT_TRUE(write(options)) << error_;
    EXPECT_EQ(readFile(photoDatabasePath(folder_.path())), photoDatabaseBytes(image_));
    EXPECT_EQ(photoDatabasePath(folder_.path()), folder_.path() / "Photos" / "Photo Database");

    std::set<std::uint32_t> formats;
    for (const Photo& photo : image_.photos) {
        for (const ThumbnailRef& ref : photo.thumbnails) {
            formats.insert(ref.formatId);
        }
    }
    std::set<std::filesystem::path> expected;
    for (const std::uint32_t formatId : formats) {
        const std::filesystem::path path = thumbnailFilePath(folder_.path(), formatId);
        expected.insert(path);
        EXPECT_EQ(readFile(path), thumbnailFileBytes(image_, formatId)) << path;
    }
    EXPECT_EQ(thumbnailFilePath(folder_.path(), 1019),
              folder_.path() / "Photos" / "Thumbs" / "F1019_1.ithmb");
    std::set<std::filesystem::path> written;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder_.path() / "Photos" / "Thumbs")) {
        written.insert(entry.path());
    }
    EXPECT_EQ(written, expected);
}

TEST_F(PlayerImageWriter, FewerPhotosOrNoneLeaveNothingOfAnEarlierImage) {
    Options options;
    options.trackCount = 5;
    options.withMedia = false;
    ASSERT_TRUE(write(options)) << error_;
    ASSERT_TRUE(std::filesystem::exists(thumbnailFilePath(folder_.path(), 1013)));

    options.photoCount = 1;
    ASSERT_TRUE(write(options)) << error_;
    EXPECT_TRUE(std::filesystem::exists(thumbnailFilePath(folder_.path(), 1019)));
    EXPECT_FALSE(std::filesystem::exists(thumbnailFilePath(folder_.path(), 1013)));

    options.withPhotos = false;
    ASSERT_TRUE(write(options)) << error_;
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "Photos"));
    EXPECT_TRUE(std::filesystem::exists(musicDatabasePath(folder_.path())));
}

TEST_F(PlayerImageWriter, CreatesAMissingRootAndFailsWithAMessageWhereItCannotWrite) {
    Options options;
    options.trackCount = 5;
    options.withMedia = false;
    const PlayerImage image = generatePlayerImage(options);
    const std::filesystem::path nested = folder_.path() / "new" / "player";
    ASSERT_TRUE(writePlayerImage(image, nested, options, error_)) << error_;
    EXPECT_TRUE(std::filesystem::exists(musicDatabasePath(nested)));

    const std::filesystem::path blocked = folder_.path() / "a-file";
    std::ofstream(blocked) << "not a folder";
    EXPECT_FALSE(writePlayerImage(image, blocked, options, error_));
    EXPECT_NE(error_.find("a-file"), std::string::npos) << error_;
}

}  // namespace
}  // namespace pelmar::player_image::test
