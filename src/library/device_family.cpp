#include "library/device_family.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "library/player_library.h"
#include "platform/system_volumes.h"
#include "util/protected_literals.h"

namespace pelmar {

namespace {

// Players below this size in kilobytes are flash players of the smallest family.
constexpr std::uint64_t kSmallPlayerKilobytes = 1'500'000;

void guessFromCapacity(PlayerLibrary& library, const SystemVolumes& system) {
    std::vector<CandidateVolume> removable;
    for (CandidateVolume& volume : system.volumes()) {
        if (volume.removable) {
            removable.push_back(std::move(volume));
        }
    }
    std::sort(removable.begin(), removable.end(),
              [](const CandidateVolume& a, const CandidateVolume& b) {
                  return a.mountPoint < b.mountPoint;
              });
    for (const CandidateVolume& volume : removable) {
        const std::string root = volume.mountPoint == "/" ? "/" : volume.mountPoint + "/";
        if (!system.holdsMarker(root)) {
            continue;
        }
        const std::optional<VolumeSpace> space = system.space(root);
        const std::uint64_t kilobytes = space ? space->totalBytes >> 10 : 0;
        if (kilobytes > 0 && kilobytes < kSmallPlayerKilobytes) {
            library.deviceKind = device_family::kShuffle;
        }
        return;
    }
}

}  // namespace

std::int32_t familyForProductId(std::uint32_t productId) {
    if (productId == 0x1202 || productId == 0x1205) {
        return device_family::kMini;
    }
    if (productId == 0x120A || productId == 0x1260) {
        return device_family::kNano;
    }
    if (productId >= 0x1300) {
        return device_family::kShuffle;
    }
    return device_family::kDefault;
}

std::string modelName(std::int32_t deviceKind) {
    switch (deviceKind) {
        case device_family::kMini:
            return "Apple iPod mini";
        case device_family::kShuffle:
            return "Apple iPod Shuffle";
        case device_family::kNano:
        case device_family::kNanoAlso:
            return "Apple iPod nano";
        default:
            return "Apple iPod";
    }
}

void detectFamily(PlayerLibrary& library, const SystemVolumes& system) {
    library.deviceKind = device_family::kDefault;
    guessFromCapacity(library, system);
    library.deviceProperties.clear();
    const std::optional<std::uint16_t> productId = system.usbProductId(library.rootPath);
    if (!productId) {
        return;
    }
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04x", *productId);
    const std::string property = reveal(kLiteralUsbProductIdProperty);
    library.deviceProperties[property] = digits;
    library.deviceKind = familyForProductId(static_cast<std::uint32_t>(
        std::strtoul(library.deviceProperties[property].c_str(), nullptr, 16)));
}

}  // namespace pelmar
