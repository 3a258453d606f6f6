#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>

#include "backup/album_cover_files.h"
#include "backup/backup_options.h"
#include "backup/destination_naming.h"
#include "backup/transfer_snapshot.h"
#include "backup/transfer_worker.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "photos/stored_jpeg.h"
#include "player_image/player_image.h"
#include "support/fake_itunes.h"
#include "support/library_builder.h"
#include "support/temp_folder.h"
#include "util/progress_reporter.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
namespace pi = player_image;

constexpr std::string_view kByAlbum = "Artist\\Album\\";
constexpr std::string_view kFileTemplate = "Track# - Title.ext";

std::optional<RgbImage> decodedFile(const fs::path& path) {
    const std::string bytes = test::readAll(path);
    return decodeJpegStream(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 1U << 24);
}

int channelDistance(pi::Rgb a, pi::Rgb b) {
    return std::max({std::abs(a.red - b.red), std::abs(a.green - b.green),
                     std::abs(a.blue - b.blue)});
}

// The largest channel error of `saved` against the picture as `formatId` holds it, `saved` being
// the part centred in the format (a cover is cut out of its padding). Points next to an edge
// between the picture's colours are passed over, as JPEG promises nothing there.
int largestColourError(const RgbImage& saved, pi::PhotoPicture picture, std::uint32_t formatId) {
    const pi::ThumbnailFormat& format = *pi::thumbnailFormat(formatId);
    const std::uint32_t left = (format.width - saved.width) / 2;
    const std::uint32_t top = (format.height - saved.height) / 2;
    const auto source = [&](std::uint32_t x, std::uint32_t y) {
        return pi::decodedColour(picture, formatId, left + x, top + y);
    };
    const std::uint32_t margin = pi::kJpegEdgeMargin;
    const std::uint32_t stepX = std::max(1U, saved.width / 16);
    const std::uint32_t stepY = std::max(1U, saved.height / 16);
    int largest = 0;
    for (std::uint32_t y = margin; y + margin < saved.height; y += stepY) {
        for (std::uint32_t x = margin; x + margin < saved.width; x += stepX) {
            const pi::Rgb wanted = source(x, y);
            const bool nearEdge = std::ranges::any_of(
                std::initializer_list<pi::Rgb>{source(x - margin, y), source(x + margin, y),
                                               source(x, y - margin), source(x, y + margin)},
                [&](pi::Rgb near) { return channelDistance(near, wanted) > 32; });
            if (nearEdge) {
                continue;
            }
            const std::size_t at = (std::size_t{y} * saved.width + x) * 3;
            largest = std::max(largest, channelDistance({saved.pixels[at], saved.pixels[at + 1],
                                                         saved.pixels[at + 2]},
                                                        wanted));
        }
    }
    return largest;
}

// A player of one kind as the writer makes it, loaded, and backed up into a folder of its own.
class WrittenPlayer {
  public:
    explicit WrittenPlayer(pi::Model model, bool withOriginals = false) {
        pi::Options options = pi::optionsFor(model);
        options.trackCount = 40;
        options.photoCount = 6;
        options.withOriginals = withOriginals;
        image = pi::generatePlayerImage(options);
        std::string error;
        EXPECT_TRUE(pi::writePlayerImage(image, root(), options, error)) << error;
        fs::create_directories(backup());
    }

    [[nodiscard]] fs::path root() const { return folder.path() / "player"; }
    [[nodiscard]] fs::path backup() const { return folder.path() / "backup"; }

