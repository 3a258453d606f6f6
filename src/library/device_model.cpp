#include "library/device_model.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "library/device_family.h"
#include "library/player_files.h"
#include "library/player_library.h"
#include "util/byte_source.h"
#include "util/protected_literals.h"

namespace pelmar {

namespace {

// SysInfo files are a few kilobytes of text; nothing past this is read.
constexpr std::size_t kMaxSysInfoBytes = 64 * 1024;

struct Refinement {
    std::string_view numbers;  // four-character model numbers, space-separated
    std::string_view name;
};

struct Model {
    std::uint16_t productId;
    std::string_view name;
    std::array<Refinement, 3> refinements{};
};

// Model numbers are given without their first letter, which varies (M, P, x) between units.
constexpr std::array kModels = {
    Model{0x1201, "iPod (3rd generation)"},
    Model{0x1202, "iPod (2nd generation)"},
    Model{0x1203, "iPod (4th generation)"},
    Model{0x1204, "iPod photo"},
    Model{0x1205, "iPod mini"},
    Model{0x1209,
          "iPod video (5th generation)",
          {Refinement{"A002 A146 A003 A147 A452", "iPod video (5th generation)"},
           Refinement{"A444 A446 A448 A450 A664", "iPod video (5.5th generation)"}}},
    Model{0x120A, "iPod nano (1st generation)"},
    Model{0x1260, "iPod nano (2nd generation)"},
    Model{0x1261,
          "iPod classic",
          {Refinement{"B029 B147 B145 B150", "iPod classic (6th generation)"},
           Refinement{"B562 B565", "iPod classic (6.5th generation)"},
           Refinement{"C293 C297", "iPod classic (7th generation)"}}},
    Model{0x1262, "iPod nano (3rd generation)"},
    Model{0x1263, "iPod nano (4th generation)"},
    Model{0x1265, "iPod nano (5th generation)"},
    Model{0x1266, "iPod nano (6th generation)"},
    Model{0x1267, "iPod nano (7th generation)"},
    Model{0x1300, "iPod shuffle (1st generation)"},
    Model{0x1301, "iPod shuffle (2nd generation)"},
    Model{0x1302, "iPod shuffle (3rd generation)"},
    Model{0x1303, "iPod shuffle (4th generation)"},
};

std::string_view trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// "B029" of "xB029" or "MB029LL/A", upper-cased; empty when too short to name a model.
std::string modelKey(std::string_view number) {
    if (number.size() < 5) {
        return {};
    }
    std::string key(number.substr(1, 4));
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return key;
}

bool listed(std::string_view numbers, std::string_view key) {
    for (std::size_t pos = 0; pos + key.size() <= numbers.size(); pos += key.size() + 1) {
        if (numbers.substr(pos, key.size()) == key) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string modelForProductId(std::uint16_t productId, std::string_view modelNumber) {
    const auto model = std::find_if(kModels.begin(), kModels.end(),
                                    [&](const Model& m) { return m.productId == productId; });
    if (model == kModels.end()) {
        return {};
    }
    const std::string key = modelKey(trimmed(modelNumber));
    for (const Refinement& refinement : model->refinements) {
        if (key.size() == 4 && listed(refinement.numbers, key)) {
            return std::string(refinement.name);
        }
    }
    return std::string(model->name);
}

std::string modelNumberFromSysInfo(std::string_view text) {
    constexpr std::string_view kKey = "ModelNumStr:";
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        if (line.substr(0, kKey.size()) == kKey) {
            return std::string(trimmed(line.substr(kKey.size())));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return {};
}

void readDeviceIdentity(PlayerLibrary& library) {
    library.deviceProperties.erase(std::string(kModelNumberProperty));
    const std::unique_ptr<ByteSource> file = openPlayerFile(library, kSysInfoPath);
    if (!file) {
        return;
    }
    std::vector<std::uint8_t> bytes(
        static_cast<std::size_t>(std::min<std::uint64_t>(file->size(), kMaxSysInfoBytes)));
    bytes.resize(file->read(bytes));
    const std::string number = modelNumberFromSysInfo(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!number.empty()) {
        library.deviceProperties[std::string(kModelNumberProperty)] = number;
    }
}

std::string playerModel(const PlayerLibrary& library) {
    const auto& properties = library.deviceProperties;
    const auto productId = properties.find(reveal(kLiteralUsbProductIdProperty));
    const auto number = properties.find(std::string(kModelNumberProperty));
    std::string model;
    if (productId != properties.end()) {
        model = modelForProductId(
            static_cast<std::uint16_t>(std::strtoul(productId->second.c_str(), nullptr, 16)),
            number != properties.end() ? std::string_view(number->second) : std::string_view());
    }
    return model.empty() ? modelName(library.deviceKind) : model;
}

}  // namespace pelmar
