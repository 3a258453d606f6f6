#pragma once

#include <cstdint>
#include <span>

namespace pelmar::player_image {

// splitmix64 with our own range reduction: the standard distributions may give other numbers
// with another library version, and images must stay identical everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // 0 <= result < bound; 0 when bound is 0.
    std::uint32_t below(std::uint32_t bound) {
        return static_cast<std::uint32_t>(((next() >> 32) * bound) >> 32);
    }

    // lowest <= result <= highest.
    std::uint32_t between(std::uint32_t lowest, std::uint32_t highest) {
        return lowest + static_cast<std::uint32_t>(
                            ((next() >> 32) * (std::uint64_t{highest} - lowest + 1)) >> 32);
    }

    bool percent(std::uint32_t chance) { return below(100) < chance; }

    template <typename T>
    const T& pick(std::span<const T> items) {
        return items[below(static_cast<std::uint32_t>(items.size()))];
    }

  private:
    std::uint64_t state_;
};

}  // namespace pelmar::player_image
