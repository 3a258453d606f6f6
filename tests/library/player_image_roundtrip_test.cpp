// Players written by the image writer, read back whole: every intended tag and counter must come
// out of the loaders as the writer meant it.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "library/player_library.h"
#include "library/player_loader.h"
#include "player_image/player_image.h"
#include "support/temp_folder.h"
#include "util/progress_reporter.h"
#include "util/utf8.h"

namespace pelmar {
namespace {

namespace image = player_image;

std::string cut(const std::string& text, std::size_t capacity) {
    return text.substr(0, utf8::wholeCharPrefix(text, capacity));
}

struct Loaded {
    image::PlayerImage written;
    LoadReport report;
};

Loaded writeAndLoad(PlayerLibrary& library, const image::Options& options) {
    test::TempFolder folder;
    Loaded loaded{image::generatePlayerImage(options), {}};
    std::string error;
    if (!image::writePlayerImage(loaded.written, folder.path(), options, error)) {
        ADD_FAILURE() << error;
        return loaded;
    }
    NullProgressReporter progress;
    loaded.report = loadLibraryFromRoot(library, folder.path().string(), progress);
    return loaded;
}

void expectTracksAsWritten(const PlayerLibrary& library, const image::PlayerImage& written,
                           const image::Options& options) {
    std::vector<std::uint32_t> ids;
    std::vector<std::uint32_t> videos;
    int podcasts = 0;
    for (std::size_t i = 0; i < written.tracks.size(); ++i) {
        const image::Track& want = written.tracks[i];
        ids.push_back(want.id);
        const std::uint32_t kind = options.trackHeaderLength > 208 ? want.mediaKind : 0;
        videos.insert(videos.end(), media_kind::isVideo(kind) ? 1 : 0, want.id);
        podcasts += kind == media_kind::kPodcast ? 1 : 0;

        const MhTrackData* got = library.findTrack(want.id);
        ASSERT_NE(got, nullptr) << want.id;
        SCOPED_TRACE(want.location);
        EXPECT_EQ(got->title, cut(want.title, 256));
        EXPECT_EQ(got->artist, cut(want.artist, 256));
        EXPECT_EQ(got->album, cut(want.album, 256));
        EXPECT_EQ(got->genre, cut(want.genre, 256));
        EXPECT_EQ(got->composer, cut(want.composer, 256));
        EXPECT_EQ(got->location, cut(want.location, 260));
        EXPECT_EQ(got->fileType, want.fileType);
        EXPECT_EQ(got->size, want.size);
        EXPECT_EQ(got->lengthMs, want.lengthMs);
        EXPECT_EQ(got->trackNumber, want.trackNumber);
        EXPECT_EQ(got->year, want.year);
        EXPECT_EQ(got->bitrate, want.bitrate);
        EXPECT_EQ(got->bpm, want.bpm > 999 ? 0 : want.bpm);
        EXPECT_EQ(got->mediaKind, kind);

        const image::PlayCountEntry entry =
            options.withPlayCounts ? written.playCounts[i] : image::PlayCountEntry{};
        EXPECT_EQ(got->playCount, want.playCount + entry.plays);
        EXPECT_EQ(got->lastPlayed, entry.lastPlayed != 0 ? entry.lastPlayed : want.lastPlayed);
        const bool entryRated = options.withPlayCounts && options.playCountEntryLength >= 16;
        const std::uint8_t rating = entryRated ? entry.rating : want.rating;
        EXPECT_EQ(got->rating, rating > 100 ? 0 : rating);
    }
    EXPECT_EQ(library.trackIds, ids);
    EXPECT_EQ(library.videoIds, videos);
    EXPECT_EQ(library.podcastCount, podcasts);
}

void expectPlaylistsAsWritten(PlayerLibrary& library, const image::PlayerImage& written) {
    ASSERT_FALSE(written.playlists.empty());
    ASSERT_EQ(library.playlistNames.size(), written.playlists.size());
    EXPECT_EQ(library.playlistNames[0], written.playlists[0].name);
    std::multiset<std::string> wantNames;
    std::map<std::string, std::vector<std::uint32_t>> wantItems;
    for (const image::Playlist& p : written.playlists) {
        wantNames.insert(cut(p.name, 1023));
        wantItems[cut(p.name, 1023)] = p.items;
    }
    EXPECT_EQ(
        std::multiset<std::string>(library.playlistNames.begin(), library.playlistNames.end()),
        wantNames);
    KernelId playlist;
    std::size_t listed = 0;
    for (int more = library.firstSortedPlaylist(playlist); more != 0;
         more = library.nextSortedPlaylist(playlist)) {
        ++listed;
        const std::string name = library.playlistName(playlist);
        std::vector<std::uint32_t> items;
        KernelId item;
        for (int found = library.firstPlaylistItem(playlist, item); found != 0;
             found = library.nextPlaylistItem(playlist, item)) {
            items.push_back(item.id);
        }
        EXPECT_EQ(items, wantItems[name]) << name;
    }
    EXPECT_EQ(listed, written.playlists.size() - 1);
}

void expectIndicesAsWritten(const PlayerLibrary& library, const image::PlayerImage& written) {
    std::set<std::string> artists;
    std::set<std::string> composers;
    for (const image::Track& t : written.tracks) {
        if (!t.artist.empty()) {
            artists.insert(cut(t.artist, 256));
        }
        if (!t.composer.empty()) {
            composers.insert(cut(t.composer, 256));
        }
    }
    const auto& names = library.indices;
    EXPECT_EQ(std::set<std::string>(names.artistNames.begin(), names.artistNames.end()), artists);
    EXPECT_EQ(names.artistNames.size(), artists.size());
    EXPECT_EQ(std::set<std::string>(names.composerNames.begin(), names.composerNames.end()),
              composers);
}

void expectPhotosAsWritten(PlayerLibrary& library, const image::PlayerImage& written) {
    ASSERT_EQ(library.images.size(), written.photos.size());
    for (const image::Photo& photo : written.photos) {
        const ImageData& got = library.images.at(photo.id);
        EXPECT_EQ(got.createdTime, photo.createdTime);
        EXPECT_EQ(got.modifiedTime, photo.modifiedTime);
        for (std::size_t slot = 0; slot < kThumbnailSlots; ++slot) {
            const bool used = slot < photo.thumbnails.size();
            EXPECT_EQ(got.thumbFormat[slot], used ? photo.thumbnails[slot].formatId : 0);
            EXPECT_EQ(got.thumbOffset[slot], used ? photo.thumbnails[slot].offset : 0);
            EXPECT_EQ(got.thumbSize[slot], used ? photo.thumbnails[slot].size : 0);
        }
    }
    ASSERT_EQ(library.photoAlbumNames.size(), written.photoAlbums.size());
    for (std::size_t i = 0; i < written.photoAlbums.size(); ++i) {
        const image::PhotoAlbum& want = written.photoAlbums[i];
        const std::string name =
            i == 0 ? std::string("(All Photos)") : (want.hasNameObject ? want.name : "");
        EXPECT_EQ(library.photoAlbumNames[i], name) << i;
        std::size_t later = i;
        for (std::size_t k = i + 1; k < written.photoAlbums.size(); ++k) {
            const image::PhotoAlbum& other = written.photoAlbums[k];
            if ((other.hasNameObject ? other.name : "") == name) {
                later = k;
            }
        }
        KernelId album;
        album.id = static_cast<std::uint32_t>(i);
        std::vector<std::uint32_t> items;
        KernelId item;
        for (int more = library.firstPhotoAlbumItem(album, item); more != 0;
             more = library.nextPhotoAlbumItem(album, item)) {
            items.push_back(item.id);
        }
        EXPECT_EQ(items, written.photoAlbums[later].photoIds) << name;
    }
}

TEST(PlayerImageRoundTrip, SmallHostileImageReadsBackAsWritten) {
    for (const std::uint64_t seed : {1U, 2U, 3U}) {
        const TextCodec codec("UTF-8");
        PlayerLibrary library(codec);
        image::Options options;
        options.trackCount = 60;
        options.seed = seed;
        options.withMedia = false;
        const Loaded loaded = writeAndLoad(library, options);
        ASSERT_TRUE(loaded.report.music.has_value());
        EXPECT_EQ(loaded.report.music->end, ReadOutcome::End::EndOfData);
        expectTracksAsWritten(library, loaded.written, options);
        expectPlaylistsAsWritten(library, loaded.written);
        expectIndicesAsWritten(library, loaded.written);
        ASSERT_TRUE(loaded.report.photos.has_value());
        EXPECT_EQ(loaded.report.photos->end, ReadOutcome::End::EndOfData);
        expectPhotosAsWritten(library, loaded.written);
    }
}

TEST(PlayerImageRoundTrip, ManyPhotosReadBackAsWritten) {
    const TextCodec codec("UTF-8");
    PlayerLibrary library(codec);
    image::Options options;
    options.trackCount = 10;
    options.photoCount = 300;
    options.withMedia = false;
    const Loaded loaded = writeAndLoad(library, options);
    expectPhotosAsWritten(library, loaded.written);
}

TEST(PlayerImageRoundTrip, EveryPlayCountEntryLengthMergesAsWritten) {
    for (const std::uint32_t length : {12U, 16U, 20U, 28U}) {
        const TextCodec codec("UTF-8");
        PlayerLibrary library(codec);
        image::Options options;
        options.trackCount = 80;
        options.seed = 5;
        options.withMedia = false;
        options.playCountEntryLength = length;
        const Loaded loaded = writeAndLoad(library, options);
        SCOPED_TRACE(length);
        expectTracksAsWritten(library, loaded.written, options);
    }
}

TEST(PlayerImageRoundTrip, OlderHeadersAndOtherDatasetOrdersReadAsWritten) {
    for (const std::uint32_t header : {156U, 244U}) {
        const TextCodec codec("UTF-8");
        PlayerLibrary library(codec);
        image::Options options;
        options.trackCount = 40;
        options.withMedia = false;
        options.trackHeaderLength = header;
        options.albumsBeforeTracks = true;
        options.withPlayCounts = false;
        const Loaded loaded = writeAndLoad(library, options);
        SCOPED_TRACE(header);
        EXPECT_FALSE(loaded.report.playCounts.has_value());
        expectTracksAsWritten(library, loaded.written, options);
        expectPlaylistsAsWritten(library, loaded.written);
    }
}

TEST(PlayerImageRoundTrip, LargeImageReadsWhole) {
    const TextCodec codec("UTF-8");
    PlayerLibrary library(codec);
    image::Options options;
    options.trackCount = 5000;
    options.seed = 77;
    options.withMedia = false;
    const Loaded loaded = writeAndLoad(library, options);
    expectTracksAsWritten(library, loaded.written, options);
    expectPlaylistsAsWritten(library, loaded.written);
    expectIndicesAsWritten(library, loaded.written);
}

}  // namespace
}  // namespace pelmar
