#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "player_image/player_image.h"
#include "support/temp_folder.h"
#include "tools/database_tree.h"
#include "tools/later_pixels.h"

namespace pelmar::player_image::test {
namespace {

using FileKey = std::pair<std::uint32_t, std::uint32_t>;  // format id, file number

constexpr Rgb kBlack{0, 0, 0};

struct WrittenArtwork {
    PlayerImage image;
    std::vector<std::uint8_t> database;
    DatabaseTree tree;
    std::map<FileKey, std::vector<std::uint8_t>> files;

    [[nodiscard]] std::vector<const Record*> images() const {
        return tree.datasets(1).at(0)->childrenTagged("mhii");
    }
    [[nodiscard]] std::map<std::uint32_t, std::uint32_t> listedSlotSizes() const {
        std::map<std::uint32_t, std::uint32_t> sizes;
        for (const Record* file : tree.datasets(3).at(0)->childrenTagged("mhif")) {
            sizes[file->u32(16)] = file->u32(20);
        }
        return sizes;
    }
    // The bytes an "mhni" names, through its file name.
    [[nodiscard]] std::span<const std::uint8_t> slot(const Record& picture) const {
        const std::string name = photoStringText(picture.children.at(0));
        const FileKey key{picture.u32(16),
                          static_cast<std::uint32_t>(std::stoul(name.substr(name.find('_') + 1)))};
        return std::span(files.at(key)).subspan(picture.u32(20), picture.u32(24));
    }
};

WrittenArtwork write(Model model, std::uint32_t tracks, ArtworkDamage damage = ArtworkDamage::None,
                     std::uint64_t fileLimit = 0) {
    Options options = optionsFor(model);
    options.trackCount = tracks;
    options.withPhotos = false;
    options.artworkDamage = damage;
    options.thumbnailFileLimit = fileLimit != 0 ? fileLimit : options.thumbnailFileLimit;
    WrittenArtwork written;
    written.image = generatePlayerImage(options);
    written.database = artworkDatabaseBytes(written.image);
    written.tree = parsePhotoDatabase(written.database);
    for (const ArtworkImage& art : written.image.artwork) {
        for (const ArtworkSlot& slot : art.thumbnails) {
            const FileKey key{slot.formatId, slot.fileNumber};
            if (!written.files.contains(key)) {
                written.files[key] = artworkFileBytes(written.image, key.first, key.second);
            }
        }
    }
    return written;
}

// The "mhni" of each stored picture of an image.
std::vector<const Record*> storedPictures(const Record& image) {
    std::vector<const Record*> pictures;
    for (const Record* child : image.childrenTagged("mhod")) {
        pictures.push_back(&child->children.at(0));
    }
    return pictures;
}

TEST(ArtworkLayout, EveryTrackFindsTheImageOfItsAlbumThroughItsIdOrItsDatabaseId) {
    for (const Model model : {Model::Classic, Model::Photo, Model::Nano4G}) {
        SCOPED_TRACE(playerModel(model).name);
        const WrittenArtwork written = write(model, 400);
        EXPECT_TRUE(written.tree.problems.empty());
        EXPECT_EQ(written.tree.bytesCovered, written.database.size());
        std::map<std::uint32_t, const Record*> byId;
        std::map<std::uint64_t, const Record*> byTrack;
        for (const Record* image : written.images()) {
            byId[image->u32(16)] = image;
            byTrack[image->u32(20) | std::uint64_t{image->u32(24)} << 32] = image;
        }
        std::map<std::uint32_t, const ArtworkImage*> shown;  // by track id
        for (const ArtworkImage& art : written.image.artwork) {
            for (const std::uint32_t trackId : art.trackIds) {
                shown[trackId] = &art;
            }
        }
        const std::vector<std::uint8_t> music = musicDatabaseBytes(written.image);
        const DatabaseTree musicTree = parseDatabase(music);
        const auto tracks = musicTree.datasets(1).at(0)->childrenTagged("mhit");
        ASSERT_EQ(tracks.size(), written.image.tracks.size());
        std::map<std::uint32_t, std::size_t> tracksOfImage;
        std::size_t throughId = 0;
        std::size_t throughDatabaseId = 0;
        for (const Record* record : tracks) {
            const std::uint32_t named = record->headerLength >= 356 ? record->u32(352) : 0;
            const std::uint64_t databaseId = record->u32(112) | std::uint64_t{record->u32(116)}
                                                                    << 32;
            const Record* found = named != 0 ? byId[named] : byTrack[databaseId];
            throughId += named != 0 ? 1 : 0;
            throughDatabaseId += named == 0 && found != nullptr ? 1 : 0;
            const auto intended = shown.find(record->u32(16));
            ASSERT_EQ(record->u8(164), found != nullptr ? 1 : 2) << record->u32(16);
            ASSERT_EQ(found != nullptr, intended != shown.end()) << record->u32(16);
            if (found != nullptr) {
                EXPECT_EQ(found->u32(16), intended->second->id);
                ++tracksOfImage[found->u32(16)];
            }
        }
        // A shared image names the first of its tracks; the others are found through it.
        for (const ArtworkImage& art : written.image.artwork) {
            EXPECT_EQ(tracksOfImage[art.id], art.trackIds.size());
            const auto first =
                std::find_if(written.image.tracks.begin(), written.image.tracks.end(),
                             [&](const Track& track) { return track.id == art.trackIds.front(); });
            EXPECT_EQ(art.trackDatabaseId, first->databaseId);
        }
        EXPECT_GT(throughDatabaseId, 0U);
        EXPECT_LT(shown.size(), written.image.tracks.size()) << "some tracks have none";
        if (model == Model::Photo) {
            EXPECT_EQ(throughId, 0U) << "its track headers stop before +352";
        } else {
            EXPECT_GT(throughId, throughDatabaseId);
        }
    }
}

TEST(ArtworkLayout, StoredPicturesDecodeToThePromisedColoursInTheFrameTheyState) {
    std::set<std::pair<std::uint32_t, PhotoPicture>> decoded;
    for (const Model model : {Model::Classic, Model::Nano4G, Model::Nano2G, Model::Video5G}) {
        SCOPED_TRACE(playerModel(model).name);
        const WrittenArtwork written = write(model, 300);
        const std::map<std::uint32_t, std::uint32_t> sizes = written.listedSlotSizes();
        EXPECT_EQ(sizes.size(), playerModel(model).artworkFormats.size());
        const std::vector<const Record*> images = written.images();
        for (std::size_t i = 0; i < images.size(); ++i) {
            const PhotoPicture picture = written.image.artwork[i].picture;
            const std::vector<const Record*> pictures = storedPictures(*images[i]);
            ASSERT_EQ(pictures.size(), sizes.size());
            EXPECT_EQ(images[i]->u32(12), pictures.size());
            for (const Record* stored : pictures) {
                const ThumbnailFormat& format = *thumbnailFormat(stored->u32(16));
                EXPECT_EQ(stored->u32(24), sizes.at(format.formatId));
                EXPECT_EQ(photoStringEncoding(stored->children.at(0)), 2U);
                if (!decoded.emplace(format.formatId, picture).second) {
                    continue;
                }
                const std::span<const std::uint8_t> slot = written.slot(*stored);
                const std::uint32_t rowBytes = stored->u32(24) / format.height;
                const std::uint32_t top = stored->u16(28);
                const std::uint32_t left = stored->u16(30);
                const std::uint32_t height = stored->u16(32);
                const std::uint32_t width = stored->u16(34);
                int mismatches = 0;
                for (std::uint32_t y = 0; y < format.height && mismatches < 3; ++y) {
                    for (std::uint32_t x = 0; x < format.width && mismatches < 3; ++x) {
                        const Rgb shown = decodeRgb565(slot, rowBytes, x, y);
                        const bool padding =
                            x < left || x >= left + width || y < top || y >= top + height;
                        if (shown != decodedColour(picture, format.formatId, x, y) ||
                            largestDifference(shown, pictureColour(picture, format.width,
                                                                   format.height, x, y)) > 15 ||
                            (padding && shown != kBlack)) {
                            ++mismatches;
                            ADD_FAILURE() << format.formatId << " (" << x << ", " << y << ")";
                        }
                    }
                }
                EXPECT_EQ(
                    decodeRgb565(slot, rowBytes, left + width / 2, top + height / 2) == kBlack,
                    picture == PhotoPicture::SolidBlack);
            }
        }
    }
    EXPECT_GT(decoded.size(), 40U);
    EXPECT_EQ(write(Model::Nano4G, 30).listedSlotSizes().at(1074), 5200U) << "padded rows";
    EXPECT_EQ(write(Model::Nano2G, 30).listedSlotSizes().at(1031), 3696U) << "padded rows";
}

TEST(ArtworkLayout, FilesHoldTheirSlotsBackToBackAndSplitBeforeTheLimit) {
    const std::uint64_t limit = 3 * 320 * 320 * 2 + 100;
    const WrittenArtwork written = write(Model::Classic, 600, ArtworkDamage::None, limit);
    std::map<FileKey, std::uint64_t> nextOffset;
    for (const ArtworkImage& art : written.image.artwork) {
        for (const ArtworkSlot& slot : art.thumbnails) {
            std::uint64_t& next = nextOffset[{slot.formatId, slot.fileNumber}];
            EXPECT_EQ(slot.offset, next) << slot.formatId << "_" << slot.fileNumber;
            next += slot.size;
        }
    }
    std::map<std::uint32_t, std::uint32_t> filesOfFormat;
    for (const auto& [key, bytes] : written.files) {
        EXPECT_EQ(bytes.size(), nextOffset.at(key));
        EXPECT_LE(bytes.size(), limit);
        EXPECT_EQ(key.second, ++filesOfFormat[key.first]) << "numbered without gaps";
    }
    EXPECT_GT(filesOfFormat.at(1060), 3U);
    EXPECT_LT(filesOfFormat.at(1061), filesOfFormat.at(1060)) << "small slots share files";
}

TEST(ArtworkLayout, HostileVariantsAreWhatTheySay) {
    const struct {
        ArtworkDamage damage;
        std::function<bool(const WrittenArtwork&)> holds;
    } cases[] = {
        {ArtworkDamage::UnknownImageId,
         [](const WrittenArtwork& w) {
             const auto images = w.images();
             return std::any_of(w.image.tracks.begin(), w.image.tracks.end(),
                                [](const Track& t) {
                                    return t.artworkId == kMissingImageId && t.artworkFlag == 1;
                                }) &&
                    std::none_of(images.begin(), images.end(), [](const Record* image) {
                        return image->u32(16) == kMissingImageId;
                    });
         }},
        {ArtworkDamage::ImageWithoutPicture,
         [](const WrittenArtwork& w) {
             return w.images().front()->children.empty() && w.images().front()->u32(12) == 0 &&
                    !w.images().back()->children.empty();
         }},
        {ArtworkDamage::UnknownFormat,
         [](const WrittenArtwork& w) {
             const Record& first = *storedPictures(*w.images().front()).front();
             return first.u32(16) == kUnknownArtworkFormat &&
                    w.listedSlotSizes().contains(kUnknownArtworkFormat) &&
                    w.slot(first).size() == first.u32(24);
         }},
        {ArtworkDamage::SlotPastEnd,
         [](const WrittenArtwork& w) {
             const Record& last = *storedPictures(*w.images().back()).front();
             return last.u32(20) == w.files.at({last.u32(16), 1}).size() && last.u32(24) > 0;
         }},
    };
    for (const auto& variant : cases) {
        const WrittenArtwork written = write(Model::Classic, 120, variant.damage);
        EXPECT_TRUE(written.tree.problems.empty());
        EXPECT_TRUE(variant.holds(written)) << static_cast<int>(variant.damage);
    }
}

TEST(ArtworkLayout, TheImageWriterWritesTheFilesAndLeavesOutTheMissingOne) {
    pelmar::test::TempFolder folder;
    Options options = optionsFor(Model::Nano5G);
    options.trackCount = 80;
    options.withMedia = false;
    options.artworkDamage = ArtworkDamage::MissingFile;
    const PlayerImage image = generatePlayerImage(options);
    std::string error;
    ASSERT_TRUE(writePlayerImage(image, folder.path(), options, error)) << error;
    const std::vector<std::uint8_t> database = artworkDatabaseBytes(image);
    EXPECT_TRUE(pelmar::test::readAll(artworkDatabasePath(folder.path())) ==
                std::string(database.begin(), database.end()));
    const std::span<const std::uint32_t> formats = playerModel(Model::Nano5G).artworkFormats;
    for (const std::uint32_t formatId : formats) {
        EXPECT_EQ(std::filesystem::exists(artworkFilePath(folder.path(), formatId, 1)),
                  formatId != formats.front())
            << formatId;
    }

    options.withArtwork = false;
    ASSERT_TRUE(writePlayerImage(generatePlayerImage(options), folder.path(), options, error));
    EXPECT_FALSE(std::filesystem::exists(artworkDatabasePath(folder.path()).parent_path()));
}

}  // namespace
}  // namespace pelmar::player_image::test
