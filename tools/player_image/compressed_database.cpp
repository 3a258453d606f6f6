#include "player_image/compressed_database.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "player_image/music_database.h"

namespace pelmar::player_image {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kChunk = std::size_t{1} << 18;
constexpr std::size_t kZeroRun = std::size_t{1} << 20;
constexpr int kRawDeflate = -15;
constexpr int kMemoryLevel = 8;
// CMF: deflate with a 32 KiB window; FLG: fastest compression, with the check bits that make
// the pair a multiple of 31.
constexpr std::array<std::uint8_t, 2> kZlibHeader{0x78, 0x01};
constexpr std::array<std::uint8_t, 2> kBrokenZlibHeader{0x78, 0x00};
// An empty final block with fixed codes: BFINAL 1, BTYPE 01, then the end-of-block code.
constexpr std::array<std::uint8_t, 2> kEmptyFinalBlock{0x03, 0x00};

struct Patch {
    std::uint64_t offset;
    std::uint32_t value;
};

// The first pass: what the database's lengths turn out to be, without keeping its bytes.
class PatchRecorder final : public ByteSink {
  public:
    void append(std::span<const std::uint8_t> bytes) override { size_ += bytes.size(); }
    void patchU32(std::uint64_t offset, std::uint32_t value) override {
        patches_.push_back({offset, value});
    }
    [[nodiscard]] std::uint64_t size() const override { return size_; }

    [[nodiscard]] std::vector<Patch> sortedPatches() && {
        std::stable_sort(patches_.begin(), patches_.end(),
                         [](const Patch& a, const Patch& b) { return a.offset < b.offset; });
        return std::move(patches_);
    }

  private:
    std::uint64_t size_ = 0;
    std::vector<Patch> patches_;
};

// A raw deflate stream into a sink, with the zlib wrapper written by hand so that it can be
// damaged and so that a stream can be carried on with precompressed blocks.
class Deflater {
  public:
    Deflater(ByteSink& out, int level) : out_(out), output_(kChunk) {
        if (deflateInit2(&stream_, level, Z_DEFLATED, kRawDeflate, kMemoryLevel,
                         Z_DEFAULT_STRATEGY) != Z_OK) {
            throw std::runtime_error("zlib could not be initialised");
        }
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void write(std::span<const std::uint8_t> bytes, int flush) {
        checksum_ = adler32(checksum_, bytes.data(), static_cast<uInt>(bytes.size()));
        stream_.next_in = const_cast<Bytef*>(bytes.data());
        stream_.avail_in = static_cast<uInt>(bytes.size());
        do {
            stream_.next_out = output_.data();
            stream_.avail_out = static_cast<uInt>(output_.size());
            if (deflate(&stream_, flush) == Z_STREAM_ERROR) {
                throw std::runtime_error("zlib failed while compressing");
            }
            out_.append(std::span(output_).first(output_.size() - stream_.avail_out));
        } while (stream_.avail_out == 0 || stream_.avail_in > 0);
    }

    [[nodiscard]] uLong checksum() const { return checksum_; }

  private:
    ByteSink& out_;
    z_stream stream_{};
    Bytes output_;
    uLong checksum_ = adler32(0, nullptr, 0);
};

// The second pass: the header as it is, everything after it compressed. Lengths are filled in
// from the first pass as the bytes go by, since compressed bytes cannot be patched.
class CompressingSink final : public ByteSink {
  public:
    CompressingSink(ByteSink& out, std::uint64_t headerLength, std::vector<Patch> patches,
                    bool brokenHeader)
        : out_(out),
          headerLength_(headerLength),
          patches_(std::move(patches)),
          brokenHeader_(brokenHeader),
          deflater_(out, Z_BEST_SPEED) {
        input_.reserve(kChunk);
    }

    void append(std::span<const std::uint8_t> bytes) override {
        scratch_.assign(bytes.begin(), bytes.end());
        applyPatches();
        std::span<const std::uint8_t> rest(scratch_);
        if (size_ < headerLength_) {
            const auto header = static_cast<std::size_t>(
                std::min<std::uint64_t>(rest.size(), headerLength_ - size_));
            out_.append(rest.first(header));
            rest = rest.subspan(header);
            if (size_ + header == headerLength_) {
                out_.append(brokenHeader_ ? kBrokenZlibHeader : kZlibHeader);
            }
        }
        size_ += bytes.size();
        input_.insert(input_.end(), rest.begin(), rest.end());
        if (input_.size() >= kChunk) {
            compressInput(Z_NO_FLUSH);
        }
    }
    // The first pass gave every length already.
    void patchU32(std::uint64_t, std::uint32_t) override {}
    [[nodiscard]] std::uint64_t size() const override { return size_; }

