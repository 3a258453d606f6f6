#include "library/track_id_set.h"

#include <algorithm>
#include <bit>

namespace pelmar {

namespace {
constexpr std::size_t kSmallestTable = 16;
// Room for ids up to this many times the expected count: well past the gaps players leave, at
// four bytes of bitmap per expected id.
constexpr std::uint64_t kDenseSpread = 32;
constexpr std::uint64_t kSmallestDenseLimit = 1024;
}  // namespace

void TrackIdSet::reset(std::size_t expected) {
    // A multiple of 64 below 2^32, so that every id below it has its bit.
    const std::uint64_t limit = std::min<std::uint64_t>(
        std::max<std::uint64_t>(kSmallestDenseLimit, std::uint64_t{expected} * kDenseSpread),
        std::uint64_t{kFree} & ~std::uint64_t{63});
    bits_.assign(static_cast<std::size_t>((limit + 63) / 64), 0);
    denseLimit_ = static_cast<std::uint32_t>(bits_.size() * 64);
    slots_.clear();
    tableSize_ = 0;
    shift_ = 64;
    hasFreeMarker_ = false;
    size_ = 0;
}

bool TrackIdSet::insert(std::uint32_t id) {
    bool added = false;
    if (id < denseLimit_) {
        std::uint64_t& word = bits_[id / 64];
        const std::uint64_t bit = std::uint64_t{1} << (id % 64);
        added = (word & bit) == 0;
        word |= bit;
    } else {
        added = sparseInsert(id);
    }
    size_ += added ? 1 : 0;
    return added;
}

std::size_t TrackIdSet::slotOf(std::uint32_t id) const {
    // The top bits of the product spread consecutive ids over the whole table.
    return static_cast<std::size_t>((std::uint64_t{id} * 0x9E3779B97F4A7C15u) >> shift_);
}

void TrackIdSet::growTable(std::size_t slots) {
    std::vector<std::uint32_t> old(slots, kFree);
    old.swap(slots_);
    shift_ = 64 - std::countr_zero(slots);
    for (const std::uint32_t id : old) {
        if (id != kFree) {
            std::size_t slot = slotOf(id);
            while (slots_[slot] != kFree) {
                slot = (slot + 1) & (slots_.size() - 1);
            }
            slots_[slot] = id;
        }
    }
}

bool TrackIdSet::sparseInsert(std::uint32_t id) {
    if (id == kFree) {
        const bool added = !hasFreeMarker_;
        hasFreeMarker_ = true;
        return added;
    }
    if ((tableSize_ + 1) * 2 > slots_.size()) {
        growTable(std::max(kSmallestTable, slots_.size() * 2));
    }
    std::size_t slot = slotOf(id);
    while (slots_[slot] != kFree) {
        if (slots_[slot] == id) {
            return false;
        }
        slot = (slot + 1) & (slots_.size() - 1);
    }
    slots_[slot] = id;
    ++tableSize_;
    return true;
}

bool TrackIdSet::sparseContains(std::uint32_t id) const {
    if (id == kFree) {
        return hasFreeMarker_;
    }
    if (slots_.empty()) {
        return false;
    }
    std::size_t slot = slotOf(id);
    while (slots_[slot] != kFree) {
        if (slots_[slot] == id) {
            return true;
        }
        slot = (slot + 1) & (slots_.size() - 1);
    }
    return false;
}

}  // namespace pelmar
