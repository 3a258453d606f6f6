#include <array>
#include <stdexcept>
#include <string>

#include "player_image/player_image.h"

namespace pelmar::player_image {
namespace {

// Photo formats by family, largest first as their databases list them.
constexpr std::uint32_t kPhotoPlayerPhotos[] = {1019, 1020, 1015, 1009};
constexpr std::uint32_t kVideoPhotos[] = {1019, 1024, 1036, 1015};
constexpr std::uint32_t kNanoPhotos[] = {1023, 1032};
constexpr std::uint32_t kClassicPhotos[] = {1067, 1024, 1066};
constexpr std::uint32_t kNano4GPhotos[] = {1079, 1083, 1081};
constexpr std::uint32_t kNano5GPhotos[] = {1087, 1079, 1066, 1081};

constexpr std::uint32_t kPhotoPlayerArtwork[] = {1017, 1016};
constexpr std::uint32_t kVideoArtwork[] = {1028, 1029};
constexpr std::uint32_t kNanoArtwork[] = {1031, 1027};
constexpr std::uint32_t kClassicArtwork[] = {1061, 1055, 1068, 1060};
constexpr std::uint32_t kNano4GArtwork[] = {1055, 1068, 1071, 1074, 1078, 1084};
constexpr std::uint32_t kNano5GArtwork[] = {1056, 1078, 1073, 1074};

// Database versions and header lengths as the desktop application of each model's launch wrote
// them. Older track headers stop before +352, so those players find artwork through +20 only.
// The nano 6G and 7G keep the nano 5G's picture formats.
constexpr std::array<PlayerModel, 11> kModels{{
    {Model::Mixed, "mixed", 0, "", 0x19, 0xBC, 584, {}, {}, false, false, false},
    {Model::Photo, "photo", 0x1204, "M9829", 0x0C, 0x68, 244, kPhotoPlayerPhotos,
     kPhotoPlayerArtwork, false, false, true},
    {Model::Video5G, "video5g", 0x1209, "MA002", 0x0F, 0x68, 328, kVideoPhotos, kVideoArtwork,
     false, false, true},
    {Model::Video55G, "video55g", 0x1209, "xA444", 0x13, 0x68, 388, kVideoPhotos, kVideoArtwork,
     false, false, true},
    {Model::Nano2G, "nano2g", 0x1260, "MA477", 0x13, 0x68, 388, kNanoPhotos, kNanoArtwork, false,
     false, false},
    {Model::Classic, "classic", 0x1261, "xB029", 0x19, 0xBC, 584, kClassicPhotos, kClassicArtwork,
     false, false, true},
    {Model::Nano3G, "nano3g", 0x1262, "PA978", 0x19, 0xBC, 584, kClassicPhotos, kClassicArtwork,
     false, false, false},
    {Model::Nano4G, "nano4g", 0x1263, "MB598", 0x1C, 0xBC, 584, kNano4GPhotos, kNano4GArtwork,
     false, false, false},
    {Model::Nano5G, "nano5g", 0x1265, "MC031", 0x28, 0xF4, 584, kNano5GPhotos, kNano5GArtwork, true,
     false, false},
    {Model::Nano6G, "nano6g", 0x1266, "MC525", 0x30, 0xF4, 584, kNano5GPhotos, kNano5GArtwork, true,
     true, false},
    {Model::Nano7G, "nano7g", 0x1267, "PD480", 0x4B, 0xF4, 584, kNano5GPhotos, kNano5GArtwork, true,
     true, false},
}};

}  // namespace

std::span<const PlayerModel> playerModels() {
    return kModels;
}

const PlayerModel& playerModel(Model model) {
    for (const PlayerModel& described : kModels) {
        if (described.model == model) {
            return described;
        }
    }
    throw std::invalid_argument("no model " + std::to_string(static_cast<int>(model)));
}

const PlayerModel* findPlayerModel(std::string_view name) {
    for (const PlayerModel& described : kModels) {
        if (described.name == name) {
            return &described;
        }
    }
    return nullptr;
}

Options optionsFor(Model model) {
    const PlayerModel& described = playerModel(model);
    Options options;
    options.model = model;
    options.trackHeaderLength = described.trackHeaderLength;
    options.withPlayCounts = !described.sqliteDatabases;
    return options;
}

}  // namespace pelmar::player_image
