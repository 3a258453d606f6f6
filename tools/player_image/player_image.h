#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Writes complete player images: a music database, a play-count file, the media files and the
// photos (photo database and thumbnail files), with realistic libraries and the awkward cases
// real players hold. Used as test fixture, as the demo player and as benchmark input.
namespace pelmar::player_image {

// The kind of player an image comes from. Mixed is the image the writer has always written:
// the photo formats of several device families at once, an uncompressed database, no artwork and
// no device identity. The others are what each generation's players hold.
enum class Model : std::uint8_t {
    Mixed,
    Photo,  // the 4G photo/colour player
    Video5G,
    Video55G,
    Nano2G,
    Classic,
    Nano3G,
    Nano4G,
    Nano5G,
    Nano6G,
    Nano7G,
};

// Whether the compressed database of the nano 6G and 7G is there beside their SQLite files.
enum class CompressedPresence {
    Written,
    Missing,  // no iTunesCDB at all; the SQLite files are the only music database
    Empty,    // an iTunesCDB of 0 bytes
};

// Damage a test can ask for, one kind per family of files; None writes what a healthy player
// holds. Each damages exactly what its comment says and leaves everything else as it would be.
enum class CompressedDamage {
    None,
    // The file ends halfway through the zlib stream; +8 still states the whole length.
    Truncated,
    // The two zlib header bytes fail their check (CMF 0x78, FLG 0x00); the rest is intact.
    WrongHeader,
    // After the datasets the stream goes on with zero bytes until it has inflated to
    // kBombInflatedSize bytes, a few megabytes on disk; it is a well-formed stream throughout.
    Bomb,
};
inline constexpr std::uint64_t kBombInflatedSize = std::uint64_t{5} << 30;

enum class SqliteDamage {
    None,
    // Library.itdb has no genre_map and no item_to_container, Dynamic.itdb no item_stats.
    MissingTables,
    // item lacks composer and year, item_stats lacks bookmark_time_ms, location lacks file_size.
    MissingColumns,
    // Library.itdb holds 8 KiB that are not an SQLite database; the other files are healthy.
    NotSqlite,
    // Dynamic.itdb-journal beside Dynamic.itdb: a hot rollback journal, left by a player unplugged
    // while it recorded plays, whose rollback would bring back the play data of the music
    // database. Dynamic.itdb itself holds the newest data, as without damage.
    Journal,
    // Rows for pids no item has in item_to_container, location and item_stats, besides the
    // healthy rows (kUnknownPids of each).
    UnknownIds,
};
inline constexpr std::size_t kUnknownPids = 3;

enum class OnTheGoDamage {
    None,
    // The first file's last entry is the track count: one past the end of the track list.
    IndexPastEnd,
    // The last file stops two entries before the end its header's count gives.
    ShortFile,
};

enum class ArtworkDamage {
    None,
    // The tracks of the first album with shared artwork name (+352) kMissingImageId, which no
    // image has; they still say they have artwork (+164 = 1).
    UnknownImageId,
    // The first image has no stored picture at all: no "mhod" children.
    ImageWithoutPicture,
    // The first image holds one more picture, first among its children, in kUnknownArtworkFormat,
    // which the file list names and whose file exists.
    UnknownFormat,
    // The last image's slot in the model's first artwork format lies past the end of its file:
    // the file stops where that slot would begin.
    SlotPastEnd,
    // The first file of the model's first artwork format is not written.
    MissingFile,
};
inline constexpr std::uint32_t kMissingImageId = 0xDEAD;
inline constexpr std::uint32_t kUnknownArtworkFormat = 1999;

struct Options {
    std::uint32_t trackCount = 200;  // 32-bit record lengths allow about two million
    std::uint64_t seed = 1;
    bool withMedia = true;
    std::uint32_t playCountEntryLength = 16;  // 12, 16, 20 and 28 occur on real players
    bool withPlayCounts = true;
    // One length for every track header, as in real databases: 584 now, 156 or 244 on older
    // ones. Fields beyond a shorter header (the media kind at +208) are not written.
    // optionsFor() gives each model's own.
    std::uint32_t trackHeaderLength = 584;
    // Some writers put the album list before the tracks; by default it comes after the playlists.
    bool albumsBeforeTracks = false;
    // Without photos there is no Photos folder at all.
    bool withPhotos = true;
    std::uint32_t photoCount = 12;  // at most kMostPhotos
    // Every media file this many bytes, for benchmarks; 0 gives each track a size of its own.
    std::uint32_t mediaSize = 0;

