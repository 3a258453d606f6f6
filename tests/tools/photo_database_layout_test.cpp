#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "player_image/player_image.h"
#include "tools/database_tree.h"
#include "tools/thumbnail_decoder.h"

namespace pelmar::player_image::test {
namespace {

constexpr std::uint32_t kUnixEpoch = 2082844800U;
constexpr std::uint32_t kSigned32BitUnixEnd = 0x80000000U;

struct WrittenPhotos {
    PlayerImage image;
    std::vector<std::uint8_t> bytes;
    DatabaseTree tree;
};

WrittenPhotos write(const Options& options) {
    WrittenPhotos written;
    written.image = generatePlayerImage(options);
    written.bytes = photoDatabaseBytes(written.image);
    written.tree = parsePhotoDatabase(written.bytes);
    return written;
}

const WrittenPhotos& defaultPhotos() {
    static const WrittenPhotos written = write(Options{});
    return written;
}

std::vector<const Record*> items(const DatabaseTree& tree, std::uint32_t datasetType,
                                 const std::string& tag) {
    return tree.datasets(datasetType).at(0)->childrenTagged(tag);
}

std::vector<const Record*> thumbnailReferences(const Record& image) {
    return image.childrenTagged("mhod");
}

// The thumbnail record inside a reference.
const Record& thumbnailRecord(const Record& reference) {
    return reference.children.at(0);
}

const Record* nameObject(const Record& album) {
    for (const Record* child : album.childrenTagged("mhod")) {
        if (child->childType() == 1) {
            return child;
        }
    }
    return nullptr;
}

std::string albumName(const Record& album) {
    const Record* name = nameObject(album);
    return name == nullptr ? std::string() : photoStringText(*name);
}

std::vector<std::uint32_t> albumItemIds(const Record& album) {
    std::vector<std::uint32_t> ids;
    for (const Record* item : album.childrenTagged("mhia")) {
        ids.push_back(item->u32(16));
    }
    return ids;
}

TEST(PhotoDatabaseLayout, WalkingByTotalLengthsCoversEveryByte) {
    Options many;
    many.photoCount = 100;
    Options few;
    few.photoCount = 3;
    Options none;
    none.photoCount = 0;
    for (const Options& options : {Options{}, many, few, none}) {
        const WrittenPhotos written = write(options);
        EXPECT_TRUE(written.tree.problems.empty()) << written.tree.problems.front();
        EXPECT_EQ(written.tree.bytesCovered, written.bytes.size());
        EXPECT_EQ(written.tree.root.headerLength, 0x84U);
        EXPECT_EQ(written.tree.root.totalLength, written.bytes.size());
    }
}

TEST(PhotoDatabaseLayout, ImagesComeFirstThenAlbumsThenFormatsEachCountedByItsList) {
    const DatabaseTree& tree = defaultPhotos().tree;
    const std::pair<const char*, const char*> lists[] = {
        {"mhli", "mhii"}, {"mhla", "mhba"}, {"mhlf", "mhif"}};
    const std::vector<const Record*> datasets = tree.root.childrenTagged("mhsd");
    ASSERT_EQ(datasets.size(), 3U);
    for (std::uint32_t i = 0; i < 3; ++i) {
        const Record& dataset = *datasets[i];
        EXPECT_EQ(dataset.u32(12), i + 1);
        ASSERT_EQ(dataset.children.front().tag, lists[i].first);
        EXPECT_EQ(dataset.children.front().u32(8), dataset.children.size() - 1);
        EXPECT_EQ(dataset.childrenTagged(lists[i].second).size(), dataset.children.size() - 1);
    }
    EXPECT_EQ(items(tree, 1, "mhii").size(), defaultPhotos().image.photos.size());
    EXPECT_EQ(items(tree, 2, "mhba").size(), defaultPhotos().image.photoAlbums.size());
}

TEST(PhotoDatabaseLayout, ImagesCarryIdTimesAndOneReferencePerThumbnail) {
    const WrittenPhotos& written = defaultPhotos();
    const std::vector<const Record*> images = items(written.tree, 1, "mhii");
    ASSERT_EQ(images.size(), written.image.photos.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Record& image = *images[i];
        const Photo& photo = written.image.photos[i];
        SCOPED_TRACE(photo.id);
        EXPECT_EQ(image.u32(16), photo.id);
        EXPECT_EQ(image.u32(40), photo.modifiedTime);
        EXPECT_EQ(image.u32(44), photo.createdTime);
        const std::vector<const Record*> references = thumbnailReferences(image);
        ASSERT_EQ(references.size(), photo.thumbnails.size());
        EXPECT_EQ(image.children.size(), references.size());
        EXPECT_EQ(image.u32(12), references.size());
        for (std::size_t slot = 0; slot < references.size(); ++slot) {
            const Record& reference = *references[slot];
            const ThumbnailRef& ref = photo.thumbnails[slot];
            // The whole word counts: type 2 in the low half, zero in the high half.
            EXPECT_EQ(reference.u32(12), 2U);
            ASSERT_EQ(reference.children.size(), 1U);
            const Record& thumbnail = thumbnailRecord(reference);
            ASSERT_EQ(thumbnail.tag, "mhni");
            EXPECT_EQ(thumbnail.u32(16), ref.formatId);
            EXPECT_EQ(thumbnail.u32(20), ref.offset);
            EXPECT_EQ(thumbnail.u32(24), ref.size);
            ASSERT_EQ(thumbnail.children.size(), 1U);
            const Record& fileName = thumbnail.children.front();
            EXPECT_EQ(fileName.childType(), 3U);
            EXPECT_EQ(photoStringEncoding(fileName), 2U);
            EXPECT_EQ(photoStringText(fileName),
                      ":Thumbs:F" + std::to_string(ref.formatId) + "_1.ithmb");
        }
    }
}

TEST(PhotoDatabaseLayout, AlbumsNameTheirPhotosInAlbumOrderMasterFirst) {
    const WrittenPhotos& written = defaultPhotos();
    const std::vector<const Record*> albums = items(written.tree, 2, "mhba");
    ASSERT_EQ(albums.size(), written.image.photoAlbums.size());
    for (std::size_t i = 0; i < albums.size(); ++i) {
        const Record& album = *albums[i];
        const PhotoAlbum& model = written.image.photoAlbums[i];
        SCOPED_TRACE(model.name);
        EXPECT_EQ(album.u8(30), i == 0 ? 1 : 2) << "album type";
        EXPECT_EQ(album.u32(16), model.photoIds.size());
        EXPECT_EQ(albumItemIds(album), model.photoIds);
        EXPECT_EQ(albumName(album), model.name);
        if (nameObject(album) != nullptr) {
            EXPECT_EQ(&album.children.front(), nameObject(album)) << "the name comes first";
            EXPECT_EQ(photoStringEncoding(*nameObject(album)), 1U);
        }
    }
    std::vector<std::uint32_t> everyImage;
    for (const Record* image : items(written.tree, 1, "mhii")) {
        everyImage.push_back(image->u32(16));
    }
    EXPECT_EQ(albumItemIds(*albums.front()), everyImage);
}

TEST(PhotoDatabaseLayout, NamesArePaddedWithZeroBytesToAMultipleOfFour) {
    std::size_t unpadded = 0;
    std::size_t longPadding = 0;
    for (const Record* album : items(defaultPhotos().tree, 2, "mhba")) {
        const Record* name = nameObject(*album);
        if (name == nullptr) {
            continue;
        }
        const std::span<const std::uint8_t> padding = photoStringPadding(*name);
        EXPECT_EQ((name->totalLength - name->headerLength) % 4, 0U) << photoStringText(*name);
        EXPECT_TRUE(std::all_of(padding.begin(), padding.end(), [](auto b) { return b == 0; }));
        unpadded += padding.empty() ? 1 : 0;
        longPadding += padding.size() >= 4 ? 1 : 0;
    }
    EXPECT_GE(unpadded, 1U) << "a name whose length is already a multiple of four";
    EXPECT_EQ(longPadding, 1U) << "one name with padding beyond the next multiple of four";
}

TEST(PhotoDatabaseLayout, TheFormatListGivesEveryReferencedFormatWithItsByteSize) {
    const DatabaseTree& tree = defaultPhotos().tree;
    std::map<std::uint32_t, std::uint32_t> referenced;
    for (const Record* image : items(tree, 1, "mhii")) {
        for (const Record* reference : thumbnailReferences(*image)) {
            const Record& thumbnail = thumbnailRecord(*reference);
            referenced[thumbnail.u32(16)] = thumbnail.u32(24);
        }
    }
    std::map<std::uint32_t, std::uint32_t> listed;
    for (const Record* file : items(tree, 3, "mhif")) {
        listed[file->u32(16)] = file->u32(20);
    }
    EXPECT_EQ(listed, referenced);
    for (const auto& [formatId, byteSize] : listed) {
        if (const auto format = knownFormat(formatId)) {
            EXPECT_EQ(byteSize, format->byteSize) << formatId;
        }
    }
}

TEST(PhotoDatabaseLayout, HoldsTheAwkwardAlbums) {
    const std::vector<const Record*> albums = items(defaultPhotos().tree, 2, "mhba");
    std::map<std::string, int> nameCounts;
    std::map<std::uint32_t, int> albumsPerPhoto;
    bool unnamed = false;
    bool empty = false;
    bool japanese = false;
    bool cyrillic = false;
    bool parenthesised = false;
    for (std::size_t i = 1; i < albums.size(); ++i) {
        const Record& album = *albums[i];
        const std::string name = albumName(album);
        ++nameCounts[name];
        const std::vector<std::uint32_t> ids = albumItemIds(album);
        for (const std::uint32_t id : std::set<std::uint32_t>(ids.begin(), ids.end())) {
            ++albumsPerPhoto[id];
        }
        unnamed |= nameObject(album) == nullptr && album.u32(12) == 0;
        empty |= album.childrenTagged("mhia").empty();
        japanese |= name.find("\xE6\x80\x9D") != std::string::npos;  // 思
        cyrillic |= name.find("\xD0\x9E") != std::string::npos;      // О
        parenthesised |= name.starts_with("(");
    }
    EXPECT_TRUE(unnamed);
    EXPECT_TRUE(empty);
    EXPECT_TRUE(japanese);
    EXPECT_TRUE(cyrillic);
    EXPECT_TRUE(parenthesised);
    EXPECT_TRUE(std::any_of(nameCounts.begin(), nameCounts.end(), [](const auto& entry) {
        return entry.second == 2;
    })) << "two albums of the same name";
    EXPECT_TRUE(std::any_of(albumsPerPhoto.begin(), albumsPerPhoto.end(), [](const auto& entry) {
        return entry.second >= 2;
    })) << "a photo in two albums besides the master";
}

TEST(PhotoDatabaseLayout, HoldsTheAwkwardPhotos) {
    const std::vector<const Record*> images = items(defaultPhotos().tree, 1, "mhii");
    std::size_t fiveReferences = 0;
    std::size_t withTelevisionFormat = 0;
    std::size_t withUnknownFormat = 0;
    bool noCreationTime = false;
    bool noModificationTime = false;
    bool after2038 = false;
    for (const Record* image : images) {
        const std::vector<const Record*> references = thumbnailReferences(*image);
        EXPECT_LE(references.size(), 5U);
        fiveReferences += references.size() == 5 ? 1 : 0;
        std::set<std::uint32_t> formats;
        for (const Record* reference : references) {
            formats.insert(thumbnailRecord(*reference).u32(16));
        }
        EXPECT_EQ(formats.size(), references.size()) << "one thumbnail per format";
        withTelevisionFormat += formats.contains(1019) ? 1 : 0;
        withUnknownFormat += std::any_of(formats.begin(), formats.end(), [](std::uint32_t id) {
            return !knownFormat(id).has_value();
        });
        noCreationTime |= image->u32(44) == 0;
        noModificationTime |= image->u32(40) == 0;
        after2038 |= image->u32(44) >= kUnixEpoch + kSigned32BitUnixEnd;
    }
    EXPECT_EQ(fiveReferences, 1U);
    EXPECT_GE(withTelevisionFormat, 2U);
    EXPECT_LT(withTelevisionFormat, images.size());
    EXPECT_EQ(withUnknownFormat, 1U);
    EXPECT_TRUE(noCreationTime);
    EXPECT_TRUE(noModificationTime);
    EXPECT_TRUE(after2038);
}

}  // namespace
}  // namespace pelmar::player_image::test
