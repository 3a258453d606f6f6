#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace pelmar {

// Identifies one item of an enumeration or a selection: a track by its id, a playlist or photo
// album by its index in the name list, an item of either by id and position.
struct KernelId {
    static constexpr std::size_t kTextCapacity = 256;

    std::uint32_t id = 0;
    std::uint32_t aux1 = 0;
    std::uint32_t aux2 = 0;
    std::uint32_t position = 0;
    std::string text;

    void setText(std::string_view value);

    friend bool operator==(const KernelId&, const KernelId&) = default;
};

}  // namespace pelmar

template <>
struct std::hash<pelmar::KernelId> {
    std::size_t operator()(const pelmar::KernelId& k) const noexcept { return k.id >> 4; }
};
