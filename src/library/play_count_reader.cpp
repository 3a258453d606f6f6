#include "library/play_count_reader.h"

#include <array>
#include <vector>

#include "library/player_files.h"
#include "library/player_library.h"
#include "util/byte_source.h"
#include "util/little_endian.h"
#include "util/progress_reporter.h"

namespace pelmar {

namespace {

constexpr std::uint32_t kProgressEvery = 250;
constexpr std::uint32_t kDefaultEntryLength = 16;
constexpr std::uint32_t kMinEntryLength = 12;
constexpr std::uint32_t kMaxEntryLength = 1024;
constexpr std::size_t kRatingOffset = 12;
// Entries shorter than this carry no rating.
constexpr std::uint32_t kEntryLengthWithRating = 16;
constexpr std::uint8_t kMaxRating = 100;
// Entries this long also count the skips since the last sync and the time of the last one.
constexpr std::uint32_t kEntryLengthWithSkips = 28;
constexpr std::size_t kSkipCountOffset = 20;
constexpr std::size_t kLastSkippedOffset = 24;

// Entries merged per block when the source shows them in place.
constexpr std::size_t kEntriesAtOnce = 64;

void mergeEntry(MhTrackData& track, std::span<const std::uint8_t> entry,
                std::uint32_t entryLength) {
    track.playCount += readU32le(entry, 0);
    // Zero means "not played since the last sync", not "never played": the database's own
    // time stays.
    if (const std::uint32_t lastPlayed = readU32le(entry, 4); lastPlayed != 0) {
        track.lastPlayed = lastPlayed;
    }
    if (entryLength >= kEntryLengthWithRating) {
        const std::uint8_t rating = entry[kRatingOffset];
        track.rating = rating > kMaxRating ? 0 : rating;
    }
    if (entryLength >= kEntryLengthWithSkips) {
        track.skipCount += readU32le(entry, kSkipCountOffset);
        if (const std::uint32_t lastSkipped = readU32le(entry, kLastSkippedOffset);
            lastSkipped != 0) {
            track.lastSkipped = lastSkipped;
        }
    }
}

}  // namespace

ReadOutcome mergePlayCountData(PlayerLibrary& library, ByteSource& source,
                               ProgressReporter& progress) {
    progress.setRange(0, static_cast<std::uint32_t>(source.size()));

    std::array<std::uint8_t, 16> head{};
    const std::size_t headRead = source.read(head);
    const std::uint32_t headerLength = readU32le(std::span(head).first(headRead), 4);
    // Real files state their entry length; 12, 16, 20 and 28 bytes are all found on players.
    std::uint32_t entryLength = readU32le(std::span(head).first(headRead), 8);
    if (entryLength < kMinEntryLength || entryLength > kMaxEntryLength) {
        entryLength = kDefaultEntryLength;
    }
    if (headerLength > source.size()) {
        return readOutcome(source, ReadOutcome::End::Malformed, "header past the end of the file");
    }
    // The source only reads forward, and a real header holds at least the fields just read.
    if (headerLength < source.position()) {
        return readOutcome(source, ReadOutcome::End::Malformed,
                           "header shorter than its own fields");
    }
    source.skip(headerLength - source.position());

    std::size_t index = 0;
    // Merges the next entry into its track's record, if it has one; `end`, where the entry ends
    // in the file, feeds the progress bar.
    const auto merge = [&](MhTrackData* track, std::span<const std::uint8_t> entry,
                           std::uint64_t end) {
        ++index;
        if (index % kProgressEvery == 0) {
            progress.setPosition(static_cast<std::uint32_t>(end));
            progress.pump();
        }
        if (track != nullptr) {
            mergeEntry(*track, entry, entryLength);
        }
    };
    const auto recordOf = [&library](std::size_t position) -> MhTrackData* {
        if (position >= library.trackIds.size()) {
            return nullptr;
        }
        const auto it = library.tracks.find(library.trackIds[position]);
        return it == library.tracks.end() ? nullptr : &it->second;
    };

    std::vector<std::uint8_t> entry(entryLength, 0);
    std::array<MhTrackData*, kEntriesAtOnce> records{};
    while (true) {
        // Entries the source shows in place go a block at a time: their records are looked up
        // first, in lookups that do not wait on one another, then merged.
        const std::span<const std::uint8_t> shown = source.peek(entryLength * kEntriesAtOnce);
        const std::size_t whole = std::min<std::size_t>(shown.size() / entryLength, kEntriesAtOnce);
        if (whole > 0) {
            for (std::size_t i = 0; i < whole; ++i) {
                records[i] = recordOf(index + i);
            }
            const std::uint64_t start = source.position();
            for (std::size_t i = 0; i < whole; ++i) {
                merge(records[i], shown.subspan(i * entryLength, entryLength),
                      start + (i + 1) * entryLength);
            }
            source.skip(whole * entryLength);
            continue;
        }
        if (source.read(entry) != entry.size()) {
            break;
        }
        merge(recordOf(index), entry, source.position());
    }
    return readOutcome(source, ReadOutcome::End::EndOfData);
}

std::optional<ReadOutcome> mergePlayCounts(PlayerLibrary& library, ProgressReporter& progress) {
    progress.setStatus("Reading Play Data...");
    const std::unique_ptr<ByteSource> file = openPlayerFile(library, kPlayCountsPath);
    if (!file) {
        return std::nullopt;
    }
    return mergePlayCountData(library, *file, progress);
}

}  // namespace pelmar
