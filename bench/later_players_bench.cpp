// Later players at the size of a large library, each figure against references measured in the
// same run:
// - the whole load of a player whose music database is compressed, against the load of the same
//   library kept uncompressed plus inflating the compressed stream alone (target 1.5 x);
// - the peak memory of that load, each load in a child process of its own, against twice the
//   uncompressed database's size plus the uncompressed load's own peak (target below 1);
// - merging a nano 7G's play database, a row for nearly every track, against the load of its
//   music database, which is compressed, and against reading an uncompressed one of the same
//   size (target 0.3 x).
// The players are written to temporary folders with PELMAR_BENCH_TRACKS tracks (100,000 by
// default), without media, photos or artwork, so that the music database is what is measured.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "library/compressed_database.h"
#include "library/music_database_reader.h"
#include "library/play_data_reader.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "player_image/player_image.h"
#include "times_reporter.h"
#include "util/progress_reporter.h"

namespace {

using pelmar::bench::TimesReporter;

namespace fs = std::filesystem;
namespace image = pelmar::player_image;

constexpr const char* kPeakLoadFlag = "--peak-load";

std::uint32_t trackCount() {
    const char* tracks = std::getenv("PELMAR_BENCH_TRACKS");
    return tracks != nullptr ? static_cast<std::uint32_t>(std::atoi(tracks)) : 100'000;
}

image::Options benchOptions(image::Model model) {
    image::Options options = image::optionsFor(model);
    options.trackCount = trackCount();
    options.withMedia = false;
    options.withPhotos = false;
    options.withArtwork = false;
    return options;
}

fs::path benchFolder(const std::string& name) {
    return fs::temp_directory_path() /
           ("pelmar-later-bench-" + name + "-" + std::to_string(trackCount()));
}

void write(const image::PlayerImage& player, const fs::path& root, const image::Options& options) {
    std::string error;
    if (!image::writePlayerImage(player, root, options, error)) {
        std::fprintf(stderr, "cannot write the bench player: %s\n", error.c_str());
        std::exit(1);
    }
}

struct Players {
    fs::path compressed;    // a nano 5G: iTunesCDB beside an empty iTunesDB
    fs::path uncompressed;  // the same library in a plain iTunesDB
    fs::path playData;      // a nano 7G, its plays in Dynamic.itdb
};

Players writePlayers() {
    Players players{benchFolder("compressed"), benchFolder("uncompressed"), benchFolder("nano7g")};
    image::Options options = benchOptions(image::Model::Nano5G);
    image::PlayerImage library = image::generatePlayerImage(options);
    write(library, players.compressed, options);
    // The nano 4G keeps the nano 5G's track records but no compressed database.
    library.model = image::Model::Nano4G;
    options.model = image::Model::Nano4G;
    write(library, players.uncompressed, options);

    const image::Options nano7g = benchOptions(image::Model::Nano7G);
    write(image::generatePlayerImage(nano7g), players.playData, nano7g);
    return players;
}

const Players& players() {
    static const Players written = writePlayers();
    return written;
}

void load(pelmar::PlayerLibrary& library, const fs::path& root) {
    pelmar::NullProgressReporter progress;
    pelmar::loadLibraryFromRoot(library, root.string(), progress);
}

void LoadUncompressed(benchmark::State& state) {
    for (auto _ : state) {
        pelmar::PlayerLibrary library;
        load(library, players().uncompressed);
        benchmark::DoNotOptimize(library.trackIds.data());
        state.counters["tracks"] = static_cast<double>(library.trackIds.size());
    }
}

void InflateStream(benchmark::State& state) {
    for (auto _ : state) {
        pelmar::NullProgressReporter progress;
        const std::optional<pelmar::InflatedDatabase> inflated =
            pelmar::inflatePlayerDatabase(players().compressed.string(), progress);
        if (!inflated || inflated->outcome.end != pelmar::ReadOutcome::End::EndOfData) {
            state.SkipWithError("the compressed database did not inflate");
            return;
        }
        state.counters["MB"] = static_cast<double>(inflated->bytes.size()) / 1e6;
    }
}

void LoadCompressed(benchmark::State& state) {
    for (auto _ : state) {
        pelmar::PlayerLibrary library;
        load(library, players().compressed);
        benchmark::DoNotOptimize(library.trackIds.data());
        state.counters["tracks"] = static_cast<double>(library.trackIds.size());
    }
}

void readMusicDatabase(benchmark::State& state, const fs::path& root) {
    for (auto _ : state) {
        pelmar::PlayerLibrary library;
        library.rootPath = root.string() + "/";
        pelmar::NullProgressReporter progress;
        (void)pelmar::readMusic(library, progress);
        benchmark::DoNotOptimize(library.trackIds.data());
    }
}

void ReadUncompressedMusicDatabase(benchmark::State& state) {
    readMusicDatabase(state, players().uncompressed);
}

// The nano 7G's own music database, compressed as on every nano 7G.
void ReadNano7GMusicDatabase(benchmark::State& state) {
    readMusicDatabase(state, players().playData);
}

void MergePlayData(benchmark::State& state) {
    pelmar::PlayerLibrary library;
    load(library, players().playData);
    std::size_t merged = 0;
    for (auto _ : state) {
        // Merging again sets the same values: every round does the whole work.
        const std::optional<pelmar::SqliteOutcome> outcome = pelmar::mergePlayerPlayData(library);
        if (!outcome || outcome->end != pelmar::SqliteOutcome::End::Read) {
            state.SkipWithError("the play database was not read");
            return;
        }
        merged = library.trackIds.size();
    }
    state.counters["tracks"] = static_cast<double>(merged);
}

BENCHMARK(LoadUncompressed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(InflateStream)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadCompressed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadUncompressedMusicDatabase)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadNano7GMusicDatabase)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MergePlayData)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peak resident memory in KiB of this program loading `root` in a child process, or none
// when the child could not run or failed. The child reports its own high-water mark: a child's
// rusage would also count what this process held when the child was started.
std::optional<long> peakLoadKib(const fs::path& root) {
    const std::string command = "'" + fs::read_symlink("/proc/self/exe").string() + "' " +
                                kPeakLoadFlag + " '" + root.string() + "'";
    std::FILE* child = ::popen(command.c_str(), "r");
    if (child == nullptr) {
        return std::nullopt;
    }
    long kib = -1;
    const bool read = std::fscanf(child, "%ld", &kib) == 1;
    if (::pclose(child) != 0 || !read) {
        return std::nullopt;
    }
    return kib;
}

