#include "photos/thumbnail_decoder.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <vector>

#include "photos/planar_yuv.h"
#include "photos/row_progress.h"
#include "photos/stored_jpeg.h"

namespace pelmar {

namespace {

// Every format stores 16 bits per pixel. RGB formats decode one pixel per 2-byte step; the YUV
// format decodes two per 4-byte step (U Y0 V Y1), the pair sharing its chroma.
constexpr std::uint64_t kRgbStep = 2;
constexpr std::uint64_t kYuvStep = 4;
constexpr std::uint64_t kBytesPerPixel = 2;
// A stored JPEG picture may be larger than its format says, but not by much: a real one is the
// format's size.
constexpr std::uint64_t kJpegPixelFactor = 4;

constexpr double kRedFromV = 1.4075;
constexpr double kGreenFromU = 0.3455;
constexpr double kGreenFromV = 0.7169;
constexpr double kBlueFromU = 1.779;

// The conversion as defined: double precision, truncated toward zero, then held within a byte so
// that a bright saturated colour does not wrap round to a dark one.
std::uint8_t yuvChannel(double value) {
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
}

double greenFromYuv(double luma, double uCentred, double vCentred) {
    return luma - kGreenFromU * uCentred - kGreenFromV * vCentred;
}

// Converting each pixel in double precision takes about as long as encoding the JPEG, so the
// channels come from whole-number offsets with the same results. Each channel is Y plus a term x
// that depends on the chroma alone. Unless x is a whole number, its exact value (four decimals)
// lies at least 0.0001 from one, far beyond double rounding, so truncating Y + x gives
// Y + floor(x) wherever the sum is not negative, and a negative sum ends up as 0 either way. The
// offsets are taken from the double-precision conversion itself, at a Y where it is positive.
// A whole-number x is different: whether a sum lands on the whole number or just below depends
// on rounding. Red's and blue's terms are whole only when they are exactly 0; green's is whole for
// a few other U, V pairs, which are converted in double precision pixel by pixel. The tests
// compare every combination of Y, U and V with the double-precision conversion.
constexpr std::int16_t kGreenInDoublePrecision = std::numeric_limits<std::int16_t>::min();

// No offset exceeds 1.779 × 128 < 256 either way, so Y + offset + 256 always indexes heldByte.
constexpr int kOffsetBias = 256;

struct YuvOffsets {
    std::array<std::int16_t, 256> redByV;
    std::array<std::int16_t, 256> blueByU;
    std::array<std::int16_t, 256 * 256> greenByUAndV;
    std::array<std::uint8_t, 3 * 256> heldByte;  // index - kOffsetBias, held within 0-255
};

template <typename Conversion>
std::int16_t lumaOffset(Conversion convert) {
    const double luma = convert(0.0) >= 0 ? 0.0 : 255.0;
    return static_cast<std::int16_t>(static_cast<int>(convert(luma)) - static_cast<int>(luma));
}

// 0.3455 U' + 0.7169 V', in ten-thousandths, is a whole number other than 0.
bool greenTermIsWholeNumber(int uCentred, int vCentred) {
    const int tenThousandths = 3455 * uCentred + 7169 * vCentred;
    return tenThousandths != 0 && tenThousandths % 10000 == 0;
}

const YuvOffsets& yuvOffsets() {
    static const std::unique_ptr<const YuvOffsets> offsets = [] {
        auto made = std::make_unique<YuvOffsets>();
        for (int first = 0; first < 256; ++first) {
            const double firstCentred = first - 128.0;
            made->redByV[first] =
                lumaOffset([&](double y) { return y + kRedFromV * firstCentred; });
            made->blueByU[first] =
                lumaOffset([&](double y) { return y + kBlueFromU * firstCentred; });
            for (int second = 0; second < 256; ++second) {
                const double secondCentred = second - 128.0;
                made->greenByUAndV[static_cast<std::size_t>(first << 8 | second)] =
                    greenTermIsWholeNumber(first - 128, second - 128)
                        ? kGreenInDoublePrecision
                        : lumaOffset([&](double y) {
                              return greenFromYuv(y, firstCentred, secondCentred);
                          });
            }
        }
        for (std::size_t at = 0; at < made->heldByte.size(); ++at) {
            made->heldByte[at] =
                static_cast<std::uint8_t>(std::clamp(static_cast<int>(at) - kOffsetBias, 0, 255));
        }
        return made;
    }();
    return *offsets;
}

// 5-6-5 pixels. Green keeps only its upper five bits, so that all three channels step by 8.
template <bool BigEndian>
void decodeRgbRun(const std::uint8_t* in, std::uint64_t count, std::uint8_t* out) {
    for (std::uint64_t n = 0; n < count; ++n, in += 2, out += 3) {
        const unsigned pixel =
            BigEndian ? (unsigned{in[0]} << 8 | in[1]) : (unsigned{in[1]} << 8 | in[0]);
        out[0] = static_cast<std::uint8_t>((pixel >> 11 & 0x1F) * 8);
        out[1] = static_cast<std::uint8_t>((pixel >> 6 & 0x1F) * 8);
        out[2] = static_cast<std::uint8_t>((pixel & 0x1F) * 8);
    }
}

void decodeYuvRun(const std::uint8_t* data, std::uint64_t firstPixel, std::uint64_t count,
                  std::uint8_t* out) {
    const YuvOffsets& offsets = yuvOffsets();
    const std::uint8_t* held = offsets.heldByte.data() + kOffsetBias;
    std::uint64_t pixel = firstPixel;
    const std::uint64_t end = firstPixel + count;
    while (pixel < end) {
        const std::uint8_t* group = data + pixel / 2 * kYuvStep;
        const unsigned u = group[0];
        const unsigned v = group[2];
        const int red = offsets.redByV[v];
        const int green = offsets.greenByUAndV[u << 8 | v];
        const int blue = offsets.blueByU[u];
        const auto store = [&](int luma) {
            out[0] = held[luma + red];
            out[1] = green != kGreenInDoublePrecision
                         ? held[luma + green]
                         : yuvChannel(greenFromYuv(luma, u - 128.0, v - 128.0));
            out[2] = held[luma + blue];
            out += 3;
        };
        // A run starts or ends inside a group only in a picture of odd width.
        if (pixel % 2 == 0 && end - pixel >= 2) {
            store(group[1]);
            store(group[3]);
            pixel += 2;
        } else {
            store(group[1 + 2 * (pixel % 2)]);
            ++pixel;
        }
    }
}

// One thumbnail's bytes (padded to whole steps) and the picture they are decoded into.
class ThumbnailDecoding {
  public:
    ThumbnailDecoding(const ThumbnailFormat& format, std::span<const std::uint8_t> data,
                      RgbImage& image)
        : data_(data),
          image_(image),
          yuv_(format.interlacedYuv != 0),
          bigEndian_(isBigEndianFormat(format)) {}