    TransferResult backUp(std::string_view folderTemplate, std::string_view existHandling,
                          bool saveArtwork = true) {
        NullProgressReporter progress;
        loadLibraryFromRoot(library, root().string(), progress);
        TransferOptions settings;
        settings.destinationFolder = backup().string();
        settings.folderTemplate = folderTemplate;
        settings.fileTemplate = kFileTemplate;
        settings.existHandling = existHandling;
        settings.saveArtwork = saveArtwork ? 1 : 0;
        std::vector<KernelId> tracks(library.trackIds.size());
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            tracks[i].id = library.trackIds[i];
        }
        std::vector<KernelId> photos(image.photos.size());
        for (std::size_t i = 0; i < photos.size(); ++i) {
            photos[i].id = image.photos[i].id;
        }
        TransferControl control;
        TransferSnapshot observer;
        test::FakeITunes itunes;
        TransferJob job{library, tracks, {},       photos,  {},
                        settings, "",    control,  observer, itunes};
        control.state.store(TransferState::Running);
        return TransferWorker(job);
    }

    // Where the track is copied to, its tag texts cut where the path would be too long.
    [[nodiscard]] fs::path trackCopy(std::uint32_t trackId, std::string_view folderTemplate) {
        for (const bool shorten : {false, true}) {
            const DestinationFolder place =
                BuildDestinationFolder(library, trackId, folderTemplate, kFileTemplate, shorten);
            const fs::path copy =
                backup() / (place.folderPath + place.fileBase + "." + place.extension);
            if (copy.string().size() <= 255 || shorten) {
                return copy;
            }
        }
        return {};
    }

    [[nodiscard]] bool copied(std::uint32_t trackId, std::string_view folderTemplate) {
        return fs::exists(trackCopy(trackId, folderTemplate));
    }

    [[nodiscard]] fs::path trackFolder(std::uint32_t trackId, std::string_view folderTemplate) {
        return trackCopy(trackId, folderTemplate).parent_path();
    }

    // The picture each track with artwork shows.
    [[nodiscard]] std::map<std::uint32_t, pi::PhotoPicture> artworkOfTracks() const {
        std::map<std::uint32_t, pi::PhotoPicture> pictures;
        for (const pi::ArtworkImage& art : image.artwork) {
            for (const std::uint32_t trackId : art.trackIds) {
                pictures.emplace(trackId, art.picture);
            }
        }
        return pictures;
    }

    // The photo's file in the backup folder: "<date> - <id><extension>".
    [[nodiscard]] fs::path photoFile(const pi::Photo& photo, std::string_view extension) const {
        const std::string ending = " - " + std::to_string(photo.id) + std::string(extension);
        for (const auto& entry : fs::directory_iterator(backup())) {
            if (entry.path().filename().string().ends_with(ending)) {
                return entry.path();
            }
        }
        return {};
    }

    test::TempFolder folder;
    pi::PlayerImage image;
    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
};

TEST(AlbumCoverBackup, HoldsEachAlbumsCoverTheLargestPhotosAndTheOriginals) {
    const struct {
        pi::Model model;
        std::uint32_t largestArtwork;
        std::uint32_t largestPhoto;
        bool originals;
    } players[] = {
        {pi::Model::Classic, 1060, 1067, true},
        {pi::Model::Nano4G, 1071, 1081, false},
        {pi::Model::Nano5G, 1073, 1081, false},
        {pi::Model::Video5G, 1029, 1019, true},
    };
    for (const auto& kind : players) {
        const std::string name(pi::playerModel(kind.model).name);
        WrittenPlayer player(kind.model, kind.originals);
        // An original the database names but the player lacks leaves the photo to a thumbnail.
        const pi::Photo& lostOriginal = player.image.photos.front();
        if (kind.originals) {
            ASSERT_FALSE(lostOriginal.original.empty()) << name;
            fs::remove(pi::originalPhotoPath(player.root(), lostOriginal));
        }
        const TransferResult result = player.backUp(kByAlbum, kExistDoNotCopy);

        // The first copied track with artwork in each folder decides its cover.
        const std::map<std::uint32_t, pi::PhotoPicture> artwork = player.artworkOfTracks();
        std::map<fs::path, std::optional<pi::PhotoPicture>> folders;
        for (const std::uint32_t trackId : player.library.trackIds) {
            if (!player.copied(trackId, kByAlbum)) {
                continue;
            }
            auto& cover = folders[player.trackFolder(trackId, kByAlbum)];
            if (const auto found = artwork.find(trackId); !cover && found != artwork.end()) {
                cover = found->second;
            }
        }
        std::uint32_t withCover = 0;
        for (const auto& [folder, picture] : folders) {
            const fs::path cover = folder / "cover.jpg";
            ASSERT_EQ(fs::exists(cover), picture.has_value()) << name << " " << cover;
            if (!picture) {
                continue;
            }
            ++withCover;
            const std::optional<RgbImage> saved = decodedFile(cover);
            ASSERT_TRUE(saved.has_value()) << name << " " << cover;
            // Cut out of its padding, a cover keeps the largest picture's width or height.
            const pi::ThumbnailFormat& largest = *pi::thumbnailFormat(kind.largestArtwork);
            EXPECT_TRUE(saved->width == largest.width || saved->height == largest.height)
                << name << " " << cover << ": " << saved->width << " x " << saved->height;
            EXPECT_LE(largestColourError(*saved, *picture, kind.largestArtwork),
                      pi::kJpegTolerance)
                << name << " " << cover;
        }
        EXPECT_EQ(result.covers, withCover) << name;
        EXPECT_LT(withCover, folders.size()) << name << ": some album has no artwork";

        for (const pi::Photo& photo : player.image.photos) {
            if (!photo.original.empty() && &photo != &lostOriginal) {
                const fs::path copy = player.photoFile(photo, ".JPG");
                const std::vector<std::uint8_t> original = pi::originalPhotoBytes(photo);
                EXPECT_EQ(test::readAll(copy), std::string(original.begin(), original.end()))
                    << name << " " << photo.id;
                continue;
            }
            const std::optional<RgbImage> saved = decodedFile(player.photoFile(photo, ".jpg"));
            ASSERT_TRUE(saved.has_value()) << name << " " << photo.id;
            const pi::ThumbnailFormat& largest = *pi::thumbnailFormat(kind.largestPhoto);
            EXPECT_EQ(saved->width, largest.width) << name;
            EXPECT_EQ(saved->height, largest.height) << name;
            EXPECT_LE(largestColourError(*saved, photo.picture, kind.largestPhoto),
                      pi::kJpegTolerance)
                << name << " " << photo.id;
        }
    }
}

