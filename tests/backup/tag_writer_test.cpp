#include "backup/tag_writer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <taglib/xiphcomment.h>

#include "backup/tag_editors.h"
#include "support/temp_folder.h"
#include "tag_read_back.h"
#include "util/unique_fd.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

using test::ReadBack;
using test::readBack;

fs::path media(const std::string& name) {
    return fs::path(PELMAR_TAG_MEDIA_DIR) / name;
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// A copy of some bytes in a fresh folder, open for reading and writing as the backup holds its
// temporary copies.
struct Copy {
    Copy(const std::string& name, const std::string& bytes) : path(folder.path() / name) {
        test::writeFile(path, bytesOf(bytes));
        fd = UniqueFd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    }
    test::TempFolder folder;
    fs::path path;
    UniqueFd fd;
};

std::string fixture(const std::string& name) {
    const std::string bytes = test::readAll(media(name));
    EXPECT_FALSE(bytes.empty()) << "missing fixture " << media(name);
    return bytes;
}

// The decoded audio's checksum: tags may change the file's bytes, never its sound.
std::string decodedAudio(const fs::path& path) {
    const std::string command =
        "ffmpeg -nostdin -v error -i '" + path.string() + "' -map 0:a -f md5 - 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pipe == nullptr ? -1 : ::pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.rfind("MD5=", 0), 0U) << output;
    return output;
}

TrackTags playerValues(std::uint8_t fileType) {
    TrackTags values;
    values.fileType = fileType;
    values.rating = 80;
    values.playCount = 12;
    values.title = "Player Title";
    values.artist = "Pläyer Ärtist ♫";
    values.album = "Player Album";
    values.genre = "Ambient";
    values.composer = "Player Composer";
    values.trackNumber = 7;
    values.year = 2004;
    values.artworkJpeg = bytesOf(test::readAll(media("other-cover.jpg")));
    return values;
}

TEST(TagWriter, EveryFormatCarriesThePlayersValuesAndKeepsItsOwnTags) {
    struct Case {
        const char* file;
        std::uint8_t fileType;
        bool tagged;             // carries a title and an artist of its own
        const char* ownPicture;  // the picture it carries, or null
        bool id3v2;
    };
    const Case cases[] = {
        {"bare.mp3", 2, false, nullptr, true},         {"tagged.mp3", 2, true, "cover.jpg", true},
        {"bare.m4a", 5, false, nullptr, false},        {"tagged.m4a", 5, true, "cover.jpg", false},
        {"alac.m4a", 5, false, nullptr, false},        {"bare.flac", 11, false, nullptr, false},
        {"tagged.flac", 11, true, "cover.jpg", false}, {"bare.ogg", 10, false, nullptr, false},
        {"tagged.ogg", 10, true, nullptr, false},      {"bare.wav", 1, false, nullptr, true},
        {"tagged.wav", 1, true, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Copy copy(c.file, fixture(c.file));
        ASSERT_TRUE(copy.fd);
        const TrackTags values = playerValues(c.fileType);
        const TagWriteResult result = writeTrackTags(copy.fd.get(), c.file, values);
        ASSERT_EQ(result.status, TagWriteStatus::Written) << result.detail;
        EXPECT_TRUE(result.fileChanged);
        EXPECT_EQ(result.detail.find("title") == std::string::npos, c.tagged) << result.detail;
        EXPECT_EQ(result.detail.find("artwork") == std::string::npos, c.ownPicture != nullptr);

        const ReadBack back = readBack(copy.path);
        ASSERT_TRUE(back.opened);
        EXPECT_EQ(back.text("TITLE"), c.tagged ? "Tagged Title" : values.title);
        EXPECT_EQ(back.text("ARTIST"), c.tagged ? "Tagged Artist" : values.artist);
        EXPECT_EQ(back.text("ALBUM"), values.album);
        EXPECT_EQ(back.text("GENRE"), values.genre);
        EXPECT_EQ(back.text("COMPOSER"), values.composer);
        EXPECT_EQ(back.text("TRACKNUMBER"), "7");
        EXPECT_EQ(back.text("DATE"), "2004");
        EXPECT_EQ(back.rating, "0.8");
        EXPECT_EQ(back.playCount, "12");
        if (c.id3v2) {
            EXPECT_EQ(back.popularimeterRating, 196);
            EXPECT_EQ(back.popularimeterCount, 12U);
        }
        const std::string picture =
            c.ownPicture != nullptr
                ? fixture(c.ownPicture)
                : std::string(values.artworkJpeg.begin(), values.artworkJpeg.end());
        EXPECT_EQ(back.pictures, std::vector<std::string>{picture});
        EXPECT_EQ(decodedAudio(copy.path), decodedAudio(media(c.file)));

        // A second pass finds everything in place and writes nothing.
        const std::string written = test::readAll(copy.path);
        const TagWriteResult again = writeTrackTags(copy.fd.get(), c.file, values);
        EXPECT_EQ(again.status, TagWriteStatus::LeftAlone);
        EXPECT_FALSE(again.fileChanged);
        EXPECT_EQ(test::readAll(copy.path), written);
    }
}

TEST(TagWriter, APlayerWithoutARatingWritesNoRatingButItsPlayCount) {
    for (const char* file : {"bare.mp3", "bare.m4a", "bare.flac"}) {
        SCOPED_TRACE(file);
        Copy copy(file, fixture(file));
        ASSERT_TRUE(copy.fd);
        TrackTags values;
        values.playCount = 3;
        const TagWriteResult result = writeTrackTags(copy.fd.get(), file, values);
        ASSERT_EQ(result.status, TagWriteStatus::Written) << result.detail;
        EXPECT_EQ(result.detail, "play count");
        const ReadBack back = readBack(copy.path);
        EXPECT_EQ(back.rating, "");
        EXPECT_EQ(back.playCount, "3");
        if (std::string(file) == "bare.mp3") {
            EXPECT_EQ(back.popularimeterRating, 0) << "zero is the popularimeter's \"unknown\"";
            EXPECT_EQ(back.popularimeterCount, 3U);
        }
    }
}

TEST(TagWriter, FilesWhoseTagsMustNotBeTouchedKeepTheirBytes) {
    std::string otherCodec = fixture("bare.ogg");
    otherCodec[29] = 'X';  // no longer the Vorbis identification packet
    struct Case {
        const char* name;
        std::string bytes;
        std::uint8_t fileType;
        const char* why;
    };
    const Case cases[] = {
        {"audible.aa", fixture("bare.mp3"), 6, "protected file"},
        {"protected.m4p", fixture("bare.m4a"), 7, "protected file"},
        {"protected.m4v", fixture("bare.m4a"), 12, "protected file"},
        {"notes.mp3", "these are not the sounds you are looking for", 2,
         "its tags or its audio cannot be read"},
        {"empty.mp3", "", 2, "its tags or its audio cannot be read"},
        {"speech.ogg", otherCodec, 10, "not a file of a kind whose tags are written"},
        {"track.wma", std::string(64, '\x30'), 3, "not a file of a kind whose tags are written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Copy copy(c.name, c.bytes);
        ASSERT_TRUE(copy.fd);
        TrackTags values = playerValues(c.fileType);
        const TagWriteResult result = writeTrackTags(copy.fd.get(), c.name, values);
        EXPECT_EQ(result.status, TagWriteStatus::LeftAlone);
        EXPECT_EQ(result.detail, c.why);
        EXPECT_FALSE(result.fileChanged);
        EXPECT_EQ(test::readAll(copy.path), c.bytes);
    }
}

TEST(TagWriter, AFailedWriteSaysTheCopyMustBeReplaced) {
    const std::string bytes = fixture("bare.mp3");
    Copy copy("bare.mp3", bytes);
    const UniqueFd readOnly(::open(copy.path.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(readOnly);
    const TagWriteResult result = writeTrackTags(readOnly.get(), "bare.mp3", playerValues(2));
    EXPECT_EQ(result.status, TagWriteStatus::Failed);
    EXPECT_TRUE(result.fileChanged);
    EXPECT_EQ(result.detail.rfind("writing failed: ", 0), 0U) << result.detail;
}

// Files whose tags lie about their sizes. Whatever the writer makes of them, it never crashes
// and never changes a file without saying so; a file it writes still reads as written.
TEST(TagWriter, DamagedTagsNeverLeaveAFileHalfWrittenUnnoticed) {
    const auto corrupt = [](const std::string& file, const char* marker, int offset,
                            std::string bytes) {
        std::string content = fixture(file);
        const std::size_t at = content.find(marker);
        EXPECT_NE(at, std::string::npos) << marker << " in " << file;
        if (at != std::string::npos) {
            content.replace(at + static_cast<std::size_t>(offset), bytes.size(), bytes);
        }
        return content;
    };
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"ID3v2 header claiming 256 MB", "tagged.mp3",
         corrupt("tagged.mp3", "ID3", 6, "\x7f\x7f\x7f\x7f")},
        {"ID3v2 header of version 255", "tagged.mp3", corrupt("tagged.mp3", "ID3", 3, "\xff")},
        {"ID3v2 frame longer than its tag", "tagged.mp3",
         corrupt("tagged.mp3", "TIT2", 4, "\x0f\xff\xff\xff")},
        {"moov atom claiming 4 GB", "tagged.m4a",
         corrupt("tagged.m4a", "moov", -4, "\xff\xff\xff\xf0")},
        {"moov atom claiming 9 bytes", "tagged.m4a",
         corrupt("tagged.m4a", "moov", -4, std::string("\0\0\0\x09", 4))},
        {"ilst atom longer than its parent", "tagged.m4a",
         corrupt("tagged.m4a", "ilst", -4, "\x00\x7f\xff\xff")},
        {"stco entry count of 4 billion", "tagged.m4a",
         corrupt("tagged.m4a", "stco", 8, "\xff\xff\xff\xff")},
        {"mdat atom claiming 4 GB", "bare.m4a",
         corrupt("bare.m4a", "mdat", -4, "\xff\xff\xff\xf0")},
        {"FLAC stream info of 16 MB", "bare.flac", corrupt("bare.flac", "fLaC", 5, "\xff\xff\xff")},
        {"FLAC stream info marked last", "tagged.flac", corrupt("tagged.flac", "fLaC", 4, "\x80")},
        {"FLAC picture block of 16 MB", "tagged.flac",
         corrupt("tagged.flac", "image/jpeg", -15, "\xff\xff\xff")},
        {"Ogg page of 255 segments", "tagged.ogg", corrupt("tagged.ogg", "OggS", 26, "\xff")},
        {"RIFF chunk claiming 4 GB", "tagged.wav",
         corrupt("tagged.wav", "LIST", 4, "\xff\xff\xff\xf0")},
    };
    for (const char* file :
         {"tagged.mp3", "tagged.m4a", "bare.m4a", "tagged.flac", "tagged.ogg", "tagged.wav"}) {
        const std::string whole = fixture(file);
        cases.push_back({"cut in half", file, whole.substr(0, whole.size() / 2)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": " + c.what);
        Copy copy(c.name, c.bytes);
        ASSERT_TRUE(copy.fd);
        const TagWriteResult result = writeTrackTags(copy.fd.get(), c.name, playerValues(2));
        EXPECT_FALSE(result.detail.empty());
        if (!result.fileChanged) {
            EXPECT_NE(result.status, TagWriteStatus::Written);
            EXPECT_EQ(test::readAll(copy.path), c.bytes);
        }
        if (result.status == TagWriteStatus::Written) {
            EXPECT_TRUE(readBack(copy.path).opened);
        }
    }
}

TEST(TagWriter, OnlyTextsTheFileLacksAreWritten) {
    struct Case {
        const char* field;
        const char* own;  // the file's value
        bool replaced;
    };
    const Case cases[] = {
        {"TITLE", "Own Title", false}, {"TITLE", "  ", true},         {"TITLE", "", true},
        {"ARTIST", "Own", false},      {"COMPOSER", "Own", false},    {"GENRE", "\t", true},
        {"DATE", "1971-05", false},    {"DATE", "0", true},           {"TRACKNUMBER", "3/9", false},
        {"TRACKNUMBER", "0/12", true}, {"TRACKNUMBER", "none", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.own);
        TagLib::Ogg::XiphComment comment;
        comment.addField(c.field, c.own);
        const std::string before = comment.properties()[c.field].toString().to8Bit(true);
        const std::unique_ptr<TagEditor> editor = xiphEditor(comment, nullptr, {});
        (void)applyTrackTags(*editor, playerValues(10));
        const std::string after = comment.properties()[c.field].toString().to8Bit(true);
        EXPECT_EQ(after == before, !c.replaced) << after;
        EXPECT_FALSE(after.empty());
    }
}

TEST(TagWriter, RatingsFollowTheCommonStarScales) {
    struct Case {
        std::uint32_t rating;
        int popularimeter;
        const char* fmps;
    };
    // Whole stars as the scale has them; half stars and odd values up to the next star, never
    // down to none; damaged values above five stars as five.
    const Case cases[] = {
        {20, 1, "0.2"},  {40, 64, "0.4"},  {60, 128, "0.6"},  {80, 196, "0.8"}, {100, 255, "1.0"},
        {10, 1, "0.1"},  {50, 128, "0.5"}, {90, 255, "0.9"},  {35, 64, "0.35"}, {1, 1, "0.01"},
        {29, 1, "0.29"}, {30, 64, "0.3"},  {255, 255, "1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rating);
        EXPECT_EQ(popularimeterRating(c.rating), c.popularimeter);
        EXPECT_EQ(fmpsRatingText(c.rating), c.fmps);
    }
    EXPECT_EQ(popularimeterRating(0), 0);
}

}  // namespace
}  // namespace pelmar
