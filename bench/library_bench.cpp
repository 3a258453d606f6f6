// Loading and searching a large player, each measured against reading the music database file
// into memory once, in the same run. The player comes from PELMAR_BENCH_PLAYER, or is written to
// a temporary folder (PELMAR_BENCH_TRACKS tracks, 100,000 by default).
//
// The load is also measured against a second reference: the music database reader alone, over
// the same bytes already in memory. That is the core of every load, without the file reads, the
// play counts, the photos, the indices, the search text and the sorting; the ratio shows how
// much the rest of the load adds to decoding the database, whatever the machine's disk and page
// cache do to the file read.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_player.h"
#include "library/music_database_reader.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "library/track_search.h"
#include "times_reporter.h"
#include "util/byte_source.h"
#include "util/progress_reporter.h"

namespace {

using pelmar::bench::TimesReporter;

namespace fs = std::filesystem;

const fs::path& playerRoot() {
    static const fs::path root = pelmar::bench::benchPlayerRoot("bench");
    return root;
}

fs::path databasePath() {
    return playerRoot() / "iPod_Control" / "iTunes" / "iTunesDB";
}

void ReadDatabaseFile(benchmark::State& state) {
    const fs::path path = databasePath();
    std::vector<char> bytes(fs::file_size(path));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void ReadMusicDatabaseInMemory(benchmark::State& state) {
    const fs::path path = databasePath();
    std::vector<std::uint8_t> bytes(fs::file_size(path));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    for (auto _ : state) {
        auto library = std::make_unique<pelmar::PlayerLibrary>();
        pelmar::MemoryByteSource source(bytes);
        pelmar::NullProgressReporter progress;
        (void)pelmar::readMusicDatabase(*library, source, progress);
        benchmark::DoNotOptimize(library->trackIds.data());
        state.PauseTiming();
        library.reset();
        state.ResumeTiming();
    }
}

// From nothing to a library ready to show. Freeing it afterwards is timed on its own below: a
// user waits for the load, and the program frees a library only when the player goes away.
void LoadLibrary(benchmark::State& state) {
    for (auto _ : state) {
        auto library = std::make_unique<pelmar::PlayerLibrary>();
        pelmar::NullProgressReporter progress;
        pelmar::loadLibraryFromRoot(*library, playerRoot().string(), progress);
        benchmark::DoNotOptimize(library->trackIds.data());
        state.counters["tracks"] = static_cast<double>(library->trackIds.size());
        state.PauseTiming();
        library.reset();
        state.ResumeTiming();
    }
}

void FreeLibrary(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto library = std::make_unique<pelmar::PlayerLibrary>();
        pelmar::NullProgressReporter progress;
        pelmar::loadLibraryFromRoot(*library, playerRoot().string(), progress);
        state.ResumeTiming();
        library.reset();
    }
}

void SearchTwoLetters(benchmark::State& state) {
    pelmar::PlayerLibrary library;
    pelmar::NullProgressReporter progress;
    pelmar::loadLibraryFromRoot(library, playerRoot().string(), progress);
    std::size_t found = 0;
    for (auto _ : state) {
        found = pelmar::searchTracks(library, "an").size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}

// In milliseconds of real time, the fastest repetition kept beside the median.
void timed(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->ComputeStatistics("min", pelmar::bench::fastest);
}

BENCHMARK(ReadDatabaseFile)->Apply(timed);
BENCHMARK(ReadMusicDatabaseInMemory)->Apply(timed);
BENCHMARK(LoadLibrary)->Apply(timed);
BENCHMARK(FreeLibrary)->Apply(timed);
BENCHMARK(SearchTwoLetters)->Apply(timed);

// Prints the usual table, then each measurement as a multiple of the file read, and the load as a
// multiple of the reader alone: once for the medians, and with repetitions once more for the
// fastest repetition of each.
class RatioReporter : public TimesReporter {
  public:
    void Finalize() override {
        ConsoleReporter::Finalize();
        printRatios("Median", seconds_);
        printRatios("Fastest", fastestSeconds_);
    }

  private:
    static void printRatios(const char* which, std::map<std::string, double>& seconds) {
        const double reference = seconds["ReadDatabaseFile"];
        if (reference <= 0) {
            return;
        }
        std::printf("\n%s: reading the %.1f MB database once: %.1f ms\n", which,
                    static_cast<double>(fs::file_size(databasePath())) / 1e6, reference * 1e3);
        for (const char* name :
             {"ReadMusicDatabaseInMemory", "LoadLibrary", "FreeLibrary", "SearchTwoLetters"}) {
            if (seconds.contains(name)) {
                std::printf("%-25s %8.1f ms = %5.2f x the file read\n", name, seconds[name] * 1e3,
                            seconds[name] / reference);
            }
        }
        const double reader = seconds["ReadMusicDatabaseInMemory"];
        if (reader > 0 && seconds.contains("LoadLibrary")) {
            std::printf("%-25s %8.1f ms = %5.2f x the reader alone in memory\n", "LoadLibrary",
                        seconds["LoadLibrary"] * 1e3, seconds["LoadLibrary"] / reader);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("Player: %s\n", playerRoot().c_str());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
