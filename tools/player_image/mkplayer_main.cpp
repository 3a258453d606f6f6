#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include <CLI/CLI.hpp>

#include "player_image/player_image.h"

namespace {

using namespace pelmar::player_image;

constexpr std::uint32_t kMostTracks = 1'000'000;

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
        took.count(),
        static_cast<std::uintmax_t>(std::filesystem::file_size(musicDatabasePath(folder))));
    return 0;
}

int run(int argc, char** argv) {
    CLI::App app{
        "Writes a player image into FOLDER: music database, play counts, media files and photos, "
        "with a realistic library and the awkward cases real players hold.",
        "pelmar-mkplayer"};
    Options options;
    std::string folder;
    bool noMedia = false;
    bool noPlayCounts = false;
    bool noPhotos = false;
    app.add_option("--tracks", options.trackCount, "Number of tracks")
        ->capture_default_str()
        ->check(CLI::Range(0U, kMostTracks));
    app.add_option("--seed", options.seed, "Seed; the same seed gives the same image")
        ->capture_default_str();
    app.add_flag("--no-media", noMedia, "Write no media files");
    app.add_option("--media-size", options.mediaSize,
                   "Bytes of every media file (default: a size of its own for each track)");
    app.add_option("--play-count-entry-length", options.playCountEntryLength,
                   "Bytes per play-count entry")
        ->capture_default_str()
        ->check(CLI::IsMember({12, 16, 20, 28}));
    app.add_flag("--no-play-counts", noPlayCounts, "Write no play-count file");
    app.add_option("--track-header-length", options.trackHeaderLength,
                   "Bytes per track header, shared by all tracks")
        ->capture_default_str()
        ->check(CLI::IsMember({156, 244, 584}));
    app.add_flag("--albums-first", options.albumsBeforeTracks,
                 "Put the album list before the tracks, as some writers do");
    app.add_option("--photos", options.photoCount, "Number of photos")
        ->capture_default_str()
        ->check(CLI::Range(0U, kMostPhotos));
    app.add_flag("--no-photos", noPhotos, "Write no photo database and no thumbnails");
    app.add_option("FOLDER", folder, "Where to write the image; created if missing")->required();
    CLI11_PARSE(app, argc, argv);
    options.withMedia = !noMedia;
    options.withPlayCounts = !noPlayCounts;
    options.withPhotos = !noPhotos;
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
