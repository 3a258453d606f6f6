#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Writes complete player images: a music database, a play-count file, the media files and the
// photos (photo database and thumbnail files), with realistic libraries and the awkward cases
// real players hold. Used as test fixture, as the demo player and as benchmark input.
namespace pelmar::player_image {

struct Options {
    std::uint32_t trackCount = 200;  // 32-bit record lengths allow about two million
    std::uint64_t seed = 1;
    bool withMedia = true;
    std::uint32_t playCountEntryLength = 16;  // 12, 16, 20 and 28 occur on real players
    bool withPlayCounts = true;
    // One length for every track header, as in real databases: 584 now, 156 or 244 on older
    // ones. Fields beyond a shorter header (the media kind at +208) are not written.
    std::uint32_t trackHeaderLength = 584;
    // Some writers put the album list before the tracks; by default it comes after the playlists.
    bool albumsBeforeTracks = false;
    // Without photos there is no Photos folder at all.
    bool withPhotos = true;
    std::uint32_t photoCount = 12;  // at most kMostPhotos
    // Every media file this many bytes, for benchmarks; 0 gives each track a size of its own.
    std::uint32_t mediaSize = 0;
};

// Keeps every offset into the largest thumbnail file within 32 bits.
inline constexpr std::uint32_t kMostPhotos = 10'000;

// Header word +208 of a track.
namespace media_kind {
inline constexpr std::uint32_t audioUnmarked = 0;
inline constexpr std::uint32_t audio = 1;
inline constexpr std::uint32_t movie = 2;
inline constexpr std::uint32_t podcast = 4;
inline constexpr std::uint32_t videoPodcast = 6;
inline constexpr std::uint32_t audiobook = 8;
inline constexpr std::uint32_t musicVideo = 32;
inline constexpr std::uint32_t tvShow = 64;
}  // namespace media_kind

// Body word +0 of a track's string children.
enum class StringEncoding : std::uint32_t {
    Utf16Unmarked = 0,  // also UTF-16LE
    Utf16 = 1,
    Utf8 = 2,
};

struct Track {
    std::uint32_t id = 0;
    // UTF-8, exactly as intended; "" means the tag is absent (no string child is written).
    std::string title, artist, album, genre, composer;
    std::string fileTypeText;  // string type 6
    std::string location;      // ":iPod_Control:Music:F07:ABCD.mp3"
    std::string comment;       // string type 8, not read by the program
    std::string description;   // string type 14, podcasts only
    std::string enclosureUrl;  // type 15, raw UTF-8 without the string header
    std::string feedUrl;       // type 16, raw UTF-8 without the string header
    // The code 1..13 a correct reader derives: extension first, then the type text.
    std::uint8_t fileType = 2;
    std::uint32_t size = 0;  // bytes; also the length of the media file
    std::uint32_t lengthMs = 0;
    std::uint32_t trackNumber = 0;
    std::uint32_t albumTrackCount = 0;
    std::uint32_t year = 0;
    std::uint32_t bitrate = 0;  // kbit/s; 1 = variable
    std::uint32_t playCount = 0;
    std::uint32_t lastPlayed = 0;  // seconds since 1904; 0 = never played
    std::uint32_t dateAdded = 0;   // seconds since 1904
    std::uint8_t rating = 0;       // header +31, stars x 20
    std::uint8_t appRating = 0;    // header +121: the desktop application's copy, or 0
    std::uint16_t bpm = 0;
    std::uint32_t mediaKind = 1;  // 0 when the header is too short to hold it
    std::uint32_t headerLength = 584;
    StringEncoding stringEncoding = StringEncoding::Utf16;
};

struct PlayCountEntry {
    std::uint32_t plays = 0;       // since the last sync
    std::uint32_t lastPlayed = 0;  // seconds since 1904; 0 = not played since the last sync
    std::uint32_t bookmark = 0;
    std::uint8_t rating = 0;        // written only with entries of 16 bytes or more
    std::uint32_t skipCount = 0;    // written only with 28-byte entries
    std::uint32_t lastSkipped = 0;  // written only with 28-byte entries
};

struct Playlist {
    std::string name;
    std::vector<std::uint32_t> items;  // track ids in playlist order; every id exists
    // Rule children (types 50 and 51) that readers skip; such playlists carry no items here.
    bool smart = false;
};

// What a photo shows, drawn afresh for each thumbnail size.
enum class PhotoPicture : std::uint8_t {
    SolidRed,
    SolidGreen,
    SolidBlue,
    SolidWhite,
    SolidBlack,
    MidGrey,             // 128, 128, 128
    VerticalGradient,    // grey: black on the top line, white on the bottom one
    HorizontalGradient,  // red rising from 0 to 255 left to right, green falling, blue 128
    Panorama,            // yellow, three times as wide as high: centred between black rows
};

struct ThumbnailRef {
    std::uint32_t formatId = 0;
    std::uint32_t offset = 0;  // in the format's thumbnail file; a multiple of its byte size
    std::uint32_t size = 0;    // as the database states it: the format's byte size
};

struct Photo {
    std::uint32_t id = 0;
    std::uint32_t createdTime = 0;   // seconds since 1904; 0 on some photos
    std::uint32_t modifiedTime = 0;  // seconds since 1904; 0 on some photos
    PhotoPicture picture = PhotoPicture::SolidRed;
    // Database order, each of another format. At most four, except on one photo that has five,
    // of which readers keep the first four.
    std::vector<ThumbnailRef> thumbnails;
};

struct PhotoAlbum {
    std::string name;                     // UTF-8; "" when the album has no name object
    std::vector<std::uint32_t> photoIds;  // album order; every id exists
    bool hasNameObject = true;
    // Zero bytes after the name beyond the padding to a multiple of four, within the name
    // object's length but not its stated string length.
    std::uint32_t extraNamePadding = 0;
};

// One thumbnail format the writer writes: those of the program's table and 1066, which the
// program does not know. Pixels are 16 bits: RGB 5-6-5, or shared-chroma YUV in two fields.
struct ThumbnailFormat {
    std::uint32_t formatId = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool bigEndian = false;  // RGB formats only
    bool interlacedYuv = false;

