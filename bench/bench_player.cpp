#include "bench_player.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "player_image/player_image.h"

namespace pelmar::bench {

std::filesystem::path benchPlayerRoot(std::string_view name) {
    if (const char* given = std::getenv("PELMAR_BENCH_PLAYER"); given != nullptr) {
        return given;
    }
    const char* tracks = std::getenv("PELMAR_BENCH_TRACKS");
    player_image::Options options;
    options.trackCount =
        tracks != nullptr ? static_cast<std::uint32_t>(std::atoi(tracks)) : 100'000;
    options.withMedia = false;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("pelmar-" + std::string(name) + "-" + std::to_string(options.trackCount));
    std::string error;
    if (!player_image::writePlayerImage(player_image::generatePlayerImage(options), folder, options,
                                        error)) {
        std::fprintf(stderr, "cannot write the bench player: %s\n", error.c_str());
        std::exit(1);
    }
    return folder;
}

}  // namespace pelmar::bench
