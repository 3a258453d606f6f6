// Expanding a large player into a backup selection, and listing all its songs, each measured
// against loading the library in the same run. The player comes from PELMAR_BENCH_PLAYER, or is
// written to a temporary folder (PELMAR_BENCH_TRACKS tracks, 100,000 by default).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backup/backup_selection.h"
#include "bench_player.h"
#include "library/node_model.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "library/track_search.h"
#include "platform/volume_space.h"
#include "times_reporter.h"
#include "util/progress_reporter.h"

namespace {

using pelmar::bench::TimesReporter;

namespace fs = std::filesystem;

const fs::path& playerRoot() {
    static const fs::path root = pelmar::bench::benchPlayerRoot("selection-bench");
    return root;
}

// One loaded library for the measurements that only read it, with a search already run.
struct LoadedPlayer {
    LoadedPlayer() {
        pelmar::NullProgressReporter progress;
        pelmar::loadLibraryFromRoot(library, playerRoot().string(), progress);
        searchResults = pelmar::searchTracks(library, "an");
    }

    pelmar::PlayerLibrary library;
    std::vector<std::uint32_t> searchResults;
    pelmar::NodeSource source{library, searchResults, pelmar::volumeSpace};
};

LoadedPlayer& loadedPlayer() {
    static LoadedPlayer player;
    return player;
}

std::unique_ptr<pelmar::NodeData> rootNode(pelmar::NodeSource& source) {
    std::vector<std::unique_ptr<pelmar::NodeData>> nodes;
    pelmar::BuildChildNodes(source, nullptr, nodes);
    return std::move(nodes.front());
}

void LoadLibrary(benchmark::State& state) {
    for (auto _ : state) {
        pelmar::PlayerLibrary library;
        pelmar::NullProgressReporter progress;
        pelmar::loadLibraryFromRoot(library, playerRoot().string(), progress);
        benchmark::DoNotOptimize(library.trackIds.data());
        state.counters["tracks"] = static_cast<double>(library.trackIds.size());
    }
}

void CollectRootSelection(benchmark::State& state) {
    LoadedPlayer& player = loadedPlayer();
    const std::unique_ptr<pelmar::NodeData> root = rootNode(player.source);
    const pelmar::NodeData* start[] = {root.get()};
    pelmar::BackupSelection selection;
    for (auto _ : state) {
        selection = pelmar::CollectBackupSelection(player.source, start);
        benchmark::DoNotOptimize(selection.tracks.data());
    }
    state.counters["tracks"] = static_cast<double>(selection.tracks.size());
    state.counters["playlists"] = static_cast<double>(selection.playlists.size());
    state.counters["photos"] = static_cast<double>(selection.photos.size());
}

void BuildSongsRows(benchmark::State& state) {
    LoadedPlayer& player = loadedPlayer();
    pelmar::NodeData songs;
    songs.kind = pelmar::NK_TRACKS;
    songs.subkind = pelmar::tracks_subkind::kSongs;
    std::size_t rows = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<pelmar::NodeData>> out;
        pelmar::BuildChildNodes(player.source, &songs, out);
        rows = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(LoadLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CollectRootSelection)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BuildSongsRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the usual table, then each measurement as a multiple of the library load.
class RatioReporter : public TimesReporter {
  public:
    RatioReporter() : TimesReporter(Key::Function, "mean") {}

    void Finalize() override {
        ConsoleReporter::Finalize();
        const double reference = seconds_["LoadLibrary"];
        if (reference <= 0) {
            return;
        }
        std::printf("\nReference: loading the library once: %.1f ms\n", reference * 1e3);
        for (const char* name : {"CollectRootSelection", "BuildSongsRows"}) {
            if (seconds_.contains(name)) {
                std::printf("%-21s %8.1f ms = %5.2f x the library load\n", name,
                            seconds_[name] * 1e3, seconds_[name] / reference);
            }
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