    // Ends the stream after what was appended.
    void finish() {
        compressInput(Z_FINISH);
        appendChecksum(deflater_.checksum());
    }

    // Carries the stream on with zero bytes, blocks compressed once and repeated, then ends it.
    void finishWithZeros(std::uint64_t count) {
        compressInput(Z_FULL_FLUSH);
        uLong checksum = deflater_.checksum();
        while (count > 0) {
            const auto run = static_cast<std::size_t>(std::min<std::uint64_t>(count, kZeroRun));
            const Bytes& blocks = zeroBlocks(run);
            const std::uint64_t repeats = count / run;
            for (std::uint64_t i = 0; i < repeats; ++i) {
                out_.append(blocks);
                checksum = adler32_combine(checksum, zeroChecksum_, static_cast<z_off_t>(run));
            }
            count -= repeats * run;
        }
        out_.append(kEmptyFinalBlock);
        appendChecksum(checksum);
    }

  private:
    void applyPatches() {
        const std::uint64_t end = size_ + scratch_.size();
        while (nextPatch_ < patches_.size() && patches_[nextPatch_].offset < end) {
            const Patch& patch = patches_[nextPatch_++];
            for (std::uint64_t i = 0; i < 4; ++i) {
                if (patch.offset + i >= size_ && patch.offset + i < end) {
                    scratch_[patch.offset + i - size_] =
                        static_cast<std::uint8_t>(patch.value >> (8 * i));
                }
            }
        }
    }

    void compressInput(int flush) {
        deflater_.write(input_, flush);
        input_.clear();
    }

    // A run of zero bytes as self-contained deflate blocks, ending on a byte boundary.
    const Bytes& zeroBlocks(std::size_t run) {
        zeroBlocks_.clear();
        MemorySink blocks;
        // Compressed once, so the best compression costs nothing and keeps the bomb small.
        Deflater deflater(blocks, Z_BEST_COMPRESSION);
        const Bytes zeros(run, 0);
        deflater.write(zeros, Z_FULL_FLUSH);
        zeroChecksum_ = adler32(adler32(0, nullptr, 0), zeros.data(), static_cast<uInt>(run));
        zeroBlocks_ = blocks.take();
        return zeroBlocks_;
    }

    void appendChecksum(uLong checksum) {
        const std::array<std::uint8_t, 4> bytes{
            static_cast<std::uint8_t>(checksum >> 24), static_cast<std::uint8_t>(checksum >> 16),
            static_cast<std::uint8_t>(checksum >> 8), static_cast<std::uint8_t>(checksum)};
        out_.append(bytes);
    }

    ByteSink& out_;
    std::uint64_t headerLength_;
    std::vector<Patch> patches_;
    std::size_t nextPatch_ = 0;
    bool brokenHeader_;
    Deflater deflater_;
    Bytes scratch_;
    Bytes input_;
    std::uint64_t size_ = 0;
    Bytes zeroBlocks_;
    uLong zeroChecksum_ = 0;
};

}  // namespace

std::uint64_t writeCompressedDatabase(ByteSink& sink, const PlayerImage& image,
                                      CompressedDamage damage, std::uint64_t bombInflatedSize) {
    PatchRecorder recorder;
    writeMusicDatabase(recorder, image);
    const std::uint64_t uncompressed = recorder.size();
    const std::uint32_t headerLength = playerModel(image.model).databaseHeaderLength;

    const std::uint64_t start = sink.size();
    CompressingSink compressing(sink, headerLength, std::move(recorder).sortedPatches(),
                                damage == CompressedDamage::WrongHeader);
    writeMusicDatabase(compressing, image);
    if (damage == CompressedDamage::Bomb) {
        compressing.finishWithZeros(bombInflatedSize -
                                    std::min(bombInflatedSize, uncompressed - headerLength));
    } else {
        compressing.finish();
    }
    const std::uint64_t length = sink.size() - start;
    sink.patchU32(start + 8, static_cast<std::uint32_t>(length));
    return damage == CompressedDamage::Truncated ? headerLength + (length - headerLength) / 2
                                                 : length;
}

std::vector<std::uint8_t> compressedDatabaseBytes(const PlayerImage& image, CompressedDamage damage,
                                                  std::uint64_t bombInflatedSize) {
    MemorySink sink;
    const std::uint64_t kept = writeCompressedDatabase(sink, image, damage, bombInflatedSize);
    std::vector<std::uint8_t> bytes = sink.take();
    bytes.resize(static_cast<std::size_t>(kept));
    return bytes;
}

}  // namespace pelmar::player_image
