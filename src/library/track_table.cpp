#include "library/track_table.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace pelmar {

namespace {

constexpr std::size_t kFewestSlots = 16;

// Ids are mostly handed out one after another, and kept in their own order they fill the index
// one slot after another, so that storing or finding a run of them stays in one part of memory.
// The bits above the index's own are folded into it, so ids that differ only there do not all
// meet in one slot.
std::size_t spread(std::uint32_t id, std::size_t slotCount) {
    const auto bits = static_cast<unsigned>(std::countr_zero(slotCount));
    const std::uint64_t folded = bits >= 32 ? id : id ^ (id >> bits);
    return static_cast<std::size_t>(folded) & (slotCount - 1);
}

}  // namespace

void TrackTable::clear() {
    records_.clear();
    slots_.clear();
}

void TrackTable::reserve(std::size_t count) {
    records_.reserve(count);
    std::size_t slotCount = kFewestSlots;
    while (slotCount < 2 * count) {
        slotCount *= 2;
    }
    if (slotCount > slots_.size()) {
        rebuildIndex(slotCount);
    }
}

std::size_t TrackTable::slotFor(std::uint32_t id) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = spread(id, slots_.size());
    while (slots_[slot].place != 0 && slots_[slot].id != id) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

std::size_t TrackTable::placeOf(std::uint32_t id) const {
    if (slots_.empty()) {
        return kNone;
    }
    const Slot& slot = slots_[slotFor(id)];
    return slot.place == 0 ? kNone : slot.place - 1;
}

TrackTable::iterator TrackTable::find(std::uint32_t id) {
    const std::size_t place = placeOf(id);
    return place == kNone ? records_.end() : records_.begin() + static_cast<std::ptrdiff_t>(place);
}

TrackTable::const_iterator TrackTable::find(std::uint32_t id) const {
    const std::size_t place = placeOf(id);
    return place == kNone ? records_.end() : records_.begin() + static_cast<std::ptrdiff_t>(place);
}

MhTrackData& TrackTable::at(std::uint32_t id) {
    const std::size_t place = placeOf(id);
    if (place == kNone) {
        throw std::out_of_range("no track with that id");
    }
    return records_[place].second;
}

const MhTrackData& TrackTable::at(std::uint32_t id) const {
    const std::size_t place = placeOf(id);
    if (place == kNone) {
        throw std::out_of_range("no track with that id");
    }
    return records_[place].second;
}

std::pair<TrackTable::iterator, bool> TrackTable::store(std::uint32_t id, MhTrackData&& track,
                                                        bool replace) {
    if (2 * (records_.size() + 1) > slots_.size()) {
        rebuildIndex(std::max(kFewestSlots, 2 * slots_.size()));
    }
    Slot& slot = slots_[slotFor(id)];
    if (slot.place != 0) {
        const auto at = records_.begin() + static_cast<std::ptrdiff_t>(slot.place - 1);
        if (replace) {
            at->second = std::move(track);
        }
        return {at, false};
    }
    records_.emplace_back(id, std::move(track));
    slot = {id, static_cast<std::uint32_t>(records_.size())};
    return {records_.end() - 1, true};
}

void TrackTable::rebuildIndex(std::size_t slotCount) {
    slots_.assign(slotCount, Slot{});
    for (std::size_t place = 0; place < records_.size(); ++place) {
        const std::uint32_t id = records_[place].first;
        slots_[slotFor(id)] = {id, static_cast<std::uint32_t>(place + 1)};
    }
}

}  // namespace pelmar
