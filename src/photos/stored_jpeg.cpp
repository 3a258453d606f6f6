#include "photos/stored_jpeg.h"

#include <cstring>
#include <memory>
#include <new>

#include <turbojpeg.h>

namespace pelmar {

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kFirstRestart = 0xD0;
constexpr std::uint8_t kLastRestart = 0xD7;
constexpr std::uint8_t kTemporary = 0x01;
constexpr std::uint8_t kStuffedZero = 0x00;

bool isStandalone(std::uint8_t marker) {
    return marker == kTemporary || (marker >= kFirstRestart && marker <= kLastRestart);
}

// Where the entropy-coded data that starts at `pos` ends: at the first marker that is neither a
// stuffed zero nor a restart marker. `size` when the data runs to the end.
std::size_t endOfScanData(std::span<const std::uint8_t> bytes, std::size_t pos) {
    while (pos < bytes.size()) {
        const void* found = std::memchr(bytes.data() + pos, kMarker, bytes.size() - pos);
        if (found == nullptr) {
            return bytes.size();
        }
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - bytes.data());
        if (bytes.size() - pos < 2) {
            return bytes.size();
        }
        const std::uint8_t next = bytes[pos + 1];
        if (next == kMarker) {
            ++pos;  // a fill byte before the marker
        } else if (next == kStuffedZero || (next >= kFirstRestart && next <= kLastRestart)) {
            pos += 2;
        } else {
            return pos;
        }
    }
    return bytes.size();
}

struct HandleDestroyer {
    void operator()(void* handle) const { tjDestroy(handle); }
};

}  // namespace

std::size_t storedJpegLength(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != kMarker || bytes[1] != kStartOfImage) {
        return 0;
    }
    std::size_t pos = 2;
    bool sawScan = false;
    while (pos < bytes.size()) {
        if (bytes[pos] != kMarker) {
            return 0;
        }
        while (pos < bytes.size() && bytes[pos] == kMarker) {
            ++pos;
        }
        if (pos == bytes.size()) {
            return 0;
        }
        const std::uint8_t marker = bytes[pos++];
        if (marker == kEndOfImage) {
            return sawScan ? pos : 0;
        }
        if (isStandalone(marker)) {
            continue;
        }
        if (marker == kStartOfImage || marker == kStuffedZero || bytes.size() - pos < 2) {
            return 0;
        }
        const std::size_t length = std::size_t{bytes[pos]} << 8 | bytes[pos + 1];
        if (length < 2 || length > bytes.size() - pos) {
            return 0;
        }
        pos += length;
        if (marker == kStartOfScan) {
            sawScan = true;
            pos = endOfScanData(bytes, pos);
        }
    }
    return 0;
}

std::optional<RgbImage> decodeJpegStream(std::span<const std::uint8_t> jpeg,
                                         std::uint64_t largestPixelCount) {
    const std::unique_ptr<void, HandleDestroyer> handle(tjInitDecompress());
    if (!handle || jpeg.empty()) {
        return std::nullopt;
    }
    const unsigned char* data = jpeg.data();
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling,
                            &colourspace) != 0 ||
        width <= 0 || height <= 0 ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) >
            largestPixelCount) {
        return std::nullopt;
    }
    try {
        RgbImage image{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                       std::vector<std::uint8_t>(static_cast<std::size_t>(width) *
                                                 static_cast<std::size_t>(height) * 3)};
        // A progressive stream of endless scans would take endless time; real ones have a few.
        if (tjDecompress2(handle.get(), data, size, image.pixels.data(), width, width * 3, height,
                          TJPF_RGB, TJFLAG_LIMITSCANS) != 0 &&
            tjGetErrorCode(handle.get()) != TJERR_WARNING) {
            return std::nullopt;
        }
        return image;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace pelmar
