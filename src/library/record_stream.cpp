#include "library/record_stream.h"

#include <array>

namespace pelmar {

namespace {
// Real headers are a few hundred bytes; anything this large is damage, not data.
constexpr std::uint32_t kMaxHeaderLength = 64 * 1024;
constexpr std::size_t kHeadLength = 8;
}  // namespace

RecordStream::Step RecordStream::next() {
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
    return Step::Record;
}

}  // namespace pelmar