    Model model = Model::Mixed;
    // The artwork database and its thumbnail files, on models that have artwork formats.
    bool withArtwork = true;
    // Artwork thumbnail files are split into F<id>_2.ithmb, ... before they would pass this.
    std::uint64_t thumbnailFileLimit = std::uint64_t{256} << 20;
    // Full-resolution originals of the photos; only on models that offer them.
    bool withOriginals = false;
    // iPod_Control/Device/SysInfo, on every model but Mixed.
    bool withSysInfo = true;
    // How many on-the-go playlist files.
    std::uint32_t onTheGoCount = 0;
    // On the nano 6G and 7G; the others have a compressed database or none.
    CompressedPresence compressedPresence = CompressedPresence::Written;
    CompressedDamage compressedDamage = CompressedDamage::None;
    SqliteDamage sqliteDamage = SqliteDamage::None;
    OnTheGoDamage onTheGoDamage = OnTheGoDamage::None;
    ArtworkDamage artworkDamage = ArtworkDamage::None;
};

// What a generation's players hold.
struct PlayerModel {
    Model model = Model::Mixed;
    std::string_view name;              // as --model takes it: "nano7g"
    std::uint16_t usbProductId = 0;     // vendor 05ac, disk mode; 0 for Mixed
    std::string_view modelNumber;       // SysInfo's ModelNumStr; "" for Mixed
    std::uint32_t databaseVersion = 0;  // "mhbd" +16
    std::uint32_t databaseHeaderLength = 0;
    std::uint32_t trackHeaderLength = 0;
    std::span<const std::uint32_t> photoFormats;    // empty for Mixed, which mixes families
    std::span<const std::uint32_t> artworkFormats;  // empty: no artwork database
    bool compressedDatabase = false;                // iTunesCDB beside an empty iTunesDB
    bool sqliteDatabases = false;                   // iTunes Library.itlp
    bool fullResolutionPhotos = false;              // originals can be copied to it
};

[[nodiscard]] std::span<const PlayerModel> playerModels();
[[nodiscard]] const PlayerModel& playerModel(Model model);
// nullptr for a name no model has.
[[nodiscard]] const PlayerModel* findPlayerModel(std::string_view name);
// A healthy image of the model: its track header length, and no play-count file on the players
// that record plays in Dynamic.itdb.
[[nodiscard]] Options optionsFor(Model model);

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
    // +112: the id the player's other databases know the track by (artwork +20, SQLite pid).
    std::uint64_t databaseId = 0;
    std::uint32_t artworkId = 0;   // +352, in headers that reach it; 0 = none named
    std::uint8_t artworkFlag = 0;  // +164: 1 has artwork, 2 has none; 0 on players without
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
    TopAndBottom,        // orange on the top half, blue on the bottom half: shows orientation
    Portrait,            // cyan, two thirds as wide as high: centred between black columns
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
    std::uint8_t rating = 0;  // +32, stars x 20; written by later models only
    // The original's path relative to Photos/ (":Full Resolution:2005:08:06:IMG_3609.JPG");
    // "" for a photo without one.
    std::string original;
};

struct PhotoAlbum {
    std::string name;                     // UTF-8; "" when the album has no name object
    std::vector<std::uint32_t> photoIds;  // album order; every id exists
    bool hasNameObject = true;
    // Zero bytes after the name beyond the padding to a multiple of four, within the name
    // object's length but not its stated string length.
    std::uint32_t extraNamePadding = 0;
};

// How a thumbnail format stores its pixels.
enum class PixelCoding : std::uint8_t {
    Rgb565Little,   // red in bits 15-11, green 10-5, blue 4-0, row by row
    Rgb565Big,      // the same, each pixel big-endian
    InterlacedYuv,  // U Y0 V Y1 for two pixels; the even display lines first, then the odd ones
    PlanarYuv420,   // the Y plane, then U and V at half width and height; the rest of the slot zero
    Jpeg,           // a baseline JPEG stream from the slot's start, zero bytes after its end
};

// One thumbnail format the writer writes, for photos or artwork: those of the program's table,
// those of later players, and 1066, which the program's table lacks.
struct ThumbnailFormat {
    std::uint32_t formatId = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    PixelCoding coding = PixelCoding::Rgb565Little;
    std::uint32_t rowPadding = 0;  // zero bytes after each row of an RGB format

