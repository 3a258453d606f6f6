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
    // The model numbers of the players this id covers that no refinement names, so that a
    // player known only by its SysInfo file (a copy, a folder) is still named.
    std::string_view numbers;
    std::array<Refinement, 3> refinements{};
};

// Model numbers are given without their first letter, which varies (M, P, x) between units.
constexpr std::array kModels = {
    Model{0x1201, "iPod (3rd generation)", "8976 8946 8948 9244 9245 9460"},
    Model{0x1202, "iPod (2nd generation)", "8737 8738 8740 8741"},
    Model{0x1203, "iPod (4th generation)", "9268 9282 9787"},
    Model{0x1204, "iPod photo", "9585 9586 9829 9830 A079 A127"},
    Model{0x1205, "iPod mini", "9160 9434 9435 9436 9437 9800 9801 9802 9803 9804 9805 9806 9807"},
    Model{0x1209,
          "iPod video (5th generation)",
          "",
          {Refinement{"A002 A146 A003 A147 A452", "iPod video (5th generation)"},
           Refinement{"A444 A446 A448 A450 A664", "iPod video (5.5th generation)"}}},
    Model{0x120A, "iPod nano (1st generation)", "A004 A005 A099 A107 A350 A352"},
    Model{0x1260, "iPod nano (2nd generation)", "A426 A428 A477 A487 A489 A497 A725 A726 A899"},
    Model{0x1261,
          "iPod classic",
          "",
          {Refinement{"B029 B147 B145 B150", "iPod classic (6th generation)"},
           Refinement{"B562 B565", "iPod classic (6.5th generation)"},
           Refinement{"C293 C297", "iPod classic (7th generation)"}}},
    Model{0x1262, "iPod nano (3rd generation)", "A978 A980 B249 B253 B257 B261"},
    Model{0x1263, "iPod nano (4th generation)", "B598 B654 B754 B903"},
    Model{0x1265, "iPod nano (5th generation)", "C027 C031 C037 C040 C046 C050 C060 C062"},
    Model{0x1266, "iPod nano (6th generation)", "C525 C526 C540 C688 C689 C692 C693 C694"},
    Model{0x1267, "iPod nano (7th generation)", "D475 D476 D477 D478 D479 D480 D481 D744"},
    Model{0x1300, "iPod shuffle (1st generation)", "9724 9725"},
    Model{0x1301, "iPod shuffle (2nd generation)", "A546 A947 A951 A953 A954 B225"},
    Model{0x1302, "iPod shuffle (3rd generation)", "B867 C164 C306 C307"},
    Model{0x1303, "iPod shuffle (4th generation)", "C584 C585 C749 C750 C751"},
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

std::string modelForModelNumber(std::string_view modelNumber) {
    const std::string key = modelKey(trimmed(modelNumber));
    if (key.size() != 4) {
        return {};
    }
    for (const Model& model : kModels) {
        for (const Refinement& refinement : model.refinements) {
            if (listed(refinement.numbers, key)) {
                return std::string(refinement.name);
            }
        }
        if (listed(model.numbers, key)) {
            return std::string(model.name);
        }
    }
    return {};
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
    const std::string_view numberText =
        number != properties.end() ? std::string_view(number->second) : std::string_view();
    std::string model;
    if (productId != properties.end()) {
        model = modelForProductId(
            static_cast<std::uint16_t>(std::strtoul(productId->second.c_str(), nullptr, 16)),
            numberText);
    }
    if (model.empty()) {
        model = modelForModelNumber(numberText);
    }
    return model.empty() ? modelName(library.deviceKind) : model;
}

}  // namespace pelmar