    // Decodes the pixels [first, end) in stored order, a row at a time. Pixels beyond the last
    // row (possible only when a format's byte size exceeds its pixel count) get no place.
    void decodePixels(std::uint64_t first, std::uint64_t end) {
        const std::uint64_t width = image_.width;
        while (first < end) {
            const std::uint64_t x = first % width;
            const std::uint64_t count = std::min(end - first, width - x);
            const std::uint64_t line = displayLine(first / width);
            if (line < image_.height) {
                std::uint8_t* out = image_.pixels.data() + (line * width + x) * 3;
                if (yuv_) {
                    decodeYuvRun(data_.data(), first, count, out);
                } else if (bigEndian_) {
                    decodeRgbRun<true>(data_.data() + first * kBytesPerPixel, count, out);
                } else {
                    decodeRgbRun<false>(data_.data() + first * kBytesPerPixel, count, out);
                }
            }
            first += count;
        }
    }

  private:
    // The interlaced format stores the even display lines first, then the odd ones.
    [[nodiscard]] std::uint64_t displayLine(std::uint64_t storedRow) const {
        if (!yuv_) {
            return storedRow;
        }
        const std::uint64_t half = (std::uint64_t{image_.height} + 1) / 2;
        return storedRow < half ? 2 * storedRow : 2 * (storedRow - half) + 1;
    }

