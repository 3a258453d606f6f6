#include "backup/destination_naming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/backup_options.h"
#include "library/player_library.h"
#include "support/library_builder.h"

namespace pelmar {
namespace {

using Strings = std::vector<std::string>;

struct CleanCase {
    const char* input;
    const char* expected;
};

TEST(CleanNameField, FollowsTheNamingRules) {
    const TextCodec utf8("UTF-8");
    const CleanCase cases[] = {
        {"Up/Down", "UpDown"},
        {"Back\\Slash", "BackSlash"},
        {"Who?", "Who"},
        {"Hello.?", "Hello."},
        {"...", "."},
        {".", "."},
        {"Live.", "Live"},
        {"Live.:", "Live."},
        {"  Padded  ", "Padded"},
        {"Song ?", "Song "},
        {"a<b>c*d|e\"f:g", "abcdefg"},
        {"", "Unknown"},
        {"   ", "Unknown"},
        {"?*:", "Unknown"},
        {"/\\", "Unknown"},
        {" /. ", "."},
        {"Tab\tIn\x01Name\x1F", "TabInName"},
        {"\tLeading", "Leading"},
        {"Line\r\nBreak", "LineBreak"},
        {"Caf\xC3\xA9/Bar",
         "Caf\xC3\xA9"
         "Bar"},
        {"\xE6\x97\xA5\xE6\x9C\xAC.", "\xE6\x97\xA5\xE6\x9C\xAC"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(CleanNameField(input, utf8), expected) << '"' << input << '"';
    }
}

TEST(CleanNameField, KeepsDoubleByteCharactersWhoseTrailByteLooksLikeASeparator) {
    const TextCodec japanese("SHIFT_JIS");
    // U+30BD is 83 5C and U+30DD is 83 7C: trail bytes equal to "\" and "|".
    const CleanCase cases[] = {
        {"\x83\x5C", "\x83\x5C"},
        {"\x83\x7C", "\x83\x7C"},
        {"A\x83\x5C/B",
         "A\x83\x5C"
         "B"},
        {"\x83\x5C.", "\x83\x5C"},
        {"\\\x83\x5C?", "\x83\x5C"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(CleanNameField(input, japanese), expected);
    }
}

TEST(CleanNameField, CodePageTextLosesOnlyTheRemovedCharacters) {
    const TextCodec western("CP1252");
    EXPECT_EQ(CleanNameField("Caf\xE9?", western), "Caf\xE9");
    EXPECT_EQ(CleanNameField("\xE9/\xA9", western), "\xE9\xA9");
}

TEST(ExtensionForFileType, MapsEveryCode) {
    const Strings expected = {"",    "wav", "mp3", "wma",  "nvf", "m4a", "aa", "m4p",
                              "m4b", "mp4", "ogg", "flac", "m4v", "mov", ""};
    for (std::size_t code = 0; code < expected.size(); ++code) {
        EXPECT_EQ(ExtensionForFileType(static_cast<std::uint8_t>(code)), expected[code]) << code;
    }
    EXPECT_EQ(ExtensionForFileType(255), "");
}

TEST(BackupFilePath, PutsOneSlashBetween) {
    EXPECT_EQ(BackupFilePath("/backup", "Band/Song.mp3"), "/backup/Band/Song.mp3");
    EXPECT_EQ(BackupFilePath("/backup/", "Song.mp3"), "/backup/Song.mp3");
    EXPECT_EQ(BackupFilePath("/", "Song.mp3"), "/Song.mp3");
}

class DestinationNaming : public ::testing::Test {
  protected:
    MhTrackData& addTrack(std::uint32_t id, const test::Tags& tags) {
        MhTrackData& record = test::addTrack(library, id, tags);
        record.trackNumber = 3;
        return record;
    }

    DestinationParts parts(std::uint32_t id, std::string_view folderTemplate,
                           std::string_view fileTemplate = kDefaultFileTemplate,
                           bool shorten = false) {
        return BuildDestinationParts(library, id, folderTemplate, fileTemplate, shorten);
    }

    std::string folder(std::uint32_t id, std::string_view folderTemplate, bool shorten = false) {
        return BuildDestinationFolder(library, id, folderTemplate, kDefaultFileTemplate, shorten)
            .folderPath;
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
};

TEST_F(DestinationNaming, FolderTemplatesPickTheirComponents) {
    addTrack(1, {"Band", "Album", "Jazz", "Writer", "Song"});
    const struct {
        const char* folderTemplate;
        Strings components;
        const char* folderPath;
    } cases[] = {
        {"[ No subfolders ]", {}, ""},
        {"Artist\\", {"Band"}, "Band/"},
        {"Artist\\Album\\", {"Band", "Album"}, "Band/Album/"},
        {"Artist - Album\\", {"Band - Album"}, "Band - Album/"},
        {"Genre\\Artist\\", {"Jazz", "Band"}, "Jazz/Band/"},
        {"Genre\\Artist\\Album\\", {"Jazz", "Band", "Album"}, "Jazz/Band/Album/"},
        {"Genre\\Artist - Album\\", {"Jazz", "Band - Album"}, "Jazz/Band - Album/"},
        {"Composer\\", {"Writer"}, "Writer/"},
        {"Composer\\Album\\", {"Writer", "Album"}, "Writer/Album/"},
        {"artist\\", {}, ""},
        {"Something else", {}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parts(1, c.folderTemplate).components, c.components) << c.folderTemplate;
        EXPECT_EQ(folder(1, c.folderTemplate), c.folderPath) << c.folderTemplate;
    }
}

TEST_F(DestinationNaming, FileTemplatesFormatTheBaseName) {
    addTrack(1, {"Band", "Album", "Jazz", "Writer", "Song"});
    const struct {
        const char* fileTemplate;
        const char* fileBase;
    } cases[] = {
        {"Artist - Album - Track# - Title.ext", "Band - Album - 03 - Song"},
        {"Artist - Title.ext", "Band - Song"},
        {"Album - Track# - Title.ext", "Album - 03 - Song"},
        {"Track# - Title.ext", "03 - Song"},
        {"Track# Title.ext", "03 Song"},
        {"Composer - Album - Track# - Title.ext", "Writer - Album - 03 - Song"},
        {"Title.ext", ""},
    };
    for (const auto& c : cases) {
        const DestinationParts result = parts(1, "Artist\\", c.fileTemplate);
        EXPECT_EQ(result.fileBase, c.fileBase) << c.fileTemplate;
        EXPECT_EQ(result.extension, "mp3");
    }
}

TEST_F(DestinationNaming, EveryTemplateTheOptionsOfferIsKnown) {
    addTrack(1, {"Band", "Album", "Jazz", "Writer", "Song"});
    for (std::size_t i = 1; i < kFolderTemplates.size(); ++i) {
        EXPECT_FALSE(parts(1, kFolderTemplates[i]).components.empty()) << kFolderTemplates[i];
    }
    for (const std::string_view fileTemplate : kFileTemplates) {
        EXPECT_FALSE(parts(1, "", fileTemplate).fileBase.empty()) << fileTemplate;
    }
}

TEST_F(DestinationNaming, MissingFieldsAndUnknownTracksBecomeUnknown) {
    addTrack(1, {"Band", "", "", "", "Song"}).trackNumber = 0;
    EXPECT_EQ(folder(1, "Artist\\Album\\"), "Band/Unknown/");
    EXPECT_EQ(parts(1, "").fileBase, "Band - Unknown - 00 - Song");

    const DestinationParts unknown = parts(99, "Genre\\Artist\\Album\\");
    EXPECT_EQ(unknown.components, (Strings{"Unknown", "Unknown", "Unknown"}));
    EXPECT_EQ(unknown.fileBase, "Unknown - Unknown - 00 - Unknown");
    EXPECT_EQ(unknown.extension, "mp3");
}

TEST_F(DestinationNaming, FolderComponentsEndingInADotEndInAnUnderscore) {
    addTrack(1, {"Band", "Hello.?", "", "", "Hello.?"});
    addTrack(2, {"Band", "...", "", "", "Song"});
    addTrack(3, {"Band", "Live.", "", "", "Song"});
    addTrack(4, {"Band", "Live.:", "", "", "Song"});

    EXPECT_EQ(parts(1, "Artist\\Album\\").components, (Strings{"Band", "Hello."}));
    EXPECT_EQ(folder(1, "Artist\\Album\\"), "Band/Hello_/");
    EXPECT_EQ(parts(1, "").fileBase, "Band - Hello. - 03 - Hello.");

    EXPECT_EQ(parts(2, "Artist\\Album\\").components, (Strings{"Band", "."}));
    EXPECT_EQ(folder(2, "Artist\\Album\\"), "Band/_/");

    EXPECT_EQ(folder(3, "Artist - Album\\"), "Band - Live/");
    EXPECT_EQ(parts(4, "Artist - Album\\").components, (Strings{"Band - Live."}));
    EXPECT_EQ(folder(4, "Artist - Album\\"), "Band - Live_/");
}

TEST_F(DestinationNaming, FileTypeZeroGivesNoExtension) {
    addTrack(1, {"Band", "Album", "", "", "Song"}).fileType = 0;
    EXPECT_EQ(BuildDestinationFolder(library, 1, "", kDefaultFileTemplate, false).extension, "");
}

TEST_F(DestinationNaming, ShorteningCutsEachTextTo30BytesOfWholeCharacters) {
    const std::string longArtist(40, 'A');
    // "a" then eleven three-byte characters: 30 bytes would end inside the tenth.
    std::string japanese = "a";
    for (int i = 0; i < 11; ++i) {
        japanese += "\xE6\x97\xA5";
    }
    addTrack(1, {longArtist, japanese, "", "", "Song"}).trackNumber = 123456;

    const DestinationParts full = parts(1, "Artist\\Album\\");
    EXPECT_EQ(full.components, (Strings{longArtist, japanese}));

    const std::string artist30(30, 'A');
    const std::string album28 = japanese.substr(0, 28);
    const DestinationParts cut = parts(1, "Artist\\Album\\", kDefaultFileTemplate, true);
    EXPECT_EQ(cut.components, (Strings{artist30, album28}));
    EXPECT_EQ(cut.fileBase, artist30 + " - " + album28 + " - 123456 - Song");
}

TEST_F(DestinationNaming, ACutEndingInADotGetsAnUnderscoreInFoldersOnly) {
    const std::string artist = std::string(29, 'A').append(".").append(10, 'B');
    addTrack(1, {artist, "Album", "", "", "Song"});
    const DestinationFolder cut =
        BuildDestinationFolder(library, 1, "Artist\\", kDefaultFileTemplate, true);
    EXPECT_EQ(cut.folderPath, std::string(29, 'A').append("_/"));
    EXPECT_EQ(cut.fileBase, std::string(29, 'A').append(". - Album - 03 - Song"));
}

TEST(DestinationNamingShiftJis, DoubleByteNamesStayWholeAndAreCutWhole) {
    const TextCodec japanese("SHIFT_JIS");
    PlayerLibrary library(japanese);
    std::string longName = "a";
    for (int i = 0; i < 15; ++i) {
        longName += "\x83\x5C";
    }
    test::addTrack(library, 1, {"\x83\x5C", longName, "", "", "Song"});

    EXPECT_EQ(BuildDestinationFolder(library, 1, "Artist\\Album\\", "", false).folderPath,
              "\x83\x5C/" + longName + "/");
    EXPECT_EQ(BuildDestinationParts(library, 1, "Album\\", "Artist - Title.ext", false).fileBase,
              "\x83\x5C - Song");
    EXPECT_EQ(BuildDestinationParts(library, 1, "Artist\\Album\\", "", true).components,
              (Strings{"\x83\x5C", longName.substr(0, 29)}));
}

}  // namespace
}  // namespace pelmar