    [[nodiscard]] std::uint32_t rowBytes() const { return width * 2 + rowPadding; }
    // The slot: what every picture of the format takes in its file.
    [[nodiscard]] std::uint32_t byteSize() const { return rowBytes() * height; }
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// A row of Dynamic.itdb's item_stats: what the player recorded after the music database was
// written. Times count seconds since 2001-01-01 UTC.
struct TrackStats {
    bool hasRow = true;  // a few tracks have none
    std::uint32_t playCount = 0;
    std::uint32_t lastPlayed = 0;  // 0 = never
    std::uint32_t skipCount = 0;
    std::uint32_t lastSkipped = 0;  // 0 = never
    std::uint32_t bookmarkMs = 0;
    std::uint8_t rating = 0;  // 0-100
};

// Where one stored size of an artwork image lies.
struct ArtworkSlot {
    std::uint32_t formatId = 0;
    std::uint32_t fileNumber = 1;  // iPod_Control/Artwork/F<formatId>_<fileNumber>.ithmb
    std::uint32_t offset = 0;      // within that file
    std::uint32_t size = 0;        // the format's slot size
};

struct ArtworkImage {
    std::uint32_t id = 0;
    std::uint64_t trackDatabaseId = 0;  // +20: the database id of the first track it belongs to
    PhotoPicture picture = PhotoPicture::SolidRed;
    std::vector<ArtworkSlot> thumbnails;  // one per artwork format of the model, in its order
    std::vector<std::uint32_t> trackIds;  // the tracks that show it, in database order
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

