#include "player_image/byte_sink.h"

#include <algorithm>
#include <array>

namespace pelmar::player_image {
namespace {

constexpr std::size_t kFileBufferSize = 8U << 20U;

std::array<std::uint8_t, 4> littleEndian(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8U),
            static_cast<std::uint8_t>(value >> 16U), static_cast<std::uint8_t>(value >> 24U)};
}

}  // namespace

void MemorySink::append(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void MemorySink::patchU32(std::uint64_t offset, std::uint32_t value) {
    const auto bytes = littleEndian(value);
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
}

FileSink::FileSink(const std::filesystem::path& path)
    : out_(path, std::ios::binary | std::ios::trunc) {
    buffer_.reserve(kFileBufferSize);
}

void FileSink::append(std::span<const std::uint8_t> bytes) {
    if (buffer_.size() + bytes.size() > kFileBufferSize) {
        flush();
    }
    if (bytes.size() > kFileBufferSize) {
        out_.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        flushed_ += bytes.size();
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void FileSink::patchU32(std::uint64_t offset, std::uint32_t value) {
    const auto bytes = littleEndian(value);
    if (offset >= flushed_) {
        std::copy(bytes.begin(), bytes.end(),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(offset - flushed_));
        return;
    }
    flush();
    out_.seekp(static_cast<std::streamoff>(offset));
    out_.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    out_.seekp(0, std::ios::end);
}

bool FileSink::finish() {
    flush();
    out_.close();
    return !out_.fail();
}

void FileSink::flush() {
    out_.write(reinterpret_cast<const char*>(buffer_.data()),
               static_cast<std::streamsize>(buffer_.size()));
    flushed_ += buffer_.size();
    buffer_.clear();
}

}  // namespace pelmar::player_image
