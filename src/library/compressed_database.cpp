#include "library/compressed_database.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include <zlib.h>

#include "library/player_files.h"
#include "platform/file_byte_source.h"
#include "platform/player_path_open.h"
#include "util/byte_source.h"
#include "util/little_endian.h"
#include "util/progress_reporter.h"

namespace pelmar {

namespace {

constexpr std::uint64_t kMaxInflated = std::uint64_t{2} << 30;
constexpr std::uint64_t kMaxRatio = 64;
constexpr std::size_t kInputChunk = 256 * 1024;
constexpr std::uint32_t kRootHeadLength = 8;
// Real root headers are 0x68 to 0xF4 bytes; the record reader refuses anything past this too.
constexpr std::uint32_t kMaxRootHeaderLength = 64 * 1024;

class Inflater {
  public:
    Inflater() { ok_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() {
        if (ok_) {
            inflateEnd(&stream_);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    [[nodiscard]] bool ok() const { return ok_; }
    z_stream& stream() { return stream_; }

  private:
    z_stream stream_{};
    bool ok_ = false;
};

InflatedDatabase stopped(InflatedDatabase database, const ByteSource& file, std::uint64_t offset,
                         ReadOutcome::End end, std::string reason) {
    if (file.failed()) {
        end = ReadOutcome::End::ReadError;
        reason = "read error";
    }
    database.outcome = ReadOutcome{end, offset, std::move(reason)};
    return database;
}

}  // namespace

std::uint64_t inflationLimit(std::uint64_t compressedSize) {
    if (compressedSize > kMaxInflated / kMaxRatio) {
        return kMaxInflated;
    }
    return compressedSize * kMaxRatio;
}

InflatedDatabase inflateMusicDatabase(ByteSource& file, ProgressReporter& progress,
                                      std::uint64_t limit) {
    InflatedDatabase database;
    const auto fileSize = file.size();
    progress.setRange(0, static_cast<std::uint32_t>(fileSize));

    std::array<std::uint8_t, kRootHeadLength> head{};
    if (file.read(head) < head.size()) {
        return stopped(std::move(database), file, file.position(), ReadOutcome::End::Malformed,
                       "file shorter than a record head");
    }
    const std::uint32_t headerLength = readU32le(head, 4);
    if (headerLength < kRootHeadLength || headerLength > kMaxRootHeaderLength) {
        return stopped(std::move(database), file, 0, ReadOutcome::End::Malformed,
                       "root header length out of range");
    }
    std::vector<std::uint8_t> header(headerLength);
    std::copy(head.begin(), head.end(), header.begin());
    const std::span<std::uint8_t> rest = std::span(header).subspan(kRootHeadLength);
    if (file.read(rest) < rest.size()) {
        return stopped(std::move(database), file, file.position(), ReadOutcome::End::Malformed,
                       "root header past the end of the file");
    }
    database.bytes.append(header);

    Inflater inflater;
    if (!inflater.ok()) {
        return stopped(std::move(database), file, headerLength, ReadOutcome::End::Malformed,
                       "cannot start inflating");
    }
    z_stream& zs = inflater.stream();
    std::vector<std::uint8_t> input(kInputChunk);
    std::uint32_t rounds = 0;
    while (true) {
        const auto consumed = [&] {
            return headerLength + static_cast<std::uint64_t>(zs.total_in);
        };
        if (zs.avail_in == 0) {
            const std::size_t got = file.read(input);
            if (got == 0) {
                return stopped(std::move(database), file, consumed(), ReadOutcome::End::Malformed,
                               "compressed data ends inside the stream");
            }
            zs.next_in = input.data();
            zs.avail_in = static_cast<uInt>(got);
        }
        const std::uint64_t left = limit - (database.bytes.size() - headerLength);
        // One byte of room past the limit tells a stream that stops exactly at it from one that
        // would go on.
        const std::span<std::uint8_t> out =
            database.bytes.room(left < ChunkedBytes::kChunkSize ? static_cast<std::size_t>(left) + 1
                                                                : ChunkedBytes::kChunkSize);
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        const int status = inflate(&zs, Z_NO_FLUSH);
        const std::size_t produced = out.size() - zs.avail_out;
        if (produced > left) {
            database.bytes.commit(static_cast<std::size_t>(left));
            return stopped(std::move(database), file, consumed(), ReadOutcome::End::Malformed,
                           "inflates to more than a music database can hold");
        }
        database.bytes.commit(produced);
        if (status == Z_STREAM_END) {
            return stopped(std::move(database), file, consumed(), ReadOutcome::End::EndOfData, {});
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            std::string reason = "damaged compressed data";
            if (zs.msg != nullptr) {
                reason += ": ";
                reason += zs.msg;
            }
            return stopped(std::move(database), file, consumed(), ReadOutcome::End::Malformed,
                           std::move(reason));
        }
        if (++rounds % 16 == 0) {
            progress.setPosition(static_cast<std::uint32_t>(consumed()));
            progress.pump();
        }
    }
}

bool hasCompressedDatabase(const std::string& root) {
    const std::unique_ptr<ByteSource> file =
        FileByteSource::adopt(openPlayerPath(root, kCompressedMusicDatabasePath).fd);
    return file && file->size() > 0;
}

std::optional<InflatedDatabase> inflatePlayerDatabase(const std::string& root,
                                                      ProgressReporter& progress) {
    const std::unique_ptr<ByteSource> file =
        FileByteSource::adopt(openPlayerPath(root, kCompressedMusicDatabasePath).fd);
    if (!file || file->size() == 0) {
        return std::nullopt;
    }
    return inflateMusicDatabase(*file, progress, inflationLimit(file->size()));
}

}  // namespace pelmar
