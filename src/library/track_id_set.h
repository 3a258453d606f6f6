#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelmar {

// A set of track ids for the loader's hot loops, where playlists name their tracks in any order
// and every lookup lands somewhere new. Players number their tracks densely from a small start,
// so ids below a bound sized from the expected count live in a bitmap a few cache lines wide;
// the rare larger id goes to an open-addressed table. Either costs one probe of a compact array,
// where a node-based set costs scattered reads and an allocation per id.
class TrackIdSet {
  public:
    // Empties the set and sizes it for about `expected` ids.
    void reset(std::size_t expected);
    // True when `id` was not in the set yet.
    bool insert(std::uint32_t id);
    [[nodiscard]] bool contains(std::uint32_t id) const {
        if (id < denseLimit_) {
            return ((bits_[id / 64] >> (id % 64)) & 1u) != 0;
        }
        return sparseContains(id);
    }
    [[nodiscard]] std::size_t size() const { return size_; }

  private:
    // The id that marks a free slot of the table; the set holds it through hasFreeMarker_.
    static constexpr std::uint32_t kFree = 0xFFFFFFFFu;

    [[nodiscard]] bool sparseContains(std::uint32_t id) const;
    bool sparseInsert(std::uint32_t id);
    [[nodiscard]] std::size_t slotOf(std::uint32_t id) const;
    void growTable(std::size_t slots);

    std::vector<std::uint64_t> bits_;  // ids below denseLimit_
    std::uint32_t denseLimit_ = 0;
    std::vector<std::uint32_t> slots_;  // a power of two long, at most half full
    std::size_t tableSize_ = 0;
    int shift_ = 64;  // 64 less the table's bit width
    bool hasFreeMarker_ = false;
    std::size_t size_ = 0;
};

}  // namespace pelmar
