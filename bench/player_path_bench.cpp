// Opening a player's files through the guarded lookup, against a plain open of the same paths in
// the same run: the kernel's confined lookup, the component walk that stands in for it on older
// kernels, and the walk that finds names stored in another case.

#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "platform/player_path_open.h"
#include "platform/player_path_walk.h"
#include "times_reporter.h"

namespace {

using pelmar::bench::TimesReporter;

namespace fs = std::filesystem;

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;

struct Player {
    fs::path root;
    std::vector<std::string> relative;   // as the database spells them
    std::vector<std::string> otherCase;  // the same files, spelt in capitals
};

const Player& player() {
    static const Player made = [] {
        Player p;
        p.root = fs::temp_directory_path() / ("pelmar-path-bench-" + std::to_string(::getpid()));
        for (int f = 0; f < kFolders; ++f) {
            char folder[32];
            std::snprintf(folder, sizeof folder, "iPod_Control/Music/F%02d", f);
            fs::create_directories(p.root / folder);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                const std::string name =
                    std::string(folder) + "/track" + std::to_string(i) + ".mp3";
                std::ofstream(p.root / name) << "x";
                p.relative.push_back(name);
                std::string upper = name;
                for (char& c : upper) {
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                }
                p.otherCase.push_back(upper);
            }
        }
        return p;
    }();
    return made;
}

void OpenPlainly(benchmark::State& state) {
    const Player& p = player();
    const std::string root = p.root.string() + "/";
    for (auto _ : state) {
        for (const std::string& name : p.relative) {
            const int fd = ::open((root + name).c_str(), O_RDONLY | O_CLOEXEC);
            benchmark::DoNotOptimize(fd);
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(p.relative.size()));
}

void OpenThroughTheSeam(benchmark::State& state) {
    const Player& p = player();
    const std::string root = p.root.string() + "/";
    for (auto _ : state) {
        for (const std::string& name : p.relative) {
            benchmark::DoNotOptimize(pelmar::openPlayerPath(root, name).status);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(p.relative.size()));
}

void OpenByWalk(benchmark::State& state, const std::vector<std::string> Player::*names) {
    const Player& p = player();
    const int root = ::open(p.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (auto _ : state) {
        for (const std::string& name : p.*names) {
            benchmark::DoNotOptimize(pelmar::player_path::openByWalk(root, name).status);
        }
    }
    ::close(root);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>((p.*names).size()));
}

BENCHMARK(OpenPlainly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenThroughTheSeam)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(OpenByWalk, ExactNames, &Player::relative)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(OpenByWalk, OtherCase, &Player::otherCase)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Prints the usual table, then each measurement as a multiple of the plain open.
class RatioReporter : public TimesReporter {
  public:
    RatioReporter() : TimesReporter(Key::FullName) {}

    void Finalize() override {
        ConsoleReporter::Finalize();
        const double reference = seconds_["OpenPlainly/real_time"];
        if (reference <= 0) {
            return;
        }
        std::printf("\nReference: a plain open of %d files: %.2f ms\n", kFolders * kFilesPerFolder,
                    reference * 1e3);
        for (const auto& [name, seconds] : seconds_) {
            std::printf("%-36s %8.2f ms = %6.2f x the plain open\n", name.c_str(), seconds * 1e3,
                        seconds / reference);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("Kernel lookup beneath a folder: %s\n",
                pelmar::player_path::kernelResolvesBeneath() ? "yes" : "no (the walk serves)");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(player().root, ignored);
    return 0;
}
