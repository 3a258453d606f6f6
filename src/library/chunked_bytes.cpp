#include "library/chunked_bytes.h"

#include <algorithm>
#include <cstring>

namespace pelmar {

std::span<std::uint8_t> ChunkedBytes::room(std::size_t atMost) {
    const auto used = static_cast<std::size_t>(size_ % kChunkSize);
    if (atMost == 0) {
        return {};
    }
    if (used == 0 && chunks_.size() * std::uint64_t{kChunkSize} == size_) {
        chunks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSize));
    }
    return {chunks_.back().get() + used, std::min(atMost, kChunkSize - used)};
}

void ChunkedBytes::commit(std::size_t count) {
    size_ += count;
}

void ChunkedBytes::append(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::span<std::uint8_t> into = room(bytes.size());
        std::memcpy(into.data(), bytes.data(), into.size());
        commit(into.size());
        bytes = bytes.subspan(into.size());
    }
}

std::size_t ChunkedBytes::copyOut(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size() && offset < size_) {
        const auto chunk = static_cast<std::size_t>(offset / kChunkSize);
        const auto within = static_cast<std::size_t>(offset % kChunkSize);
        const std::size_t n = static_cast<std::size_t>(
            std::min<std::uint64_t>({out.size() - done, kChunkSize - within, size_ - offset}));
        std::memcpy(out.data() + done, chunks_[chunk].get() + within, n);
        done += n;
        offset += n;
    }
    return done;
}

std::size_t ChunkedByteSource::read(std::span<std::uint8_t> out) {
    const std::size_t n = bytes_.copyOut(position_, out);
    position_ += n;
    return n;
}

std::span<const std::uint8_t> ChunkedBytes::chunkFrom(std::uint64_t offset) const {
    if (offset >= size_) {
        return {};
    }
    const auto chunk = static_cast<std::size_t>(offset / kChunkSize);
    const auto within = static_cast<std::size_t>(offset % kChunkSize);
    const auto length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize - within, size_ - offset));
    return {chunks_[chunk].get() + within, length};
}

std::span<const std::uint8_t> ChunkedByteSource::peek(std::size_t /*wanted*/) {
    return bytes_.chunkFrom(position_);
}

void ChunkedByteSource::skip(std::uint64_t count) {
    position_ += std::min(count, remaining());
}

}  // namespace pelmar
