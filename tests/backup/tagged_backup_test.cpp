#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "backup/album_cover_jpegs.h"
#include "backup/backup_options.h"
#include "backup/system_itunes.h"
#include "backup/tag_editors.h"
#include "backup/tag_writer.h"
#include "backup/transfer_snapshot.h"
#include "backup/transfer_worker.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "player_image/player_image.h"
#include "support/fake_itunes.h"
#include "support/temp_folder.h"
#include "tag_read_back.h"
#include "util/progress_reporter.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

using test::readAll;

enum class Tagging { Written, LeftAlone, NotWritten };

// A track's file on the player and what a backup that writes tags makes of it.
struct Medium {
    const char* what;
    std::string bytes;
    const char* extension;  // of the track's location; the player's file type follows it
    Tagging tagging;
    bool ownTexts = false;    // carries a title and an artist of its own
    bool ownPicture = false;  // carries cover.jpg
    const char* logged = "";  // the reason the log gives when the tags are not written
};

std::string fixture(const std::string& name) {
    return readAll(fs::path(PELMAR_TAG_MEDIA_DIR) / name);
}

// `bytes` written over the fixture's content `offset` bytes from where `marker` first occurs.
std::string damaged(const char* file, const char* marker, int offset, const std::string& bytes) {
    std::string content = fixture(file);
    content.replace(content.find(marker) + static_cast<std::size_t>(offset), bytes.size(), bytes);
    return content;
}

std::vector<Medium> media() {
    return {
        {"bare MP3", fixture("bare.mp3"), "mp3", Tagging::Written},
        {"tagged MP3", fixture("tagged.mp3"), "mp3", Tagging::Written, true, true},
        {"bare AAC", fixture("bare.m4a"), "m4a", Tagging::Written},
        {"tagged AAC", fixture("tagged.m4a"), "m4a", Tagging::Written, true, true},
        {"Apple Lossless", fixture("alac.m4a"), "m4a", Tagging::Written},
        {"bare FLAC", fixture("bare.flac"), "flac", Tagging::Written},
        {"tagged FLAC", fixture("tagged.flac"), "flac", Tagging::Written, true, true},
        {"bare Vorbis", fixture("bare.ogg"), "ogg", Tagging::Written},
        {"tagged Vorbis", fixture("tagged.ogg"), "ogg", Tagging::Written, true},
        {"bare WAV", fixture("bare.wav"), "wav", Tagging::Written},
        {"tagged WAV", fixture("tagged.wav"), "wav", Tagging::Written, true},
        {"protected AAC", fixture("bare.m4a"), "m4p", Tagging::LeftAlone, false, false,
         "Tags left alone (protected file)."},
        {"ID3v2 header claiming 256 MB", damaged("tagged.mp3", "ID3", 6, "\x7f\x7f\x7f\x7f"), "mp3",
         Tagging::LeftAlone, false, false,
         "Tags left alone (its tags or its audio cannot be read)."},
        // The tag library starts writing before the damage stops it.
        {"MP4 chunk table claiming 4 billion entries",
         damaged("tagged.m4a", "stco", 8, "\xff\xff\xff\xff"), "m4a", Tagging::NotWritten, false,
         false, "Tags could not be written (its damaged tags would have made the file grow"},
    };
}

std::string withExtension(const std::string& location, const char* extension) {
    return location.substr(0, location.rfind('.') + 1) + extension;
}