    [[nodiscard]] std::uint32_t byteSize() const { return width * height * 2; }
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

struct PlayerImage {
    std::vector<Track> tracks;        // database order
    std::vector<Playlist> playlists;  // dataset type 2; the master, listing every track, first
    std::vector<Playlist> podcastPlaylists;  // dataset type 3, one per show
    std::vector<PlayCountEntry> playCounts;  // one per track, database order
    bool albumsBeforeTracks = false;         // see Options
    std::vector<Photo> photos;               // database order; empty without photos
    // The master album, listing every photo in database order, first; empty without photos.
    std::vector<PhotoAlbum> photoAlbums;
};

// Deterministic: the same options give the same image on every platform and library version.
// Throws std::invalid_argument for a track header length that is not a multiple of 4 from 156
// to 1024, or for more than kMostPhotos photos.
[[nodiscard]] PlayerImage generatePlayerImage(const Options& options);

[[nodiscard]] std::vector<std::uint8_t> musicDatabaseBytes(const PlayerImage& image);

// Fields that do not fit an entry are left out. Throws std::invalid_argument below 12 bytes.
[[nodiscard]] std::vector<std::uint8_t> playCountBytes(const PlayerImage& image,
                                                       std::uint32_t entryLength);

// The deterministic content of a track's media file: `track.size` bytes, starting with a
// plausible signature for its extension.
[[nodiscard]] std::vector<std::uint8_t> mediaFileBytes(const Track& track);

// "mhfd" with the image list, the albums and the list of thumbnail formats.
[[nodiscard]] std::vector<std::uint8_t> photoDatabaseBytes(const PlayerImage& image);

// The thumbnails of one format, back to back at the offsets the photos give; empty for a format
// no photo has. Throws std::invalid_argument when two of them overlap.
[[nodiscard]] std::vector<std::uint8_t> thumbnailFileBytes(const PlayerImage& image,
                                                           std::uint32_t formatId);

// nullptr for a format the writer does not write.
[[nodiscard]] const ThumbnailFormat* thumbnailFormat(std::uint32_t formatId);

// The colour the photo's picture has at (x, y) when drawn into a thumbnail of width x height,
// black in the padding. Throws std::invalid_argument for a point outside it.
[[nodiscard]] Rgb intendedColour(const Photo& photo, std::uint32_t width, std::uint32_t height,
                                 std::uint32_t x, std::uint32_t y);

// Exactly what a correct decoder of the written thumbnail in that format shows at (x, y), (x, y)
// on the displayed picture (for the interlaced format, y is the display line). Throws
// std::invalid_argument for a format the writer does not write or a point outside it.
[[nodiscard]] Rgb decodedColour(const Photo& photo, std::uint32_t formatId, std::uint32_t x,
                                std::uint32_t y);

[[nodiscard]] std::filesystem::path musicDatabasePath(const std::filesystem::path& root);
[[nodiscard]] std::filesystem::path playCountPath(const std::filesystem::path& root);
// Where a track's media file lives under root: its location with ":" as folder separator.
[[nodiscard]] std::filesystem::path mediaFilePath(const std::filesystem::path& root,
                                                  const Track& track);

[[nodiscard]] std::filesystem::path photoDatabasePath(const std::filesystem::path& root);
// Photos/Thumbs/F<formatId>_1.ithmb
[[nodiscard]] std::filesystem::path thumbnailFilePath(const std::filesystem::path& root,
                                                      std::uint32_t formatId);

// Writes the whole image under root, creating root if needed. Without play counts, a play-count
// file left from an earlier image is removed; the Photos folder is always written afresh, and
// without photos removed. Returns false with a message on failure.
bool writePlayerImage(const PlayerImage& image, const std::filesystem::path& root,
                      const Options& options, std::string& error);

}  // namespace pelmar::player_image
