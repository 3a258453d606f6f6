// Writing the player's tags into a copied track against making the copy alone, in the same run:
// a 4 MB MP3 and a 4 MB M4A file (from PELMAR_TAG_BENCH_MEDIA, made by bench/tag_run) copied as
// the backup copies them: in the kernel, each chunk handed to the disk at once, flushed and
// renamed into place. The tagged runs write the rating, the play count and the missing texts,
// and then the picture as well, into the temporary copy before it is committed. The copies go
// to the media folder, so source and destination share one disk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "backup/tag_writer.h"
#include "platform/atomic_file.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kFiles[] = {"track.mp3", "track.m4a"};
constexpr std::size_t kChunk = std::size_t{1} << 20;

fs::path mediaFolder() {
    const char* folder = std::getenv("PELMAR_TAG_BENCH_MEDIA");
    if (folder == nullptr) {
        std::fprintf(stderr, "PELMAR_TAG_BENCH_MEDIA names no folder; run bench/tag_run\n");
        std::exit(1);
    }
    return folder;
}

std::vector<std::uint8_t> artwork() {
    std::ifstream in(mediaFolder() / "cover.jpg", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

pelmar::TrackTags benchValues(bool withArtwork) {
    pelmar::TrackTags values;
    values.fileType = 2;
    values.rating = 80;
    values.playCount = 41;
    values.title = "Ignored: the file has a title";
    values.album = "Album of the Year";
    values.genre = "Rock";
    values.composer = "Someone Else";
    values.trackNumber = 4;
    values.year = 1997;
    if (withArtwork) {
        values.artworkJpeg = artwork();
    }
    return values;
}

// One copy of the track; false when it failed.
bool copyTrack(const fs::path& source, const fs::path& destination, const pelmar::TrackTags* tags) {
    const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        return false;
    }
    ::posix_fadvise(from, 0, 0, POSIX_FADV_SEQUENTIAL);
    pelmar::AtomicFileWriter writer;
    bool ok = writer.open(destination.string());
    off_t copied = 0;
    while (ok) {
        const ssize_t n = ::copy_file_range(from, nullptr, writer.descriptor(), nullptr, kChunk, 0);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ::sync_file_range(writer.descriptor(), copied, n, SYNC_FILE_RANGE_WRITE);
        copied += n;
    }
    ::close(from);
    if (ok && tags != nullptr) {
        ok = pelmar::writeTrackTags(writer.descriptor(), destination.filename().string(), *tags)
                 .status == pelmar::TagWriteStatus::Written;
    }
    return ok && writer.commit(true);
}

double secondsOf(const fs::path& source, const fs::path& destination, const pelmar::TrackTags* tags,
                 bool& ok) {
    const auto start = std::chrono::steady_clock::now();
    ok = copyTrack(source, destination, tags) && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Each iteration copies the track once as it is and once with the tags, in alternating order,
// so that both meet the same state of a shared disk. The counters are the median times and what
// tagging adds to the copy's total time.
void TaggingOverhead(benchmark::State& state) {
    const char* file = kFiles[state.range(0)];
    const pelmar::TrackTags values = benchValues(state.range(1) != 0);
    const fs::path source = mediaFolder() / file;
    const fs::path destination = mediaFolder() / ("copy-" + std::string(file));
    std::vector<double> plain;
    std::vector<double> tagged;
    bool ok = true;
    for (auto _ : state) {
        const bool taggedFirst = tagged.size() % 2 == 1;
        if (taggedFirst) {
            tagged.push_back(secondsOf(source, destination, &values, ok));
        }
        plain.push_back(secondsOf(source, destination, nullptr, ok));
        if (!taggedFirst) {
            tagged.push_back(secondsOf(source, destination, &values, ok));
        }
    }
    if (!ok) {
        state.SkipWithError("a copy failed");
        return;
    }
    const double plainTotal = std::accumulate(plain.begin(), plain.end(), 0.0);
    const double taggedTotal = std::accumulate(tagged.begin(), tagged.end(), 0.0);
    state.counters["copy_ms"] = median(plain) * 1e3;
    state.counters["tagged_ms"] = median(tagged) * 1e3;
    state.counters["added_%"] = (taggedTotal / plainTotal - 1) * 100;
    state.SetLabel(std::string(file) + (state.range(1) != 0 ? ", with the picture" : ""));
}

BENCHMARK(TaggingOverhead)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
