#include "library/record_stream.h"

#include <algorithm>
#include <array>

namespace pelmar {

namespace {
// Real headers are a few hundred bytes; anything this large is damage, not data.
constexpr std::uint32_t kMaxHeaderLength = 64 * 1024;
constexpr std::size_t kHeadLength = 8;
// Longer than the track headers of real databases.
constexpr std::size_t kUsualHeaderLength = 1024;
}  // namespace

RecordStream::Step RecordStream::next() {
    // Most headers lie whole in what the source shows: one copy, and the source skips them.
    if (const std::span<const std::uint8_t> ahead = source_.peek(kUsualHeaderLength);
        ahead.size() >= kHeadLength) {
        const std::uint32_t headerLength = readU32le(ahead, 4);
        if (headerLength >= kHeadLength && headerLength <= kMaxHeaderLength &&
            headerLength <= ahead.size()) {
            if (headers_ == Headers::InPlace) {
                current_ = ahead.first(headerLength);
            } else {
                if (header_.size() < headerLength) {
                    header_.resize(headerLength);
                }
                std::copy_n(ahead.begin(), headerLength, header_.begin());
                current_ = std::span<const std::uint8_t>(header_).first(headerLength);
            }
            source_.skip(headerLength);
            headerLength_ = headerLength;
            return Step::Record;
        }
    }
    // Headers the source does not show whole, and those that end the data.
    current_ = std::span<const std::uint8_t>(header_).first(
        std::min<std::size_t>(headerLength_, header_.size()));
    std::array<std::uint8_t, kHeadLength> head{};
    if (source_.read(head) < head.size()) {
        return Step::EndOfData;
    }
    const std::uint32_t headerLength = readU32le(head, 4);
    if (headerLength < kHeadLength) {
        reason_ = "header length below 8";
        return Step::Malformed;
    }
    if (headerLength > kMaxHeaderLength) {
        reason_ = "header length too large";
        return Step::Malformed;
    }
    const std::size_t rest = headerLength - kHeadLength;
    if (rest > source_.remaining()) {
        return Step::EndOfData;
    }
    if (header_.size() < headerLength) {
        header_.resize(headerLength);
    }
    std::copy(head.begin(), head.end(), header_.begin());
    if (source_.read(std::span(header_).subspan(kHeadLength, rest)) < rest) {
        return Step::EndOfData;
    }
    headerLength_ = headerLength;
    current_ = std::span<const std::uint8_t>(header_).first(headerLength);
    return Step::Record;
}

}  // namespace pelmar
