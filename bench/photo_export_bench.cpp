// Photo export end to end (read one thumbnail from the player, decode it, encode the JPEG, write
// the file) for the television format 1019 (720 × 480 YUV), the classic's 1067 (720 × 480 planar
// YUV, the same picture as the 1019 one, written beside it) and 1024 (320 × 240 RGB), in photos
// per second, each against reading the same thumbnail's bytes from its file in the same run. The
// decoding and the encoding are also measured on their own. The player is written to a temporary
// folder; the JPEG files go to PELMAR_BENCH_OUTPUT, or beside the player.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "library/player_library.h"
#include "photos/jpeg_export.h"
#include "photos/thumbnail_decoder.h"
#include "photos/thumbnail_format.h"
#include "player_image/player_image.h"
#include "times_reporter.h"

namespace {

using pelmar::bench::TimesReporter;

namespace fs = std::filesystem;

struct BenchPlayer {
    fs::path root;
    fs::path output;
    // Format id → offset of the first thumbnail in that format.
    std::map<std::uint32_t, std::uint32_t> firstOffset;
};

// Writes the 1019 thumbnail at `offset` as a 1067 one, so that both formats' exports encode the
// same picture: the fields woven into one frame, each 2 × 2 block taking the chroma of its
// upper pair.
void writePlanarCopy(const fs::path& root, std::uint32_t offset) {
    std::ifstream in(root / "Photos" / "Thumbs" / "F1019_1.ithmb", std::ios::binary);
    std::vector<char> interlaced(691200);
    in.seekg(offset);
    in.read(interlaced.data(), static_cast<std::streamsize>(interlaced.size()));
    std::vector<char> planar(691200, 0);
    for (std::size_t stored = 0; stored < 480; ++stored) {
        const std::size_t line = stored < 240 ? 2 * stored : 2 * (stored - 240) + 1;
        for (std::size_t x = 0; x < 720; x += 2) {
            const char* group = &interlaced[(stored * 720 + x) * 2];
            planar[line * 720 + x] = group[1];
            planar[line * 720 + x + 1] = group[3];
            if (line % 2 == 0) {
                planar[345600 + line / 2 * 360 + x / 2] = group[0];
                planar[345600 + 86400 + line / 2 * 360 + x / 2] = group[2];
            }
        }
    }
    std::ofstream(root / "Photos" / "Thumbs" / "F1067_1.ithmb", std::ios::binary)
        .write(planar.data(), static_cast<std::streamsize>(planar.size()));
}

const BenchPlayer& benchPlayer() {
    static const BenchPlayer player = [] {
        BenchPlayer made;
        pelmar::player_image::Options options;
        options.trackCount = 1;
        options.withMedia = false;
        options.photoCount = 6;
        const auto image = pelmar::player_image::generatePlayerImage(options);
        made.root = fs::temp_directory_path() / "pelmar-photo-bench";
        std::string error;
        if (!pelmar::player_image::writePlayerImage(image, made.root, options, error)) {
            std::fprintf(stderr, "cannot write the bench player: %s\n", error.c_str());
            std::exit(1);
        }
        for (const auto& photo : image.photos) {
            for (const auto& ref : photo.thumbnails) {
                made.firstOffset.try_emplace(ref.formatId, ref.offset);
            }
        }
        writePlanarCopy(made.root, made.firstOffset.at(1019));
        made.firstOffset[1067] = 0;
        const char* output = std::getenv("PELMAR_BENCH_OUTPUT");
        made.output = output != nullptr ? fs::path(output) : made.root / "exported";
        fs::create_directories(made.output);
        return made;
    }();
    return player;
}

const pelmar::ThumbnailFormat& benchFormat(benchmark::State& state) {
    return *pelmar::findThumbnailFormat(static_cast<std::uint32_t>(state.range(0)));
}

std::uint32_t benchOffset(const pelmar::ThumbnailFormat& format) {
    return benchPlayer().firstOffset.at(static_cast<std::uint32_t>(format.formatId));
}

// The reference: open the thumbnail file, read the thumbnail's bytes, close it.
void ReadThumbnailBytes(benchmark::State& state) {
    const pelmar::ThumbnailFormat& format = benchFormat(state);
    const std::string path =
        pelmar::thumbnailFilePath(benchPlayer().root.string() + "/", format.formatId);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(format.byteSize));
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), benchOffset(format));
        ::close(fd);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void DecodeThumbnail(benchmark::State& state) {
    const pelmar::ThumbnailFormat& format = benchFormat(state);
    const std::vector<std::uint8_t> bytes(static_cast<std::size_t>(format.byteSize), 0x5A);
    for (auto _ : state) {
        const pelmar::RgbImage image = pelmar::decodeThumbnail(format, bytes);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void EncodeJpeg(benchmark::State& state) {
    const pelmar::ThumbnailFormat& format = benchFormat(state);
    const std::optional<pelmar::RgbImage> image =
        pelmar::readThumbnail(benchPlayer().root.string() + "/", format, benchOffset(format));
    for (auto _ : state) {
        const std::vector<std::uint8_t> jpeg = pelmar::encodeJpeg(*image);
        benchmark::DoNotOptimize(jpeg.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void ExportPhoto(benchmark::State& state) {
    const pelmar::ThumbnailFormat& format = benchFormat(state);
    pelmar::PlayerLibrary library;
    library.rootPath = benchPlayer().root.string() + "/";
    const std::string destination =
        (benchPlayer().output / ("F" + std::to_string(format.formatId) + ".jpg")).string();
    for (auto _ : state) {
        if (pelmar::exportThumbnailJpeg(&format, library, benchOffset(format), {}, destination,
                                        true) != 1) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void EachFormat(benchmark::internal::Benchmark* run) {
    run->Arg(1019)->Arg(1067)->Arg(1024)->Unit(benchmark::kMicrosecond)->UseRealTime();
}

BENCHMARK(ReadThumbnailBytes)->Apply(EachFormat);
BENCHMARK(DecodeThumbnail)->Apply(EachFormat);
BENCHMARK(EncodeJpeg)->Apply(EachFormat);
BENCHMARK(ExportPhoto)->Apply(EachFormat);

// Prints the usual table, then photos per second of each export and its multiple of the read.
class RatioReporter : public TimesReporter {
  public:
    RatioReporter() : TimesReporter(Key::FullName) {}

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n");
        for (const char* format : {"1019", "1067", "1024"}) {
            const std::string exportName = std::string("ExportPhoto/") + format + "/real_time";
            const std::string readName = std::string("ReadThumbnailBytes/") + format + "/real_time";
            if (!seconds_.contains(exportName) || !seconds_.contains(readName)) {
                continue;
            }
            const double exportSeconds = seconds_[exportName];
            const double readSeconds = seconds_[readName];
            std::printf(
                "Format %s: %7.0f photos/s (%.0f per CPU second); reading the thumbnail alone: "
                "%8.0f/s; export = %5.1f x the read\n",
                format, 1 / exportSeconds, 1 / cpuSeconds_[exportName], 1 / readSeconds,
                exportSeconds / readSeconds);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("Player: %s\nJPEG files: %s\n", benchPlayer().root.c_str(),
                benchPlayer().output.c_str());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
