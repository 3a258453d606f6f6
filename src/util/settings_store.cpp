#include "util/settings_store.h"

#include <cstdlib>
#include <limits>
#include <mutex>
#include <optional>
#include <utility>

#include <sys/stat.h>
#include <nlohmann/json.hpp>

#include "util/literal_store.h"
#include "util/protected_literals.h"
#include "util/small_file.h"
#include "util/user_folders.h"
#include "util/utf8.h"

namespace pelmar {

namespace {

using Json = nlohmann::json;

constexpr const char* kFileName = "settings.json";
// Stored texts are accepted up to 1023 bytes: 1024 with the NUL that 8-bit texts end with.
constexpr std::size_t kMaxTextBytes = 1023;
// Far above any real settings file; a larger file counts as damaged rather than being read.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;
// JSON holds only UTF-8. A text in another code page is stored as {"bytes": "<hex>"}.
constexpr const char* kBytesKey = "bytes";

// Serialises every read-change-write of the settings file within the process, for every store,
// so that two threads writing different values never lose one of them.
std::mutex& writeMutex() {
    static std::mutex mutex;
    return mutex;
}

struct Settings {
    SmallFile::State state = SmallFile::State::Missing;
    Json values = Json::object();

    // The settings file is there to read (a damaged one included): the "key" exists.
    [[nodiscard]] bool exists() const {
        return state == SmallFile::State::Read || state == SmallFile::State::TooLarge;
    }
};

Settings load(const std::filesystem::path& file) {
    const SmallFile read = readSmallFile(file, kMaxFileBytes);
    Settings settings;
    settings.state = read.state;
    try {
        Json parsed = Json::parse(read.bytes, nullptr, false);
        if (parsed.is_object()) {
            settings.values = std::move(parsed);
        }
    } catch (const std::exception&) {
        // A file the parser cannot hold reads as damaged: no values.
    }
    return settings;
}

std::string hexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::optional<std::string> bytesOfHex(std::string_view hex) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        return -1;
    };
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = digit(hex[i]);
        const int low = digit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

Json textValue(std::string_view text) {
    if (utf8::isValid(text)) {
        return std::string(text);
    }
    return Json{{kBytesKey, hexOf(text)}};
}

std::optional<std::string> storedText(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (!value.is_object() || value.size() != 1) {
        return std::nullopt;
    }
    const auto hex = value.find(kBytesKey);
    if (hex == value.end() || !hex->is_string()) {
        return std::nullopt;
    }
    return bytesOfHex(hex->get_ref<const std::string&>());
}

std::optional<std::string> textOf(const Json& value) {
    std::optional<std::string> text = storedText(value);
    if (!text || text->size() > kMaxTextBytes) {
        return std::nullopt;
    }
    if (const std::size_t nul = text->find('\0'); nul != std::string::npos) {
        text->resize(nul);
    }
    return text;
}

std::string_view untilNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path SettingsStore::defaultFolder() {
    if (const char* folder = std::getenv("PELMAR_CONFIG_DIR"); folder != nullptr && *folder != 0) {
        return folder;
    }
    const std::filesystem::path config = configHome();
    return config.empty() ? config : config / reveal(kLiteralSettingsFolder);
}

bool SettingsStore::readString(std::string_view name, std::string& text) const {
    if (folder_.empty()) {
        return false;
    }
    const Settings settings = load(folder_ / kFileName);
    if (const auto value = settings.values.find(std::string(name));
        value != settings.values.end()) {
        if (std::optional<std::string> stored = textOf(*value)) {
            text = std::move(*stored);
        }
    }
    return settings.exists();
}

bool SettingsStore::readNumber(std::string_view name, std::uint32_t& number) const {
    if (folder_.empty()) {
        return false;
    }
    const Settings settings = load(folder_ / kFileName);
    if (const auto value = settings.values.find(std::string(name));
        value != settings.values.end() && value->is_number_unsigned()) {
        const auto stored = value->get<std::uint64_t>();
        if (stored <= std::numeric_limits<std::uint32_t>::max()) {
            number = static_cast<std::uint32_t>(stored);
        }
    }
    return settings.exists();
}

std::string SettingsStore::string(std::string_view name, std::string fallback) const {
    readString(name, fallback);
    return fallback;
}

std::uint32_t SettingsStore::number(std::string_view name, std::uint32_t fallback) const {
    readNumber(name, fallback);
    return fallback;
}

void SettingsStore::writeString(std::string_view name, std::string_view text) {
    if (folder_.empty()) {
        return;
    }
    const std::lock_guard lock(writeMutex());
    try {
        Settings settings = load(folder_ / kFileName);
        if (settings.state == SmallFile::State::Unreadable) {
            return;  // a file this process cannot read is not one to overwrite
        }
        if (settings.state == SmallFile::State::Missing) {
            std::error_code ignored;
            std::filesystem::create_directories(folder_.parent_path(), ignored);
            ::mkdir(folder_.c_str(), 0700);
        }
        settings.values[std::string(name)] = textValue(untilNul(text));
        (void)replaceFileAtomically(folder_ / kFileName, settings.values.dump(4) + "\n");
    } catch (const std::exception&) {
        // Failures are silent: the file stays as it was.
    }
}

void SettingsStore::writeNumber(std::string_view name, std::uint32_t number) {
    if (folder_.empty()) {
        return;
    }
    const std::lock_guard lock(writeMutex());
    try {
        Settings settings = load(folder_ / kFileName);
        if (!settings.exists()) {
            return;
        }
        settings.values[std::string(name)] = number;
        (void)replaceFileAtomically(folder_ / kFileName, settings.values.dump(4) + "\n");
    } catch (const std::exception&) {
        // Failures are silent: the file stays as it was.
    }
}

}  // namespace pelmar
