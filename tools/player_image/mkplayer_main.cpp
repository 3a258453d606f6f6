#include <chrono>
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "player_image/player_image.h"

namespace {

using namespace pelmar::player_image;

constexpr std::uint32_t kMostTracks = 1'000'000;

template <typename Enum>
using Names = std::map<std::string, Enum>;

const Names<CompressedPresence> kPresences{{"written", CompressedPresence::Written},
                                           {"missing", CompressedPresence::Missing},
                                           {"empty", CompressedPresence::Empty}};
const Names<CompressedDamage> kCompressedDamages{{"none", CompressedDamage::None},
                                                 {"truncated", CompressedDamage::Truncated},
                                                 {"wrong-header", CompressedDamage::WrongHeader},
                                                 {"bomb", CompressedDamage::Bomb}};
const Names<SqliteDamage> kSqliteDamages{{"none", SqliteDamage::None},
                                         {"missing-tables", SqliteDamage::MissingTables},
                                         {"missing-columns", SqliteDamage::MissingColumns},
                                         {"not-sqlite", SqliteDamage::NotSqlite},
                                         {"journal", SqliteDamage::Journal},
                                         {"unknown-ids", SqliteDamage::UnknownIds}};
const Names<OnTheGoDamage> kOnTheGoDamages{{"none", OnTheGoDamage::None},
                                           {"index-past-end", OnTheGoDamage::IndexPastEnd},
                                           {"short-file", OnTheGoDamage::ShortFile}};
const Names<ArtworkDamage> kArtworkDamages{
    {"none", ArtworkDamage::None},
    {"unknown-image-id", ArtworkDamage::UnknownImageId},
    {"image-without-picture", ArtworkDamage::ImageWithoutPicture},
    {"unknown-format", ArtworkDamage::UnknownFormat},
    {"slot-past-end", ArtworkDamage::SlotPastEnd},
    {"missing-file", ArtworkDamage::MissingFile}};

// The music database's size: the compressed one where the empty iTunesDB stands beside it.
std::uintmax_t databaseSize(const std::string& folder) {
    std::error_code ignored;
    const std::uintmax_t plain = std::filesystem::file_size(musicDatabasePath(folder), ignored);
    const std::uintmax_t compressed =
        std::filesystem::file_size(compressedDatabasePath(folder), ignored);
    return plain != 0 || compressed == static_cast<std::uintmax_t>(-1) ? plain : compressed;
}

int writeImage(const Options& options, const std::string& folder) {
    const auto started = std::chrono::steady_clock::now();
    const PlayerImage image = generatePlayerImage(options);
    std::string error;
    if (!writePlayerImage(image, folder, options, error)) {
        std::fprintf(stderr, "pelmar-mkplayer: %s\n", error.c_str());
        return 1;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::printf(
        "Wrote %zu tracks, %zu playlists and %zu photos to %s in %.1f s (database %ju bytes)\n",
        image.tracks.size(), image.playlists.size(), image.photos.size(), folder.c_str(),
        took.count(), databaseSize(folder));
    return 0;
}

std::vector<std::string> modelNames() {
    std::vector<std::string> names;
    for (const PlayerModel& model : playerModels()) {
        names.emplace_back(model.name);
    }
    return names;
}

int run(int argc, char** argv) {
    CLI::App app{
        "Writes a player image into FOLDER: music database, play counts, media files, photos and, "
        "for later models, artwork and their other databases, with a realistic library and the "
        "awkward cases real players hold.",
        "pelmar-mkplayer"};
    Options given;
    std::string model = "mixed";
    std::string folder;
    bool noMedia = false;
    bool noPlayCounts = false;
    bool noPhotos = false;
    bool noArtwork = false;
    bool noSysInfo = false;
    app.add_option("--model", model, "Kind of player")
        ->capture_default_str()
        ->check(CLI::IsMember(modelNames()));
    app.add_option("--tracks", given.trackCount, "Number of tracks")
        ->capture_default_str()
        ->check(CLI::Range(0U, kMostTracks));
    app.add_option("--seed", given.seed, "Seed; the same seed gives the same image")
        ->capture_default_str();
    app.add_flag("--no-media", noMedia, "Write no media files");
    app.add_option("--media-size", given.mediaSize,
                   "Bytes of every media file (default: a size of its own for each track)");
    app.add_option("--play-count-entry-length", given.playCountEntryLength,
                   "Bytes per play-count entry")
        ->capture_default_str()
        ->check(CLI::IsMember({12, 16, 20, 28}));
    app.add_flag("--no-play-counts", noPlayCounts, "Write no play-count file");
    CLI::Option* headerLength =
        app.add_option("--track-header-length", given.trackHeaderLength,
                       "Bytes per track header, shared by all tracks (default: the model's)")
            ->check(CLI::IsMember({156, 244, 328, 388, 584}));
    app.add_flag("--albums-first", given.albumsBeforeTracks,
                 "Put the album list before the tracks, as some writers do");
    app.add_option("--photos", given.photoCount, "Number of photos")
        ->capture_default_str()
        ->check(CLI::Range(0U, kMostPhotos));
    app.add_flag("--no-photos", noPhotos, "Write no photo database and no thumbnails");
    app.add_flag("--originals", given.withOriginals,
                 "Write full-resolution originals of the photos (models that hold them)");
    app.add_flag("--no-artwork", noArtwork, "Write no artwork database");
    app.add_option("--thumbnail-file-limit", given.thumbnailFileLimit,
                   "Bytes an artwork thumbnail file may reach before the next one begins")
        ->capture_default_str();
    app.add_flag("--no-sysinfo", noSysInfo, "Write no SysInfo file");
    app.add_option("--on-the-go", given.onTheGoCount, "Number of on-the-go playlist files")
        ->capture_default_str();
    app.add_option("--compressed-database", given.compressedPresence,
                   "Whether a nano 6G/7G keeps iTunesCDB: written, missing or empty")
        ->transform(CLI::CheckedTransformer(kPresences));
    app.add_option("--damage-compressed", given.compressedDamage, "Damage to iTunesCDB")
        ->transform(CLI::CheckedTransformer(kCompressedDamages));
    app.add_option("--damage-sqlite", given.sqliteDamage, "Damage to the SQLite databases")
        ->transform(CLI::CheckedTransformer(kSqliteDamages));
    app.add_option("--damage-on-the-go", given.onTheGoDamage, "Damage to the on-the-go files")
        ->transform(CLI::CheckedTransformer(kOnTheGoDamages));
    app.add_option("--damage-artwork", given.artworkDamage, "Damage to the artwork")
        ->transform(CLI::CheckedTransformer(kArtworkDamages));
    app.add_option("FOLDER", folder, "Where to write the image; created if missing")->required();
    CLI11_PARSE(app, argc, argv);

    Options options = given;
    const Options modelDefaults = optionsFor(findPlayerModel(model)->model);
    options.model = modelDefaults.model;
    if (headerLength->count() == 0) {
        options.trackHeaderLength = modelDefaults.trackHeaderLength;
    }
    options.withMedia = !noMedia;
    options.withPlayCounts = modelDefaults.withPlayCounts && !noPlayCounts;
    options.withPhotos = !noPhotos;
    options.withArtwork = !noArtwork;
    options.withSysInfo = !noSysInfo;
    return writeImage(options, folder);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pelmar-mkplayer: %s\n", failure.what());
        return 1;
    }
}
