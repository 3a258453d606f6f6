#include "cover_bench_player.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "player_image/player_image.h"

namespace pelmar::bench {

namespace {

namespace fs = std::filesystem;
namespace image = player_image;

void fail(const std::string& what) {
    std::fprintf(stderr, "cannot write the cover bench player: %s\n", what.c_str());
    std::exit(1);
}

}  // namespace

fs::path artworkFolderOf(const fs::path& root) {
    return image::artworkDatabasePath(root).parent_path();
}

fs::path coverBenchPlayerRoot() {
    const char* tracks = std::getenv("PELMAR_BENCH_TRACKS");
    image::Options options = image::optionsFor(image::Model::Classic);
    options.trackCount =
        tracks != nullptr ? static_cast<std::uint32_t>(std::atoi(tracks)) : 100'000;
    options.withMedia = false;
    options.withPhotos = false;
    const fs::path root = fs::temp_directory_path() /
                          ("pelmar-gui-covers-" + std::to_string(options.trackCount));
    const image::PlayerImage player = image::generatePlayerImage(options);
    // The music database names the artwork; the artwork itself is written below.
    options.withArtwork = false;
    std::string error;
    if (!image::writePlayerImage(player, root, options, error)) {
        fail(error);
    }
    fs::create_directories(artworkFolderOf(root));
    {
        const std::vector<std::uint8_t> database = image::artworkDatabaseBytes(player);
        std::ofstream out(image::artworkDatabasePath(root), std::ios::binary);
        out.write(reinterpret_cast<const char*>(database.data()),
                  static_cast<std::streamsize>(database.size()));
        if (!out) {
            fail("ArtworkDB");
        }
    }
    std::map<fs::path, std::uintmax_t> fileSizes;
    for (const image::ArtworkImage& art : player.artwork) {
        for (const image::ArtworkSlot& slot : art.thumbnails) {
            std::uintmax_t& size =
                fileSizes[image::artworkFilePath(root, slot.formatId, slot.fileNumber)];
            size = std::max<std::uintmax_t>(size, std::uintmax_t{slot.offset} + slot.size);
        }
    }
    for (const auto& [path, size] : fileSizes) {
        std::ofstream(path, std::ios::binary).close();
        std::error_code failed;
        fs::resize_file(path, size, failed);
        if (failed) {
            fail(path.string() + ": " + failed.message());
        }
    }
    return root;
}

}  // namespace pelmar::bench
