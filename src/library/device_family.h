#pragma once

#include <cstdint>
#include <string>

namespace pelmar {

class PlayerLibrary;
class SystemVolumes;

// Player families, as `deviceKind` holds them.
namespace device_family {
inline constexpr std::int32_t kDefault = 0;
inline constexpr std::int32_t kMini = 1;
inline constexpr std::int32_t kShuffle = 2;
inline constexpr std::int32_t kNano = 3;
inline constexpr std::int32_t kNanoAlso = 5;
}  // namespace device_family

// The family a USB product number stands for.
[[nodiscard]] std::int32_t familyForProductId(std::uint32_t productId);

// The model name shown for a family.
[[nodiscard]] std::string modelName(std::int32_t deviceKind);

// Works out the connected player's family from the USB product number of the device holding
// `rootPath`, with a guess from the size of the first removable player volume when the device
// is not on USB. Stores the product number among the device properties.
void detectFamily(PlayerLibrary& library, const SystemVolumes& system);

}  // namespace pelmar