    std::span<const std::uint8_t> data_;
    RgbImage& image_;
    bool yuv_;
    bool bigEndian_;
};

struct ProgressMark {
    std::uint64_t position;
    int percent;
};

// Progress is step start × 100 / byteSize, reported when it is a multiple of ten it has not been
// yet. It only grows, so each such multiple is reported at the first step start reaching it, and
// those positions can be found up front instead of dividing at every step.
std::vector<ProgressMark> progressMarks(std::uint64_t byteSize, std::uint64_t step) {
    std::vector<ProgressMark> marks;
    for (int percent = 0; percent < 100; percent += 10) {
        const std::uint64_t reached = (static_cast<std::uint64_t>(percent) * byteSize + 99) / 100;
        const std::uint64_t position = (reached + step - 1) / step * step;
        if (position < byteSize &&
            position * 100 / byteSize == static_cast<std::uint64_t>(percent)) {
            marks.push_back({position, percent});
        }
    }
    return marks;
}

// The first formats' pixels in stored order, a byte size fixed by the table.
RgbImage decodeStoredOrder(const ThumbnailFormat& format, std::span<const std::uint8_t> bytes,
                           const std::function<void(int)>& progress) {
    RgbImage image;
    image.width = format.width;
    image.height = format.height;
    image.pixels.assign(std::size_t{image.width} * image.height * 3, 0);
    if (image.pixels.empty() || format.byteSize <= 0) {
        return image;
    }

    const std::uint64_t step = format.interlacedYuv != 0 ? kYuvStep : kRgbStep;
    const auto byteSize = static_cast<std::uint64_t>(format.byteSize);
    // A step that starts below byteSize reads whole: pad the data to a multiple of the step.
    const std::uint64_t padded = (byteSize + step - 1) / step * step;
    std::span<const std::uint8_t> data =
        bytes.first(std::min<std::uint64_t>(bytes.size(), byteSize));
    std::vector<std::uint8_t> zeroFilled;
    if (data.size() < padded) {
        zeroFilled.assign(padded, 0);
        std::copy(data.begin(), data.end(), zeroFilled.begin());
        data = zeroFilled;
    }

    ThumbnailDecoding decoding(format, data, image);
    std::uint64_t done = 0;
    if (progress) {
        for (const ProgressMark& mark : progressMarks(byteSize, step)) {
            const std::uint64_t reached = mark.position / kBytesPerPixel;
            decoding.decodePixels(done, reached);
            done = reached;
            progress(mark.percent);
        }
    }
    decoding.decodePixels(done, padded / kBytesPerPixel);
    return image;
}

// RGB rows `rowBytes` apart, the bytes after each row's pixels unused.
template <bool BigEndian>
void decodeRgbRows(std::span<const std::uint8_t> data, std::uint32_t rowBytes, RgbImage& image,
                   RowProgress& progress) {
    const std::size_t outRow = std::size_t{image.width} * 3;
    for (std::uint32_t row = 0; row < image.height; ++row) {
        progress.beforeRow(row);
        decodeRgbRun<BigEndian>(data.data() + std::size_t{row} * rowBytes, image.width,
                                image.pixels.data() + row * outRow);
    }
}

}  // namespace

RgbImage decodeThumbnail(const ThumbnailFormat& format, std::span<const std::uint8_t> bytes,
                         const std::function<void(int)>& progress) {
    return decodePicture(format, 0, bytes, progress);
}

RgbImage decodePicture(const ThumbnailFormat& format, std::uint32_t statedSize,
                       std::span<const std::uint8_t> bytes,
                       const std::function<void(int)>& progress) {
    const PixelLayout layout = pixelLayout(format);
    if (!format.slotSizeFromDatabase || layout == PixelLayout::InterlacedYuv) {
        return decodeStoredOrder(format, bytes, progress);
    }
    const std::uint32_t slot = slotSize(format, statedSize);
    const std::span<const std::uint8_t> stored =
        bytes.first(std::min<std::size_t>(bytes.size(), slot));
    if (layout == PixelLayout::Jpeg) {
        if (progress) {
            progress(0);
        }
        const std::size_t length = storedJpegLength(stored);
        std::optional<RgbImage> decoded =
            length == 0
                ? std::nullopt
                : decodeJpegStream(stored.first(length), kJpegPixelFactor * pixelCount(format));
        return decoded ? std::move(*decoded) : RgbImage{};
    }

    RgbImage image;
    image.width = format.width;
    image.height = format.height;
    image.pixels.assign(pixelCount(format) * 3, 0);
    if (image.pixels.empty()) {
        return image;
    }
    const std::uint32_t rowBytes = rowLength(format, slot);
    const std::uint64_t needed =
        layout == PixelLayout::PlanarYuv420
            ? planarYuvSize(format.width, format.height)
            : std::uint64_t{rowBytes} * (format.height - 1u) + format.width * 2u;
    std::span<const std::uint8_t> data = stored;
    std::vector<std::uint8_t> zeroFilled;
    if (data.size() < needed) {
        zeroFilled.assign(needed, 0);
        std::copy(data.begin(), data.end(), zeroFilled.begin());
        data = zeroFilled;
    }
    RowProgress rows(progress, format.height);
    if (layout == PixelLayout::PlanarYuv420) {
        decodePlanarYuv(data, image, rows);
    } else if (layout == PixelLayout::Rgb565Big) {
        decodeRgbRows<true>(data, rowBytes, image, rows);
    } else {
        decodeRgbRows<false>(data, rowBytes, image, rows);
    }
    return image;
}

}  // namespace pelmar
