#pragma once

#include <cstdint>
#include <vector>

#include "library/kernel_id.h"

// The cursor walks shared by the library's enumerations: *first* resets the cursor and returns
// the element count (0 for none); *next* returns 1, or 0 at the end.
namespace pelmar::enumeration {

// Items of a playlist or album: `id` the item, `position` its place. Null items count as none.
inline int nextItem(const std::vector<std::uint32_t>* items, int& cursor, KernelId& out) {
    if (items == nullptr || cursor < 0 || static_cast<std::size_t>(cursor) >= items->size()) {
        return 0;
    }
    out.id = (*items)[static_cast<std::size_t>(cursor)];
    out.position = static_cast<std::uint32_t>(cursor);
    ++cursor;
    return 1;
}

inline int firstItem(const std::vector<std::uint32_t>* items, int& cursor, KernelId& out) {
    if (items == nullptr || items->empty()) {
        return 0;
    }
    cursor = 0;
    nextItem(items, cursor, out);
    return static_cast<int>(items->size());
}

// Copies of the elements of a sorted id list.
inline int nextCopy(const std::vector<KernelId>& list, int& cursor, KernelId& out) {
    if (cursor < 0 || static_cast<std::size_t>(cursor) >= list.size()) {
        return 0;
    }
    out = list[static_cast<std::size_t>(cursor)];
    ++cursor;
    return 1;
}

inline int firstCopy(const std::vector<KernelId>& list, int& cursor, KernelId& out) {
    cursor = 0;
    if (list.empty()) {
        return 0;
    }
    nextCopy(list, cursor, out);
    return static_cast<int>(list.size());
}

}  // namespace pelmar::enumeration
