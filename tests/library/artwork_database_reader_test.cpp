#include "library/artwork_database_reader.h"

#include <gtest/gtest.h>

#include "library/artwork_catalog.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "support/artwork_database_bytes.h"
#include "support/recording_progress.h"
#include "support/temp_folder.h"
#include "util/byte_source.h"

namespace pelmar {
namespace {

using test::ArtworkDatabaseBytes;
using test::PictureRecord;

constexpr std::uint32_t k1060Slot = 320 * 320 * 2;

PictureRecord picture1060(std::uint32_t offset, std::string file = ":F1060_1.ithmb") {
    return {1060, offset, k1060Slot, std::move(file), 1, 0, 320 << 16 | 320};
}

PictureRecord picture1055(std::uint32_t offset = 0) {
    return {1055, offset, 128 * 128 * 2, ":F1055_1.ithmb", 2, 14, 128 << 16 | 100};
}

MhTrackData track(std::uint32_t artworkId, std::uint64_t databaseId, bool hasArtwork = true) {
    MhTrackData record;
    record.artworkId = artworkId;
    record.databaseId = databaseId;
    record.hasArtwork = hasArtwork;
    return record;
}

ReadOutcome read(ArtworkCatalog& catalog, const std::vector<std::uint8_t>& bytes) {
    MemoryByteSource source(bytes);
    NullProgressReporter progress;
    return readArtworkDatabase(catalog, source, progress);
}

// Two images of two sizes each, one in a split file, then the albums and the files.
std::vector<std::uint8_t> twoImages() {
    ArtworkDatabaseBytes db;
    db.raw(test::recordHeader("mhfd", 132, 132)).dataset(1).raw(test::recordHeader("mhli", 92, 2));
    db.image(100, 0x1122334455667788ULL).picture(picture1060(0)).picture(picture1055());
    db.image(101, 0x99).picture(picture1060(k1060Slot, ":F1060_2.ithmb")).picture(picture1055(1));
    db.image(102, 0x77);
    db.dataset(2).raw(test::recordHeader("mhla", 92, 0)).dataset(3);
    return db.bytes();
}

TEST(ArtworkDatabase, ReadsEachImagesPicturesWithTheirFilesAndFrames) {
    ArtworkCatalog catalog;
    EXPECT_EQ(read(catalog, twoImages()).end, ReadOutcome::End::EndOfData);
    EXPECT_EQ(catalog.imageCount(), 3U);
    const auto first = catalog.pictures(100);
    ASSERT_EQ(first.size(), 2U);
    EXPECT_EQ(first[0].format->formatId, 1060);
    EXPECT_EQ(first[0].statedSize, k1060Slot);
    EXPECT_EQ(catalog.filePath(first[0].file), "iPod_Control/Artwork/F1060_1.ithmb");
    EXPECT_EQ(catalog.filePath(first[1].file), "iPod_Control/Artwork/F1055_1.ithmb") << "UTF-16";
    EXPECT_EQ((std::array{first[1].top, first[1].left, first[1].height, first[1].width}),
              (std::array<std::uint16_t, 4>{14, 0, 100, 128}));
    const auto second = catalog.pictures(101);
    ASSERT_EQ(second.size(), 2U);
    EXPECT_EQ(catalog.filePath(second[0].file), "iPod_Control/Artwork/F1060_2.ithmb");
    EXPECT_EQ(second[1].offset, 1U);
    EXPECT_EQ(second[1].file, first[1].file);
    EXPECT_EQ(catalog.fileCount(), 3U);
}

TEST(ArtworkDatabase, TracksFindTheirImageByIdThenByTheirDatabaseId) {
    ArtworkCatalog catalog;
    read(catalog, twoImages());
    const struct {
        const char* name;
        MhTrackData record;
        std::optional<std::uint32_t> image;
    } cases[] = {
        {"the image it names", track(101, 0x1122334455667788ULL), 101},
        {"no image named: the one naming it", track(0, 0x1122334455667788ULL), 100},
        {"an unknown image named", track(555, 0x99), 101},
        {"the record says it has none", track(100, 0x99, false), std::nullopt},
        {"an image without pictures", track(102, 0x99), std::nullopt},
        {"named by an image without pictures", track(0, 0x77), std::nullopt},
        {"nothing names it", track(0, 0x42), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(catalog.imageOf(c.record), c.image) << c.name;
    }
}

TEST(ArtworkDatabase, LeavesOutPicturesItCannotUseAndImagesOutsideTheirDataset) {
    PictureRecord unknown = picture1060(0);
    unknown.format = 1999;
    std::vector<std::uint8_t> overstated = ArtworkDatabaseBytes().picture(picture1060(0)).bytes();
    test::put32(overstated, 24 + 76 + 24, 400);
    // Each case comes between image 1 and a picture of 1055, which image 1 keeps when it is
    // still being read.
    const struct {
        const char* name;
        std::vector<std::uint8_t> object;
        std::size_t kept = 1;
    } cases[] = {
        {"unknown format", ArtworkDatabaseBytes().picture(unknown).bytes()},
        {"no file name", ArtworkDatabaseBytes().picture(picture1060(0, "")).bytes()},
        {"a parent folder", ArtworkDatabaseBytes().picture(picture1060(0, ":..:x")).bytes()},
        {"a slash", ArtworkDatabaseBytes().picture(picture1060(0, ":../x")).bytes()},
        {"a name longer than its object", overstated},
        {"another object type", ArtworkDatabaseBytes().picture(picture1060(0), 0x10002).bytes()},
        {"an image in the file list", ArtworkDatabaseBytes().dataset(3).image(1).bytes(), 0},
    };
    for (const auto& c : cases) {
        ArtworkCatalog catalog;
        read(catalog, ArtworkDatabaseBytes().image(1).raw(c.object).picture(picture1055()).bytes());
        ASSERT_EQ(catalog.pictures(1).size(), c.kept) << c.name;
        EXPECT_TRUE(c.kept == 0 || catalog.pictures(1)[0].format->formatId == 1055) << c.name;
    }
}

TEST(ArtworkDatabase, DamageEndsTheReadWithWhatWasRead) {
    const auto object = [](std::uint32_t headerLength, std::uint32_t total) {
        std::vector<std::uint8_t> r = test::recordHeader("mhod", 24, total);
        test::put32(r, 4, headerLength);
        return r;
    };
    const struct {
        const char* name;
        std::vector<std::uint8_t> tail;
        ReadOutcome::End end;
    } cases[] = {
        {"header length 4", object(4, 40), ReadOutcome::End::Malformed},
        {"shorter than its header", object(24, 20), ReadOutcome::End::Malformed},
        {"past the end", object(24, 5000), ReadOutcome::End::Malformed},
        {"header past the end", object(4000, 4000), ReadOutcome::End::EndOfData},
    };
    for (const auto& c : cases) {
        ArtworkCatalog catalog;
        ArtworkDatabaseBytes db;
        db.image(1).picture(picture1060(0)).image(2).picture(picture1055()).raw(c.tail);
        db.image(3).picture(picture1060(0));
        EXPECT_EQ(read(catalog, db.bytes()).end, c.end) << c.name;
        EXPECT_EQ(catalog.imageCount(), 2U) << c.name;
        EXPECT_EQ(catalog.pictures(2).size(), 1U) << c.name << ": the image being read is kept";
    }
    const std::vector<std::uint8_t> whole = twoImages();
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        ArtworkCatalog catalog;
        read(catalog, std::vector(whole.begin(), whole.begin() + static_cast<long>(length)));
        ASSERT_LE(catalog.pictures(100).size() + catalog.pictures(101).size(), 4U);
    }
}

TEST(ArtworkDatabase, PicturesThatCannotBeReadLeaveTheirTracksWithoutArtwork) {
    test::TempFolder folder;
    ArtworkDatabaseBytes db;
    db.image(1).picture(picture1060(0));
    db.image(2).picture(picture1060(2 * k1060Slot));  // at the file's end
    db.image(3).picture(picture1060(k1060Slot + 2));  // running past it
    db.image(4).picture(picture1055());               // in a missing file
    db.image(5).picture(picture1060(k1060Slot)).picture(picture1055());
    test::writeFile(folder.path() / "iPod_Control" / "Artwork" / "ArtworkDB", db.bytes());
    test::writeFile(folder.path() / "iPod_Control" / "Artwork" / "F1060_1.ithmb",
                    std::vector<std::uint8_t>(2 * k1060Slot));
    PlayerLibrary library;
    test::RecordingProgress progress;
    const LoadReport report = loadLibraryFromRoot(library, folder.path().string(), progress);
    ASSERT_TRUE(report.artwork.has_value());
    EXPECT_EQ(progress.statuses.back(), "Reading Artwork...");
    EXPECT_EQ(library.artwork.imageOf(track(1, 0)), 1U);
    for (const std::uint32_t unreadable : {2U, 3U, 4U}) {
        EXPECT_FALSE(library.artwork.hasArtwork(track(unreadable, 0))) << unreadable;
    }
    ASSERT_EQ(library.artwork.pictures(5).size(), 1U);
    EXPECT_EQ(library.artwork.pictures(5)[0].offset, k1060Slot);

    std::filesystem::remove(folder.path() / "iPod_Control" / "Artwork" / "ArtworkDB");
    EXPECT_FALSE(readArtwork(library, progress).has_value());
    EXPECT_EQ(library.artwork.imageCount(), 0U);
}

}  // namespace
}  // namespace pelmar
