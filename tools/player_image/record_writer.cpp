#include "player_image/record_writer.h"

#include "player_image/utf8_text.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kChildHeaderLength = 24;
constexpr std::uint32_t kStringHeaderLength = 16;
constexpr std::uint32_t kListHeaderLength = 92;

void putU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::uint64_t openRecord(ByteSink& sink, const RecordHeader& header) {
    const std::uint64_t start = sink.size();
    sink.append(header.bytes());
    return start;
}

void closeRecord(ByteSink& sink, std::uint64_t start) {
    sink.patchU32(start + 8, static_cast<std::uint32_t>(sink.size() - start));
}

void writeListHeader(ByteSink& sink, std::string_view tag, std::size_t count) {
    RecordHeader header(tag, kListHeaderLength);
    header.set32(8, static_cast<std::uint32_t>(count));
    sink.append(header.bytes());
}

void ChildWriter::writeString(ByteSink& sink, std::uint32_t type, std::string_view utf8,
                              StringEncoding encoding) {
    startChild(type);
    scratch_.resize(kChildHeaderLength + kStringHeaderLength, 0);
    if (encoding == StringEncoding::Utf8) {
        scratch_.insert(scratch_.end(), utf8.begin(), utf8.end());
    } else {
        appendUtf16le(utf8, scratch_);
    }
    putU32(scratch_, kChildHeaderLength, static_cast<std::uint32_t>(encoding));
    putU32(scratch_, kChildHeaderLength + 4,
           static_cast<std::uint32_t>(scratch_.size() - kChildHeaderLength - kStringHeaderLength));
    finishChild(sink);
}

void ChildWriter::writeRawText(ByteSink& sink, std::uint32_t type, std::string_view utf8) {
    startChild(type);
    scratch_.insert(scratch_.end(), utf8.begin(), utf8.end());
    finishChild(sink);
}

void ChildWriter::writeBody(ByteSink& sink, std::uint32_t type,
                            std::span<const std::uint8_t> body) {
    startChild(type);
    scratch_.insert(scratch_.end(), body.begin(), body.end());
    finishChild(sink);
}

void ChildWriter::startChild(std::uint32_t type) {
    scratch_.assign(kChildHeaderLength, 0);
    scratch_[0] = 'm';
    scratch_[1] = 'h';
    scratch_[2] = 'o';
    scratch_[3] = 'd';
    putU32(scratch_, 4, kChildHeaderLength);
    putU32(scratch_, 12, type);
}

void ChildWriter::finishChild(ByteSink& sink) {
    putU32(scratch_, 8, static_cast<std::uint32_t>(scratch_.size()));
    sink.append(scratch_);
}

}  // namespace pelmar::player_image