    Model model = Model::Mixed;
    // One per track, database order, on players with SQLite databases; empty on the others.
    std::vector<TrackStats> trackStats;
    // Each on-the-go playlist file's entries: indices into `tracks`.
    std::vector<std::vector<std::uint32_t>> onTheGoPlaylists;
    std::vector<ArtworkImage> artwork;                  // database order; empty without artwork
    ArtworkDamage artworkDamage = ArtworkDamage::None;  // as generated; see Options
    std::string firewireGuid;                           // SysInfo's "0x000A2700..."
};

// Deterministic: the same options give the same image on every platform and library version.
// Throws std::invalid_argument for a track header length that is not a multiple of 4 from 156
// to 1024, for more than kMostPhotos photos, for originals or a database presence the model does
// not offer, or for a thumbnail file limit smaller than the largest artwork slot.
[[nodiscard]] PlayerImage generatePlayerImage(const Options& options);

[[nodiscard]] std::vector<std::uint8_t> musicDatabaseBytes(const PlayerImage& image);

// iTunesCDB: the "mhbd" header as stored, then the datasets as one zlib stream, with the damage
// asked for. In memory; the image writer streams the same bytes to the file. A bomb of another
// inflated size is for tests that inflate it to its end.
[[nodiscard]] std::vector<std::uint8_t> compressedDatabaseBytes(
    const PlayerImage& image, CompressedDamage damage,
    std::uint64_t bombInflatedSize = kBombInflatedSize);

// The 64-bit id of the playlist at `position` of PlayerImage::playlists: "mhyp" +28 and the
// SQLite container pid.
[[nodiscard]] std::uint64_t playlistDatabaseId(std::size_t position);

// The on-the-go playlist file at `index` of PlayerImage::onTheGoPlaylists.
[[nodiscard]] std::vector<std::uint8_t> onTheGoBytes(const PlayerImage& image, std::size_t index,
                                                     OnTheGoDamage damage);

// iPod_Control/Device/SysInfo; "" for Mixed, which has none.
[[nodiscard]] std::string sysInfoText(const PlayerImage& image);

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

// "mhfd" of the artwork: images with their slots, an empty album list and the formats in use.
[[nodiscard]] std::vector<std::uint8_t> artworkDatabaseBytes(const PlayerImage& image);

// One artwork thumbnail file: the slots that name it, back to back. Empty for a file no slot
// names; a file the damage cuts short stops where it says.
[[nodiscard]] std::vector<std::uint8_t> artworkFileBytes(const PlayerImage& image,
                                                         std::uint32_t formatId,
                                                         std::uint32_t fileNumber);

// The original behind a photo's full-resolution path: a baseline JPEG of its picture whose
// comment names the photo, so that no two originals are alike. Empty without an original.
[[nodiscard]] std::vector<std::uint8_t> originalPhotoBytes(const Photo& photo);
inline constexpr std::uint32_t kOriginalWidth = 1024;
inline constexpr std::uint32_t kOriginalHeight = 768;

// nullptr for a format the writer does not write.
[[nodiscard]] const ThumbnailFormat* thumbnailFormat(std::uint32_t formatId);

// The colour a picture has at (x, y) when drawn into width x height, black in the padding.
// Throws std::invalid_argument for a point outside it.
[[nodiscard]] Rgb pictureColour(PhotoPicture picture, std::uint32_t width, std::uint32_t height,
                                std::uint32_t x, std::uint32_t y);

// The colour the photo's picture has at (x, y) when drawn into a thumbnail of width x height,
// black in the padding. Throws std::invalid_argument for a point outside it.
[[nodiscard]] Rgb intendedColour(const Photo& photo, std::uint32_t width, std::uint32_t height,
                                 std::uint32_t x, std::uint32_t y);

// Exactly what a correct decoder of the written thumbnail in that format shows at (x, y), (x, y)
// on the displayed picture (for the interlaced format, y is the display line). Throws
// std::invalid_argument for a format the writer does not write or a point outside it.
[[nodiscard]] Rgb decodedColour(const Photo& photo, std::uint32_t formatId, std::uint32_t x,
                                std::uint32_t y);
// The same for any picture, in photo and artwork formats alike. Exact for the RGB formats and
// for planar YUV decoded as BT.601 limited range with each chroma sample covering its 2 x 2
// pixels; for JPEG the intended colour, which a decoder reaches within decodeTolerance().
[[nodiscard]] Rgb decodedColour(PhotoPicture picture, std::uint32_t formatId, std::uint32_t x,
                                std::uint32_t y);

// How far on any channel a correct decoder may stray from decodedColour(): 0 for RGB and planar
// YUV, kJpegTolerance for JPEG at points at least kJpegEdgeMargin pixels from the edges between
// the picture's colours (its halves, its padding); next to those edges JPEG promises nothing.
[[nodiscard]] int decodeTolerance(std::uint32_t formatId);
inline constexpr int kJpegTolerance = 8;
inline constexpr std::uint32_t kJpegEdgeMargin = 8;

[[nodiscard]] std::filesystem::path musicDatabasePath(const std::filesystem::path& root);
[[nodiscard]] std::filesystem::path playCountPath(const std::filesystem::path& root);
// Where a track's media file lives under root: its location with ":" as folder separator.
[[nodiscard]] std::filesystem::path mediaFilePath(const std::filesystem::path& root,
                                                  const Track& track);

[[nodiscard]] std::filesystem::path photoDatabasePath(const std::filesystem::path& root);
// Photos/Thumbs/F<formatId>_1.ithmb
[[nodiscard]] std::filesystem::path thumbnailFilePath(const std::filesystem::path& root,
                                                      std::uint32_t formatId);

[[nodiscard]] std::filesystem::path compressedDatabasePath(const std::filesystem::path& root);
// iPod_Control/iTunes/iTunes Library.itlp, holding Library.itdb, Locations.itdb, Dynamic.itdb
// and Extras.itdb.
[[nodiscard]] std::filesystem::path sqliteFolderPath(const std::filesystem::path& root);
// OTGPlaylistInfo for index 0, then OTGPlaylistInfo_1, ...
[[nodiscard]] std::filesystem::path onTheGoPath(const std::filesystem::path& root,
                                                std::size_t index);
[[nodiscard]] std::filesystem::path sysInfoPath(const std::filesystem::path& root);
[[nodiscard]] std::filesystem::path artworkDatabasePath(const std::filesystem::path& root);
[[nodiscard]] std::filesystem::path artworkFilePath(const std::filesystem::path& root,
                                                    std::uint32_t formatId,
                                                    std::uint32_t fileNumber);
// Photos/Full Resolution/2005/08/06/IMG_3609.JPG for the photo's original.
[[nodiscard]] std::filesystem::path originalPhotoPath(const std::filesystem::path& root,
                                                      const Photo& photo);

// Writes the whole image under root, creating root if needed. Without play counts, a play-count
// file left from an earlier image is removed; the Photos folder, the artwork folder, the SQLite
// folder, the on-the-go files and the compressed database are always written afresh or removed.
// Returns false with a message on failure.
bool writePlayerImage(const PlayerImage& image, const std::filesystem::path& root,
                      const Options& options, std::string& error);

}  // namespace pelmar::player_image
