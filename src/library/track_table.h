#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "library/track_data.h"

namespace pelmar {

// Every track record by its id. The records lie side by side in the order they were stored, and
// a small open-addressed index of ids finds them: a library of 100,000 tracks is stored, looked
// through and freed without a separate allocation per record, and a look-up reads one slot of
// eight bytes before the record itself. Storing a record may move the others, so no reference
// into the table outlives the next record stored.
class TrackTable {
  public:
    using value_type = std::pair<const std::uint32_t, MhTrackData>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    [[nodiscard]] iterator begin() { return records_.begin(); }
    [[nodiscard]] iterator end() { return records_.end(); }
    [[nodiscard]] const_iterator begin() const { return records_.begin(); }
    [[nodiscard]] const_iterator end() const { return records_.end(); }
    [[nodiscard]] std::size_t size() const { return records_.size(); }
    [[nodiscard]] bool empty() const { return records_.empty(); }

    void clear();
    void reserve(std::size_t count);

    [[nodiscard]] iterator find(std::uint32_t id);
    [[nodiscard]] const_iterator find(std::uint32_t id) const;
    [[nodiscard]] bool contains(std::uint32_t id) const { return placeOf(id) != kNone; }
    // Throw std::out_of_range for an id without a record.
    [[nodiscard]] MhTrackData& at(std::uint32_t id);
    [[nodiscard]] const MhTrackData& at(std::uint32_t id) const;
    // The id's record, an empty one stored first when it has none.
    MhTrackData& operator[](std::uint32_t id) {
        return store(id, MhTrackData{}, false).first->second;
    }

    // Store the record under the id; the first replaces one already there, the second keeps it.
    std::pair<iterator, bool> insert_or_assign(std::uint32_t id, MhTrackData track) {
        return store(id, std::move(track), true);
    }
    std::pair<iterator, bool> emplace(std::uint32_t id, MhTrackData track) {
        return store(id, std::move(track), false);
    }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    struct Slot {
        std::uint32_t id = 0;
        std::uint32_t place = 0;  // the record's place + 1; 0 for an empty slot
    };

    [[nodiscard]] std::size_t placeOf(std::uint32_t id) const;
    [[nodiscard]] std::size_t slotFor(std::uint32_t id) const;
    std::pair<iterator, bool> store(std::uint32_t id, MhTrackData&& track, bool replace);
    void rebuildIndex(std::size_t slotCount);

    std::vector<value_type> records_;
    // A power of two in length, never more than half full.
    std::vector<Slot> slots_;
};

}  // namespace pelmar