// This process's peak resident memory in KiB, as the kernel counts it since the program started.
long ownPeakKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

void reportPeaks() {
    const std::optional<long> plain = peakLoadKib(players().uncompressed);
    const std::optional<long> compressed = peakLoadKib(players().compressed);
    if (!plain || !compressed) {
        std::printf("\nPeak memory: a child load failed\n");
        return;
    }
    const double databaseKib =
        static_cast<double>(fs::file_size(image::musicDatabasePath(players().uncompressed))) /
        1024.0;
    const double allowed = 2 * databaseKib + static_cast<double>(*plain);
    std::printf("\nPeak memory of the uncompressed load:  %7.1f MB (database %.1f MB)\n",
                static_cast<double>(*plain) / 1024.0, databaseKib / 1024.0);
    std::printf(
        "Peak memory of the compressed load:    %7.1f MB = %.2f x (2 x database + the "
        "uncompressed load's peak = %.1f MB)\n",
        static_cast<double>(*compressed) / 1024.0, static_cast<double>(*compressed) / allowed,
        allowed / 1024.0);
}

// Prints the usual table, then the ratios; with --benchmark_repetitions the median stands for a
// benchmark, since the machine's other work makes single runs wander.
class RatioReporter : public TimesReporter {
  public:
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto ms = [&](const char* name) { return seconds_[name] * 1e3; };
        if (ms("LoadUncompressed") > 0 && ms("InflateStream") > 0 && ms("LoadCompressed") > 0) {
            std::printf(
                "\nCompressed load %.1f ms against uncompressed load %.1f ms + inflating "
                "%.1f ms = %.2f x (target 1.5; in CPU time %.2f x)\n",
                ms("LoadCompressed"), ms("LoadUncompressed"), ms("InflateStream"),
                ratio(seconds_, "LoadCompressed", "LoadUncompressed", "InflateStream"),
                ratio(cpuSeconds_, "LoadCompressed", "LoadUncompressed", "InflateStream"));
        }
        for (const char* reference : {"ReadNano7GMusicDatabase", "ReadUncompressedMusicDatabase"}) {
            if (ms(reference) > 0 && ms("MergePlayData") > 0) {
                std::printf(
                    "Play data merge %.1f ms against %s %.1f ms = %.2f x (target 0.3; in "
                    "CPU time %.2f x)\n",
                    ms("MergePlayData"), reference, ms(reference),
                    ratio(seconds_, "MergePlayData", reference),
                    ratio(cpuSeconds_, "MergePlayData", reference));
            }
        }
    }

  private:
    // A measurement against the sum of its references.
    static double ratio(std::map<std::string, double>& times, const char* name,
                        const char* reference, const char* added = nullptr) {
        const double sum = times[reference] + (added != nullptr ? times[added] : 0);
        return sum > 0 ? times[name] / sum : 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kPeakLoadFlag) == 0) {
        pelmar::PlayerLibrary library;
        load(library, argv[2]);
        std::printf("%ld\n", ownPeakKib());
        return library.trackIds.empty() ? 1 : 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("Players: %s, %s and %s\n", players().compressed.c_str(),
                players().uncompressed.c_str(), players().playData.c_str());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reportPeaks();
    benchmark::Shutdown();
    return 0;
}