TEST(AlbumCoverBackup, ExistingCoversAreKeptUnlessTheRuleIsOverwrite) {
    const struct {
        std::string_view rule;
        bool replaced;
    } rules[] = {
        {kExistDoNotCopy, false},
        {kExistCopyToNewName, false},
        {kExistOverwrite, true},
    };
    for (const auto& c : rules) {
        WrittenPlayer player(pi::Model::Classic);
        const std::uint32_t first = player.backUp(kByAlbum, kExistDoNotCopy).covers;
        ASSERT_GT(first, 0u);
        std::vector<fs::path> covers;
        for (const auto& entry : fs::recursive_directory_iterator(player.backup())) {
            if (entry.path().filename() == "cover.jpg") {
                test::writeFile(entry.path(), {'o', 'l', 'd'});
                covers.push_back(entry.path());
            }
        }
        const TransferResult again = player.backUp(kByAlbum, c.rule);
        EXPECT_EQ(again.covers, c.replaced ? first : 0u) << c.rule;
        for (const fs::path& cover : covers) {
            EXPECT_EQ(test::readAll(cover) != "old", c.replaced) << c.rule << " " << cover;
            EXPECT_FALSE(fs::exists(cover.parent_path() / "cover (copy 1).jpg")) << c.rule;
        }
    }
}

TEST(AlbumCoverBackup, WithTheOptionOffNoCoverIsWritten) {
    WrittenPlayer player(pi::Model::Nano4G);
    EXPECT_EQ(player.backUp(kByAlbum, kExistDoNotCopy, false).covers, 0u);
    for (const auto& entry : fs::recursive_directory_iterator(player.backup())) {
        if (entry.path().parent_path() != player.backup()) {
            EXPECT_NE(entry.path().extension(), ".jpg") << entry.path();
        }
    }
}

TEST(AlbumCoverBackup, FoldersOfSeveralAlbumsNameEachCoverAfterItsAlbum) {
    WrittenPlayer player(pi::Model::Video5G);
    const std::string_view byArtist = "Artist\\";
    const TransferResult result = player.backUp(byArtist, kExistDoNotCopy);
    std::set<fs::path> expected;
    for (const auto& [trackId, picture] : player.artworkOfTracks()) {
        if (player.copied(trackId, byArtist)) {
            TrackInfo info;
            player.library.getTrackInfo(trackId, info);
            const TextCodec& codec = player.library.codec();
            const fs::path folder = player.trackFolder(trackId, byArtist);
            std::string album = CleanNameField(info.album, codec);
            if ((folder / (album + ".jpg")).string().size() > 255) {
                album.resize(codec.wholeCharacterPrefix(album, kShortenedFieldBytes));
            }
            expected.insert(folder / (album + ".jpg"));
        }
    }
    std::set<fs::path> saved;
    for (const auto& entry : fs::recursive_directory_iterator(player.backup())) {
        if (entry.path().extension() == ".jpg" && entry.path().parent_path() != player.backup()) {
            saved.insert(entry.path());
        }
    }
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(result.covers, expected.size());
}

TEST(AlbumCoverPath, FollowsTheFolderTemplateAndCleansTheAlbumName) {
    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    const std::string longAlbum(300, 'x');
    const struct {
        std::string album;
        std::string_view folderTemplate;
        std::string cover;
    } cases[] = {
        {"Blue", "Artist\\Album\\", "/b/Art/Blue/cover.jpg"},
        {"Blue", "Artist - Album\\", "/b/Art/Blue/cover.jpg"},
        {"Blue", "Composer\\Album\\", "/b/Art/Blue/cover.jpg"},
        {"Blue", "Artist\\", "/b/Art/Blue/Blue.jpg"},
        {"Live: 1999?", "Genre\\Artist\\", "/b/Art/Blue/Live 1999.jpg"},
        {"a/b\\c", "[ No subfolders ]", "/b/Art/Blue/abc.jpg"},
        {"", "Composer\\", "/b/Art/Blue/Unknown.jpg"},
        {longAlbum, "Artist\\", "/b/Art/Blue/" + longAlbum.substr(0, kShortenedFieldBytes) + ".jpg"},
    };
    std::uint32_t id = 1;
    for (const auto& c : cases) {
        test::Tags tags;
        tags.artist = "Art";
        tags.album = c.album;
        test::addTrack(library, id, tags);
        EXPECT_EQ(albumCoverPath(library, id, c.folderTemplate, "/b/Art/Blue/01 - One.mp3"),
                  c.cover)
            << c.album << " " << c.folderTemplate;
        ++id;
    }
}

}  // namespace
}  // namespace pelmar
