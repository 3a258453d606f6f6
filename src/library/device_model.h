#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmar {

class PlayerLibrary;

// The device property holding the model number the player states in its SysInfo file.
inline constexpr std::string_view kModelNumberProperty = "Model Number";

// The model name users know for a player with this USB product id ("iPod classic", "iPod nano
// (5th generation)", ...). Where one id covers several models, a model number from the player
// ("xB029", "MA448") that names one of them picks it. Empty for an id of no known player.
[[nodiscard]] std::string modelForProductId(std::uint16_t productId, std::string_view modelNumber);

// The model name for a model number alone ("xB029", "MC525"), for a player whose USB product id
// is not known: a folder or a copy of a player. Empty for a number of no known player.
[[nodiscard]] std::string modelForModelNumber(std::string_view modelNumber);

// The ModelNumStr value of a SysInfo file's text; empty when it has none.
[[nodiscard]] std::string modelNumberFromSysInfo(std::string_view text);

// Keeps the model number of the player's SysInfo file among the device properties; a player
// without a readable one keeps none.
void readDeviceIdentity(PlayerLibrary& library);

// The connected player's model, from the device properties: by the USB product id, refined by
// the model number; by the model number alone where the id is not known or names no known
// player; else the family's name.
[[nodiscard]] std::string playerModel(const PlayerLibrary& library);

}  // namespace pelmar
