#include "library/photo_database_reader.h"

#include <gtest/gtest.h>

#include "library/player_files.h"
#include "library/player_library.h"
#include "support/artwork_database_bytes.h"
#include "support/database_bytes.h"
#include "support/photo_database_bytes.h"
#include "support/recording_progress.h"
#include "support/temp_folder.h"
#include "util/byte_source.h"

namespace pelmar {
namespace {

using test::PhotoDatabaseBytes;

class PhotoDatabaseReader : public ::testing::Test {
  protected:
    ReadOutcome read(const std::vector<std::uint8_t>& bytes) {
        MemoryByteSource source(bytes);
        return readPhotoDatabase(library, source, progress);
    }

    std::vector<std::uint32_t> itemsOf(std::uint32_t albumId) {
        KernelId album;
        album.id = albumId;
        KernelId item;
        std::vector<std::uint32_t> items;
        for (int more = library.firstPhotoAlbumItem(album, item); more != 0;
             more = library.nextPhotoAlbumItem(album, item)) {
            items.push_back(item.id);
        }
        return items;
    }

    // An image list of two photos, then the master album and one more.
    static PhotoDatabaseBytes twoPhotosTwoAlbums() {
        PhotoDatabaseBytes db;
        db.record("mhfd", 132).record("mhsd", 96).record("mhli", 92);
        db.image(100, 3'400'000'000U, 3'300'000'000U).thumbnail(1015, 0, 22880);
        db.thumbnail(1019, 691200, 691200);
        db.image(101).thumbnail(1015, 22880, 22880);
        db.record("mhsd", 96).record("mhla", 92);
        db.album().albumName("Photo Library").albumItem(100).albumItem(101);
        db.album().albumName("Holiday").albumItem(101);
        return db;
    }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    test::RecordingProgress progress;
};

TEST_F(PhotoDatabaseReader, ReadsImagesWithTimesAndThumbnailSlots) {
    EXPECT_EQ(read(twoPhotosTwoAlbums().bytes()).end, ReadOutcome::End::EndOfData);
    ASSERT_EQ(library.images.size(), 2U);
    const ImageData& first = library.images.at(100);
    EXPECT_EQ(first.modifiedTime, 3'400'000'000U);
    EXPECT_EQ(first.createdTime, 3'300'000'000U);
    EXPECT_EQ(first.thumbFormat, (std::array<std::uint32_t, 4>{1015, 1019, 0, 0}));
    EXPECT_EQ(first.thumbOffset, (std::array<std::uint32_t, 4>{0, 691200, 0, 0}));
    EXPECT_EQ(first.thumbSize, (std::array<std::uint32_t, 4>{22880, 691200, 0, 0}));
    EXPECT_EQ(library.images.at(101).thumbOffset[0], 22880U);
}

TEST_F(PhotoDatabaseReader, FirstAlbumBecomesAllPhotosWhenAnotherFollows) {
    read(twoPhotosTwoAlbums().bytes());
    EXPECT_EQ(library.photoAlbumNames, (std::vector<std::string>{"(All Photos)", "Holiday"}));
    EXPECT_EQ(itemsOf(0), (std::vector<std::uint32_t>{100, 101}));
    EXPECT_EQ(itemsOf(1), (std::vector<std::uint32_t>{101}));
}

TEST_F(PhotoDatabaseReader, LoneAlbumKeepsItsOwnName) {
    PhotoDatabaseBytes db;
    db.image(1).album().albumName("Photo Library").albumItem(1);
    read(db.bytes());
    EXPECT_EQ(library.photoAlbumNames, (std::vector<std::string>{"Photo Library"}));
    sortPhotoAlbums(library);
    EXPECT_EQ(library.sortedPhotoAlbumIds.size(), 1U);
}

TEST_F(PhotoDatabaseReader, FirstNameObjectWinsAndOnlyType1Names) {
    PhotoDatabaseBytes db;
    db.image(1).album().albumName("Master");
    db.album().albumName("ignored type", -1, 2).albumName("Trip").albumName("Second name");
    db.album();
    read(db.bytes());
    EXPECT_EQ(library.photoAlbumNames, (std::vector<std::string>{"(All Photos)", "Trip", ""}))
        << "an album without a name object keeps an empty name";
}

TEST_F(PhotoDatabaseReader, NameStopsAtItsStatedLengthAndAtNul) {
    PhotoDatabaseBytes db;
    db.album().albumName("Master");
    db.album().albumName(std::string_view("Padded\0\0", 8), 6);
    db.album().albumName(std::string_view("Trail\xAB\xCD\xEF", 8), 5);
    db.album().albumName(std::string_view("Nul\0inside", 10), 10);
    db.album().albumName("Overstated", 500);
    db.album().albumName("\xE5\x86\x99\xE7\x9C\x9F");
    read(db.bytes());
    EXPECT_EQ(library.photoAlbumNames,
              (std::vector<std::string>{"(All Photos)", "Padded", "Trail", "Nul", "Overstated",
                                        "\xE5\x86\x99\xE7\x9C\x9F"}));
}

TEST_F(PhotoDatabaseReader, DuplicateAlbumNamesAreBothListedWithTheLaterPhotos) {
    PhotoDatabaseBytes db;
    db.image(1).image(2);
    db.album().albumName("Master").albumItem(1).albumItem(2);
    db.album().albumName("Same").albumItem(1);
    db.album().albumName("Same").albumItem(2);
    read(db.bytes());
    EXPECT_EQ(library.photoAlbumNames, (std::vector<std::string>{"(All Photos)", "Same", "Same"}));
    EXPECT_EQ(itemsOf(1), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(itemsOf(2), (std::vector<std::uint32_t>{2}));
}

TEST_F(PhotoDatabaseReader, ItemsBeforeTheFirstAlbumAreDropped) {
    PhotoDatabaseBytes db;
    db.albumItem(9).album().albumName("Only").albumItem(1);
    read(db.bytes());
    EXPECT_EQ(itemsOf(0), (std::vector<std::uint32_t>{1}));
}

TEST_F(PhotoDatabaseReader, KeepsFourThumbnailsAndTestsTheWholeTypeWord) {
    PhotoDatabaseBytes db;
    db.image(1);
    for (std::uint32_t format : {1009U, 1015U, 1013U, 1019U, 1024U}) {
        db.thumbnail(format, 0, 0);
    }
    db.image(2).thumbnail(1015, 0, 0, 0x00010002).thumbnail(1009, 7, 0);
    read(db.bytes());
    EXPECT_EQ(library.images.at(1).thumbFormat,
              (std::array<std::uint32_t, 4>{1009, 1015, 1013, 1019}));
    EXPECT_EQ(library.images.at(2).thumbFormat, (std::array<std::uint32_t, 4>{1009, 0, 0, 0}))
        << "bytes 14-15 that are not zero make it something else";
}

TEST_F(PhotoDatabaseReader, KeepsTheOriginalsPathWhenItLiesInTheOriginalsFolder) {
    const struct {
        const char* colonName;
        std::uint8_t encoding;
        const char* path;
    } cases[] = {
        {":Full Resolution:2005:08:06:IMG_3609.JPG", 2,
         "Photos/Full Resolution/2005/08/06/IMG_3609.JPG"},
        {":FULL RESOLUTION:a.jpg", 1, "Photos/FULL RESOLUTION/a.jpg"},
        {":Full Resolution:..:Photo Database", 2, ""},
        {":Full Resolution", 2, ""},
        {":Photo Database", 2, ""},
        {":Thumbs:F1019_1.ithmb", 2, ""},
        {"", 2, ""},
    };
    for (const auto& c : cases) {
        PlayerLibrary fresh(codec);
        PhotoDatabaseBytes db;
        test::PictureRecord original{1, 0, 0, c.colonName, c.encoding};
        db.image(1).thumbnail(1015, 0, 22880).dataObject(5, test::pictureBody(original));
        db.image(2).album().albumName("Master").dataObject(5, test::pictureBody(original));
        MemoryByteSource source(db.bytes());
        readPhotoDatabase(fresh, source, progress);
        EXPECT_EQ(fresh.images.at(1).originalPath, c.path) << c.colonName;
        EXPECT_EQ(fresh.images.at(1).thumbFormat[1], 0U) << "an original is no thumbnail";
        EXPECT_EQ(fresh.images.at(2).originalPath, "") << "not inside an album";
    }
}

TEST_F(PhotoDatabaseReader, ThumbnailsAreTakenOnlyBeforeTheAlbums) {
    PhotoDatabaseBytes db;
    db.image(1).album().albumName("Master").thumbnail(1015, 0, 0);
    read(db.bytes());
    EXPECT_EQ(library.images.at(1).thumbFormat[0], 0U);
}

TEST_F(PhotoDatabaseReader, LaterImageWithTheSameIdReplacesTheEarlier) {
    PhotoDatabaseBytes db;
    db.image(5, 1, 1).thumbnail(1015, 0, 0).image(5, 2, 2).thumbnail(1009, 0, 0);
    read(db.bytes());
    ASSERT_EQ(library.images.size(), 1U);
    EXPECT_EQ(library.images.at(5).modifiedTime, 2U);
    EXPECT_EQ(library.images.at(5).thumbFormat[0], 1009U);
}

TEST_F(PhotoDatabaseReader, MalformedRecordsEndTheReadAsAShortReadDoes) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> tail;
        ReadOutcome::End end = ReadOutcome::End::Malformed;
    };
    const auto headWith = [](std::uint32_t headerLength, std::uint32_t total) {
        std::vector<std::uint8_t> r(std::clamp<std::uint32_t>(headerLength, 12, 100), 0);
        std::copy_n("mhod", 4, r.begin());
        test::put32(r, 4, headerLength);
        test::put32(r, 8, total);
        return r;
    };
    std::vector<Case> cases = {
        {"header length 4", headWith(4, 40)},
        {"data object shorter than its header", headWith(40, 20)},
        {"header past the end", headWith(4000, 4000), ReadOutcome::End::EndOfData},
        {"data object past the end", PhotoDatabaseBytes().dataObject(1, {}).bytes()},
        {"name object shorter than its string header",
         PhotoDatabaseBytes().dataObject(1, std::vector<std::uint8_t>(8, 0)).bytes()},
    };
    // Make the data object claim more than there is.
    test::put32(cases[3].tail, 8, 5000);
    for (const Case& c : cases) {
        PlayerLibrary fresh(codec);
        PhotoDatabaseBytes db;
        db.image(1).album().albumName("Master").albumItem(1);
        db.album().albumName("Pending").albumItem(1);
        db.raw(c.tail);
        db.album().albumName("Never");
        MemoryByteSource source(db.bytes());
        const ReadOutcome outcome = readPhotoDatabase(fresh, source, progress);
        EXPECT_EQ(outcome.end, c.end) << c.name;
        EXPECT_EQ(fresh.photoAlbumNames, (std::vector<std::string>{"(All Photos)", "Pending"}))
            << c.name << ": the pending album is still finished";
    }
}

TEST_F(PhotoDatabaseReader, ListHeadersMayHoldACountWhereOthersHoldALength) {
    PhotoDatabaseBytes db;
    std::vector<std::uint8_t> list(92, 0);
    std::copy_n("mhli", 4, list.begin());
    test::put32(list, 4, 92);
    test::put32(list, 8, 2);
    db.raw(list).image(1).image(2);
    EXPECT_EQ(read(db.bytes()).end, ReadOutcome::End::EndOfData);
    EXPECT_EQ(library.images.size(), 2U);
}

TEST_F(PhotoDatabaseReader, ShortBodyOfAnotherObjectInAnAlbumIsSkipped) {
    PhotoDatabaseBytes db;
    db.album().albumName("Master").dataObject(2, std::vector<std::uint8_t>(4, 0)).albumItem(3);
    read(db.bytes());
    EXPECT_EQ(itemsOf(0), (std::vector<std::uint32_t>{3}));
}

TEST_F(PhotoDatabaseReader, EveryTruncatedPrefixReadsSafely) {
    const std::vector<std::uint8_t> whole = twoPhotosTwoAlbums().bytes();
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        PlayerLibrary fresh(codec);
        const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + length);
        MemoryByteSource source(prefix);
        readPhotoDatabase(fresh, source, progress);
        ASSERT_LE(fresh.images.size(), 2U);
        ASSERT_LE(fresh.photoAlbumNames.size(), 2U);
    }
}

TEST_F(PhotoDatabaseReader, SortedAlbumsUseByteOrder) {
    PhotoDatabaseBytes db;
    for (const char* name : {"Master", "beta", "Zed", "(Trip)", "2019"}) {
        db.album().albumName(name);
    }
    read(db.bytes());
    sortPhotoAlbums(library);
    std::vector<std::string> names;
    KernelId album;
    for (int more = library.firstSortedPhotoAlbum(album); more != 0;
         more = library.nextSortedPhotoAlbum(album)) {
        names.push_back(library.photoAlbumName(album));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"(All Photos)", "(Trip)", "2019", "Zed", "beta"}));
    KernelId first;
    EXPECT_EQ(library.firstPhotoAlbum(first), 5) << "the master album is enumerated too";
    EXPECT_EQ(first.id, 0U);
}

TEST_F(PhotoDatabaseReader, ReportsProgressEvery500Records) {
    PhotoDatabaseBytes db;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        db.image(i);
    }
    read(db.bytes());
    EXPECT_EQ(progress.positions, (std::vector<std::uint32_t>{500 * 152, 1000 * 152}));
}

TEST_F(PhotoDatabaseReader, ReadsThePlayersFileWithItsStatusLine) {
    test::TempFolder folder;
    test::writeFile(folder.path() / "Photos" / "Photo Database", twoPhotosTwoAlbums().bytes());
    library.rootPath = folder.root();
    ASSERT_TRUE(readPhotos(library, progress).has_value());
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Reading Photos..."}));
    EXPECT_EQ(library.images.size(), 2U);

    PlayerLibrary empty(codec);
    empty.rootPath = (folder.path() / "nothing").string() + "/";
    EXPECT_FALSE(readPhotos(empty, progress).has_value());
    EXPECT_TRUE(empty.photoAlbumNames.empty());
}

}  // namespace
}  // namespace pelmar
