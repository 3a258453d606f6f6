#include "player_image/music_database.h"

#include "player_image/album_records.h"
#include "player_image/playlist_records.h"
#include "player_image/record_writer.h"
#include "player_image/track_records.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kDatasetHeaderLength = 96;
// Set in the header of a database that is stored compressed.
constexpr std::size_t kCompressedMark = 0xA8;
constexpr std::uint32_t kDatasetCount = 4;
constexpr std::uint64_t kDatabaseId = 0x5E1A7A11D0C0FFEEULL;

enum DatasetType : std::uint32_t {
    kTracks = 1,
    kPlaylists = 2,
    kPodcastPlaylists = 3,
    kAlbums = 4
};

void writeDataset(ByteSink& sink, const PlayerImage& image, DatasetType type,
                  ChildWriter& children) {
    RecordHeader header("mhsd", kDatasetHeaderLength);
    header.set32(12, type);
    const std::uint64_t start = openRecord(sink, header);
    switch (type) {
        case kTracks:
            writeTrackList(sink, image.tracks, children);
            break;
        case kPlaylists:
            writePlaylistList(sink, image.playlists, &image.tracks, children);
            break;
        case kPodcastPlaylists:
            writePlaylistList(sink, image.podcastPlaylists, nullptr, children);
            break;
        case kAlbums:
            writeAlbumList(sink, image.tracks, children);
            break;
    }
    closeRecord(sink, start);
}

}  // namespace

void writeMusicDatabase(ByteSink& sink, const PlayerImage& image) {
    const PlayerModel& model = playerModel(image.model);
    RecordHeader header("mhbd", model.databaseHeaderLength);
    header.set32(12, model.compressedDatabase ? 2 : 1);
    header.set32(16, model.databaseVersion);
    header.set32(20, kDatasetCount);
    header.set64(24, kDatabaseId);
    header.set8(kCompressedMark, model.compressedDatabase ? 1 : 0);
    const std::uint64_t start = openRecord(sink, header);

    ChildWriter children;
    if (image.albumsBeforeTracks) {
        writeDataset(sink, image, kAlbums, children);
    }
    writeDataset(sink, image, kTracks, children);
    writeDataset(sink, image, kPodcastPlaylists, children);
    writeDataset(sink, image, kPlaylists, children);
    if (!image.albumsBeforeTracks) {
        writeDataset(sink, image, kAlbums, children);
    }
    closeRecord(sink, start);
}

std::vector<std::uint8_t> musicDatabaseBytes(const PlayerImage& image) {
    MemorySink sink;
    writeMusicDatabase(sink, image);
    return sink.take();
}

}  // namespace pelmar::player_image