class TaggedBackupTest : public ::testing::Test {
  protected:
    TaggedBackupTest() : cases(media()) {
        player_image::Options options = player_image::optionsFor(player_image::Model::Classic);
        options.trackCount = static_cast<std::uint32_t>(cases.size());
        options.withPhotos = false;
        options.seed = 5;
        player_image::PlayerImage image = player_image::generatePlayerImage(options);
        for (std::size_t i = 0; i < cases.size(); ++i) {
            image.tracks[i].location = withExtension(image.tracks[i].location, cases[i].extension);
        }
        std::string error;
        EXPECT_TRUE(player_image::writePlayerImage(image, player(), options, error)) << error;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const fs::path file = test::playerFile(player(), image.tracks[i].location);
            fs::remove(file);
            test::writeFile(file, {cases[i].bytes.begin(), cases[i].bytes.end()});
        }
        NullProgressReporter progress;
        loadLibraryFromRoot(library, player().string(), progress);
        fs::create_directories(backup());
        settings.destinationFolder = backup().string();
        settings.folderTemplate = "Artist\\Album\\";
        settings.fileTemplate = "Track# - Title.ext";
        settings.existHandling = std::string(kExistDoNotCopy);
        settings.saveArtwork = 0;  // only the tracks' copies in the backup folder
    }

    fs::path player() const { return folder.path() / "player"; }
    fs::path backup() const { return folder.path() / "backup"; }
    fs::path logFile() const { return folder.path() / "transfer.log"; }

    std::string playerBytes(std::uint32_t trackId) const {
        TrackInfo info;
        library.getTrackInfo(trackId, info);
        return readAll(test::playerFile(player(), info.location));
    }

    TransferResult run(const std::vector<std::uint32_t>& tracks, bool writeTags) {
        settings.writeTags = writeTags ? 1 : 0;
        std::vector<KernelId> ids;
        for (const std::uint32_t id : tracks) {
            KernelId kernelId;
            kernelId.id = id;
            ids.push_back(kernelId);
        }
        TransferJob job{library, ids,      {},    {}, {"tracks"}, settings, logFile().string(),
                        control, observer, itunes};
        control.state.store(TransferState::Running);
        return TransferWorker(job);
    }

    // Library.json's entries: the track id under each copy's path.
    std::map<std::uint32_t, fs::path> sidecarPaths() const {
        std::map<std::uint32_t, fs::path> paths;
        const nlohmann::json sidecar = nlohmann::json::parse(readAll(backup() / "Library.json"));
        for (const auto& [relative, entry] : sidecar.at("tracks").items()) {
            paths[entry.at("id").get<std::uint32_t>()] = backup() / relative;
        }
        return paths;
    }

    std::size_t occurrences(const std::string& text, const std::string& part) const {
        std::size_t count = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + 1)) {
            ++count;
        }
        return count;
    }

    std::vector<Medium> cases;
    test::TempFolder folder;
    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    TransferOptions settings;
    TransferControl control;
    TransferSnapshot observer;
    test::FakeITunes itunes;
};

