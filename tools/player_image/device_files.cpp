#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "player_image/player_image.h"

// The small files beside the databases: the on-the-go playlists and the device's identity.
namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kOnTheGoHeaderLength = 0x14;
constexpr std::uint32_t kOnTheGoEntryLength = 4;
// Entries the damage leaves out of the last file.
constexpr std::size_t kMissingEntries = 2;

void appendU32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

}  // namespace

std::vector<std::uint8_t> onTheGoBytes(const PlayerImage& image, std::size_t index,
                                       OnTheGoDamage damage) {
    const std::vector<std::uint32_t>& entries = image.onTheGoPlaylists.at(index);
    std::vector<std::uint8_t> bytes{'m', 'h', 'p', 'o'};
    appendU32(bytes, kOnTheGoHeaderLength);
    appendU32(bytes, kOnTheGoEntryLength);
    appendU32(bytes, static_cast<std::uint32_t>(entries.size()));
    bytes.resize(kOnTheGoHeaderLength, 0);
    for (const std::uint32_t entry : entries) {
        appendU32(bytes, entry);
    }
    if (damage == OnTheGoDamage::ShortFile && index + 1 == image.onTheGoPlaylists.size()) {
        bytes.resize(bytes.size() -
                     std::min(entries.size(), kMissingEntries) * kOnTheGoEntryLength);
    }
    return bytes;
}

std::string sysInfoText(const PlayerImage& image) {
    const PlayerModel& model = playerModel(image.model);
    if (model.modelNumber.empty()) {
        return {};
    }
    std::string text;
    const auto line = [&text](std::string_view key, std::string_view value) {
        text.append(key).append(": ").append(value).append("\n");
    };
    line("BoardHwName", model.name);
    line("pszSerialNumber", "8K" + image.firewireGuid.substr(image.firewireGuid.size() - 8) + "Y");
    line("ModelNumStr", model.modelNumber);
    line("FirewireGuid", image.firewireGuid);
    line("HddFirmwareRev", "BU123");
    line("RegionCode", "LL(0x0001)");
    line("PolicyFlags", "0x00000000");
    line("buildID", "0x02318000 (1.2.3)");
    line("visibleBuildID", "0x02318000 (1.2.3)");
    line("boardHwRev", "0x00000000 (0.0 0)");
    return text;
}

}  // namespace pelmar::player_image
