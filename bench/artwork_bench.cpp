// Album artwork at the size of a large player, each figure against a reference measured in the
// same run: reading the artwork database (one image per track, each in the four sizes of a
// classic, its thumbnail files split at 256 MB) against loading the rest of the player; and
// saving 320 × 320 covers as the backup does (made JPEG, named, written whole) against decoding
// them alone. The player comes from PELMAR_BENCH_PLAYER, or is written to a temporary folder
// (PELMAR_BENCH_TRACKS tracks, 100,000 by default); the artwork beside it, its thumbnail files
// sparse.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "backup/album_cover_files.h"
#include "backup/album_cover_jpegs.h"
#include "bench_player.h"
#include "library/artwork_database_reader.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "photos/artwork_pictures.h"
#include "photos/thumbnail_decoder.h"
#include "times_reporter.h"
#include "util/progress_reporter.h"

namespace {

using pelmar::bench::TimesReporter;

namespace fs = std::filesystem;

constexpr std::uint64_t kSplitSize = 256ULL << 20;

struct ArtworkSize {
    std::uint32_t formatId;
    std::uint32_t side;
};
constexpr ArtworkSize kClassicSizes[] = {{1061, 56}, {1055, 128}, {1068, 128}, {1060, 320}};

const fs::path& playerRoot() {
    static const fs::path root = pelmar::bench::benchPlayerRoot("artwork-bench");
    return root;
}

void put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::vector<std::uint8_t> header(const char* tag, std::uint32_t length, std::uint32_t total) {
    std::vector<std::uint8_t> bytes(length, 0);
    std::copy(tag, tag + 4, bytes.begin());
    put(bytes, 4, length);
    put(bytes, 8, total);
    return bytes;
}

void append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A folder holding only an artwork database of `images` images and its thumbnail files.
fs::path writeArtworkFolder(std::uint32_t images) {
    const fs::path root = playerRoot().string() + "-artwork";
    const fs::path folder = root / "iPod_Control" / "Artwork";
    fs::create_directories(folder);
    std::vector<std::uint8_t> db = header("mhfd", 132, 132);
    append(db, header("mhsd", 96, 96));
    db[132 + 12] = 1;  // the image dataset
    append(db, header("mhli", 92, images));
    std::map<std::string, std::uint64_t> fileSizes;
    for (std::uint32_t id = 1; id <= images; ++id) {
        std::vector<std::uint8_t> image = header("mhii", 152, 152);
        put(image, 16, id);
        put(image, 20, id);
        append(db, image);
        for (const ArtworkSize& size : kClassicSizes) {
            const std::uint64_t slot = std::uint64_t{size.side} * size.side * 2;
            const std::uint64_t perFile = kSplitSize / slot;
            const std::uint64_t index = id - 1;
            const std::string name = "F" + std::to_string(size.formatId) + "_" +
                                     std::to_string(index / perFile + 1) + ".ithmb";
            const auto offset = static_cast<std::uint32_t>(index % perFile * slot);
            fileSizes[name] = offset + slot;
            std::vector<std::uint8_t> text = {':'};
            text.insert(text.end(), name.begin(), name.end());
            std::vector<std::uint8_t> string(12, 0);
            put(string, 0, static_cast<std::uint32_t>(text.size()));
            string[4] = 1;
            append(string, text);
            string.resize((string.size() + 3) / 4 * 4, 0);
            std::vector<std::uint8_t> child =
                header("mhod", 24, static_cast<std::uint32_t>(24 + string.size()));
            child[12] = 3;
            append(child, string);
            std::vector<std::uint8_t> reference =
                header("mhni", 76, static_cast<std::uint32_t>(76 + child.size()));
            put(reference, 16, size.formatId);
            put(reference, 20, offset);
            put(reference, 24, static_cast<std::uint32_t>(slot));
            append(reference, child);
            std::vector<std::uint8_t> container =
                header("mhod", 24, static_cast<std::uint32_t>(24 + reference.size()));
            container[12] = 2;
            append(db, container);
            append(db, reference);
        }
    }
    std::ofstream(folder / "ArtworkDB", std::ios::binary)
        .write(reinterpret_cast<const char*>(db.data()), static_cast<std::streamsize>(db.size()));
    for (const auto& [name, size] : fileSizes) {
        std::ofstream(folder / name, std::ios::binary).close();
        fs::resize_file(folder / name, size);
    }
    return root;
}

const fs::path& artworkRoot() {
    static const fs::path root = [] {
        pelmar::PlayerLibrary library;
        pelmar::NullProgressReporter progress;
        pelmar::loadLibraryFromRoot(library, playerRoot().string(), progress);
        return writeArtworkFolder(static_cast<std::uint32_t>(library.trackIds.size()));
    }();
    return root;
}

void LoadLibrary(benchmark::State& state) {
    for (auto _ : state) {
        pelmar::PlayerLibrary library;
        pelmar::NullProgressReporter progress;
        pelmar::loadLibraryFromRoot(library, playerRoot().string(), progress);
        benchmark::DoNotOptimize(library.trackIds.data());
    }
}

void ReadArtwork(benchmark::State& state) {
    std::size_t images = 0;
    for (auto _ : state) {
        pelmar::PlayerLibrary library;
        library.rootPath = artworkRoot().string() + "/";
        pelmar::NullProgressReporter progress;
        (void)pelmar::readArtwork(library, progress);
        images = library.artwork.imageCount();
    }
    state.counters["images"] = static_cast<double>(images);
}

// One 320 × 320 cover, a gradient, in a file of its own.
struct Cover {
    fs::path root;
    pelmar::ArtworkCatalog catalog;
    pelmar::ArtworkPicture picture;
};

const Cover& cover() {
    static const Cover made = [] {
        Cover c;
        c.root = fs::temp_directory_path() / "pelmar-artwork-bench-cover";
        fs::create_directories(c.root / "iPod_Control" / "Artwork");
        std::vector<std::uint8_t> slot(204800);
        for (std::size_t pixel = 0; pixel < slot.size() / 2; ++pixel) {
            const auto value = static_cast<std::uint16_t>(pixel % 320 * 31 / 319 << 11 |
                                                          pixel / 320 * 63 / 319 << 5 | 12);
            slot[pixel * 2] = static_cast<std::uint8_t>(value);
            slot[pixel * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
        }
        std::ofstream(c.root / "iPod_Control" / "Artwork" / "F1060_1.ithmb", std::ios::binary)
            .write(reinterpret_cast<const char*>(slot.data()),
                   static_cast<std::streamsize>(slot.size()));
        c.picture.format = pelmar::findThumbnailFormat(1060);
        c.picture.statedSize = 204800;
        c.picture.width = 320;
        c.picture.height = 320;
        c.picture.file = c.catalog.addFile("iPod_Control/Artwork/F1060_1.ithmb");
        return c;
    }();
    return made;
}

void DecodeCover(benchmark::State& state) {
    const Cover& c = cover();
    const std::string root = c.root.string() + "/";
    for (auto _ : state) {
        const std::optional<pelmar::RgbImage> image =
            pelmar::readArtworkPicture(root, c.catalog, c.picture);
        benchmark::DoNotOptimize(image->pixels.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// The backup's own path for each album's cover: the track's image found, its largest picture
// made a JPEG once, the file named after the album and written whole. Every album has an image
// of its own (all showing the same picture), so no cover is taken from the run's recent ones.
void SaveCover(benchmark::State& state) {
    constexpr std::uint32_t kAlbums = 1000;
    const Cover& c = cover();
    pelmar::PlayerLibrary library;
    library.rootPath = c.root.string() + "/";
    pelmar::ArtworkPicture picture = c.picture;
    picture.file = library.artwork.addFile(c.catalog.filePath(c.picture.file));
    for (std::uint32_t id = 1; id <= kAlbums; ++id) {
        pelmar::MhTrackData track;
        track.album = "Album " + std::to_string(id);
        track.hasArtwork = true;
        track.artworkId = id;
        library.tracks.insert_or_assign(id, track);
        library.trackIds.push_back(id);
        library.artwork.addImage(id, 0, {&picture, 1});
    }
    fs::create_directories(c.root / "covers");
    const std::string trackDestination = (c.root / "covers" / "01 - Track.mp3").string();
    pelmar::AlbumCoverJpegs jpegs(library);
    std::optional<pelmar::AlbumCoverFiles> files;
    std::uint32_t saved = 0;
    for (auto _ : state) {
        // A run saves each cover file once; the next round of albums is another run.
        if (saved % kAlbums == 0) {
            files.emplace(library, jpegs);
        }
        const pelmar::AlbumCoverFiles::Saved cover =
            files->save(saved % kAlbums + 1, trackDestination, "Artist\\", true);
        if (cover.outcome != pelmar::AlbumCoverFiles::Outcome::Written) {
            state.SkipWithError("the cover was not saved");
            break;
        }
        ++saved;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

BENCHMARK(LoadLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadArtwork)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DecodeCover)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveCover)->Unit(benchmark::kMicrosecond);

// Prints the usual table, then the artwork read against the load and covers per CPU second.
class RatioReporter : public TimesReporter {
  public:
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (seconds_.contains("LoadLibrary") && seconds_.contains("ReadArtwork")) {
            std::printf("\nArtwork database: %.1f ms against the load's %.1f ms: adds %.2f x\n",
                        seconds_["ReadArtwork"] * 1e3, seconds_["LoadLibrary"] * 1e3,
                        seconds_["ReadArtwork"] / seconds_["LoadLibrary"]);
        }
        if (cpuSeconds_.contains("DecodeCover") && cpuSeconds_.contains("SaveCover")) {
            std::printf(
                "Covers: %.0f saved per CPU second; decoding alone %.0f per second (%.1f x)\n",
                1 / cpuSeconds_["SaveCover"], 1 / cpuSeconds_["DecodeCover"],
                cpuSeconds_["SaveCover"] / cpuSeconds_["DecodeCover"]);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("Player: %s\nArtwork: %s\n", playerRoot().c_str(), artworkRoot().c_str());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