TEST_F(TaggedBackupTest, CopiesCarryThePlayersValuesOnlyWhereTheirFormatAllows) {
    const TransferResult result = run(library.trackIds, true);
    const auto written = static_cast<std::uint32_t>(std::count_if(
        cases.begin(), cases.end(), [](const Medium& m) { return m.tagging == Tagging::Written; }));
    EXPECT_EQ(result.copied, cases.size());
    EXPECT_EQ(result.tagged, written);
    const std::optional<TransferView> shown = observer.takeChanges();
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->tagged, written);

    const std::map<std::uint32_t, fs::path> paths = sidecarPaths();
    AlbumCoverJpegs covers(library);
    std::size_t playerPictures = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Medium& c = cases[i];
        SCOPED_TRACE(c.what);
        const std::uint32_t id = library.trackIds[i];
        ASSERT_TRUE(paths.contains(id));
        const fs::path copy = paths.at(id);
        if (c.tagging != Tagging::Written) {
            EXPECT_TRUE(readAll(copy) == c.bytes) << "copied as it was";
            continue;
        }
        const TrackTags values = trackTagsFor(library, id);
        ASSERT_GT(values.playCount + values.rating, 0U) << "the image gives nothing to carry";
        const test::ReadBack back = test::readBack(copy);
        ASSERT_TRUE(back.opened);
        const auto number = [](std::uint32_t n) { return n == 0 ? "" : std::to_string(n); };
        EXPECT_EQ(back.text("TITLE"), c.ownTexts ? "Tagged Title" : values.title);
        EXPECT_EQ(back.text("ARTIST"), c.ownTexts ? "Tagged Artist" : values.artist);
        EXPECT_EQ(back.text("ALBUM"), values.album);
        EXPECT_EQ(back.text("GENRE"), values.genre);
        EXPECT_EQ(back.text("COMPOSER"), values.composer);
        EXPECT_EQ(back.text("TRACKNUMBER"), number(values.trackNumber));
        EXPECT_EQ(back.text("DATE"), number(values.year));
        EXPECT_EQ(back.rating, values.rating == 0 ? "" : fmpsRatingText(values.rating));
        EXPECT_EQ(back.playCount, number(values.playCount));
        std::vector<std::string> pictures;
        if (c.ownPicture) {
            pictures.push_back(fixture("cover.jpg"));
        } else if (const auto cover = covers.coverOf(id); cover.jpeg != nullptr) {
            pictures.emplace_back(cover.jpeg->begin(), cover.jpeg->end());
            ++playerPictures;
        }
        EXPECT_EQ(back.pictures, pictures);
    }
    EXPECT_GT(playerPictures, 0U) << "no copy was given the player's artwork";

    const std::string log = readAll(logFile());
    EXPECT_EQ(occurrences(log, "Tags written: "), written);
    for (const Medium& c : cases) {
        if (c.tagging != Tagging::Written) {
            EXPECT_NE(log.find(c.logged), std::string::npos) << c.logged;
        }
    }
    EXPECT_NE(log.find("Library.json written with " + std::to_string(cases.size()) + " tracks."),
              std::string::npos);
}

TEST_F(TaggedBackupTest, WithoutTheOptionCopiesAreByteIdenticalAndNoLibraryFileIsWritten) {
    const TransferResult result = run(library.trackIds, false);
    EXPECT_EQ(result.copied, cases.size());
    EXPECT_EQ(result.tagged, 0U);
    std::vector<std::string> copies;
    for (const auto& entry : fs::recursive_directory_iterator(backup())) {
        if (entry.is_regular_file()) {
            copies.push_back(readAll(entry.path()));
        }
    }
    std::vector<std::string> originals;
    for (const Medium& c : cases) {
        originals.push_back(c.bytes);
    }
    std::sort(copies.begin(), copies.end());
    std::sort(originals.begin(), originals.end());
    EXPECT_EQ(copies, originals);
    EXPECT_EQ(readAll(logFile()).find("Tags "), std::string::npos);
}

// A second run adds its tracks to the library file of the first and leaves the files it finds
// in the backup folder as they are, tags or none.
TEST_F(TaggedBackupTest, TheLibraryFileHoldsEveryTrackOfTwoRunsAndSkippedFilesKeepTheirBytes) {
    const std::vector<std::uint32_t>& all = library.trackIds;
    const std::size_t half = all.size() / 2;
    run({all.begin(), all.begin() + static_cast<std::ptrdiff_t>(half)}, true);
    const std::uint32_t found = all[0];  // a bare MP3: tagging would change it
    const fs::path foundCopy = sidecarPaths().at(found);
    test::writeFile(foundCopy, {cases[0].bytes.begin(), cases[0].bytes.end()});

    std::vector<std::uint32_t> second(all.begin() + static_cast<std::ptrdiff_t>(half), all.end());
    second.push_back(found);
    const TransferResult result = run(second, true);
    EXPECT_EQ(result.skipped, 1U);
    EXPECT_EQ(readAll(foundCopy), cases[0].bytes);

    std::vector<std::uint32_t> listed;
    for (const auto& [id, path] : sidecarPaths()) {
        listed.push_back(id);
        EXPECT_TRUE(fs::exists(path)) << path;
    }
    std::vector<std::uint32_t> expected = all;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

}  // namespace
}  // namespace pelmar
