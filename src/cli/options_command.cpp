#include "cli/options_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <span>
#include <string_view>

#include "backup/backup_options.h"
#include "cli/output_buffer.h"
#include "cli/player_session.h"
#include "cli/text_table.h"
#include "util/setting_names.h"
#include "util/settings_store.h"

namespace pelmar::cli {

namespace {

struct TextOption {
    const char* name;
    std::string_view fallback;
    std::span<const std::string_view> choices;  // empty: any text
};

const TextOption kTextOptions[] = {
    {kSettingDestinationFolder, "", {}},
    {kSettingFolderTemplate, kDefaultFolderTemplate, kFolderTemplates},
    {kSettingFileTemplate, kDefaultFileTemplate, kFileTemplates},
    {kSettingExistingFile, kExistDoNotCopy, kExistingFileChoices},
};

// Switches stored as 0 or 1, each with the default its readers use.
struct SwitchOption {
    const char* name;
    std::uint32_t fallback;
};

const SwitchOption kSwitchOptions[] = {
    {kSettingEnableITunes, 0},
    {kSettingSaveArtwork, 1},
    {kSettingWriteTags, 0},
};

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Stored texts never hold a NUL, so a default that holds one tells an absent value apart.
std::optional<std::string> storedText(const SettingsStore& settings, const char* name) {
    const std::string absent(1, '\0');
    std::string value = settings.string(name, absent);
    return value == absent ? std::nullopt : std::optional<std::string>(std::move(value));
}

std::optional<std::uint32_t> storedNumber(const SettingsStore& settings, const char* name) {
    const std::uint32_t value = settings.number(name, 0);
    return value == settings.number(name, 1) ? std::optional<std::uint32_t>(value) : std::nullopt;
}

std::string listOf(std::span<const std::string_view> choices) {
    std::string text;
    for (const std::string_view choice : choices) {
        text += "\n  ";
        text += choice;
    }
    return text;
}

}  // namespace

int showOptions(const SettingsStore& settings, std::FILE* out) {
    std::vector<std::array<std::string, 3>> rows;
    for (const TextOption& option : kTextOptions) {
        const std::optional<std::string> stored = storedText(settings, option.name);
        std::string value = stored.value_or(std::string(option.fallback));
        if (option.name == std::string_view(kSettingExistingFile) &&
            std::find(kExistingFileChoices.begin(), kExistingFileChoices.end(), value) ==
                kExistingFileChoices.end()) {
            value = kExistDoNotCopy;
        }
        if (option.name == std::string_view(kSettingDestinationFolder) && value.empty()) {
            value = "(none chosen)";
        }
        rows.push_back({option.name, value, stored ? "stored" : "default"});
    }
    for (const SwitchOption& option : kSwitchOptions) {
        const std::optional<std::uint32_t> stored = storedNumber(settings, option.name);
        rows.push_back({option.name, std::to_string(stored.value_or(option.fallback)),
                        stored ? "stored" : "default"});
    }

    OutputBuffer buffer(out);
    printTable(buffer, {{"Setting", false, 20}, {"Value", false, 80}, {"From", false, 8}},
               rows.size(), [&](std::size_t row, std::vector<std::string>& cells) {
                   cells.assign(rows[row].begin(), rows[row].end());
               });
    return buffer.flush() ? kExitOk : kExitFailed;
}

int setOption(SettingsStore& settings, const std::string& name, const std::string& value,
              std::FILE* errors) {
    const auto isSwitch = [&](const SwitchOption& option) { return name == option.name; };
    if (std::any_of(std::begin(kSwitchOptions), std::end(kSwitchOptions), isSwitch)) {
        std::uint32_t number = 2;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc{} || end != value.data() + value.size() || number > 1) {
            std::fprintf(errors, "pelmar: %s takes 0 or 1\n", name.c_str());
            return kExitUsage;
        }
        settings.writeNumber(name, number);
        if (storedNumber(settings, name.c_str()) != number) {
            std::fprintf(errors,
                         "pelmar: %s was not stored: a number is kept only once another backup "
                         "option has been saved (for instance %s)\n",
                         name.c_str(), kSettingExistingFile);
            return kExitFailed;
        }
        return kExitOk;
    }
    for (const TextOption& option : kTextOptions) {
        if (name != option.name) {
            continue;
        }
        std::string chosen = value;
        if (!option.choices.empty()) {
            const auto match =
                std::find_if(option.choices.begin(), option.choices.end(),
                             [&](std::string_view c) { return equalNoCase(c, value); });
            if (match == option.choices.end()) {
                std::fprintf(errors, "pelmar: %s must be one of:%s\n", name.c_str(),
                             listOf(option.choices).c_str());
                return kExitUsage;
            }
            chosen = *match;
        }
        settings.writeString(name, chosen);
        if (storedText(settings, option.name) != chosen) {
            std::fprintf(errors, "pelmar: could not store %s in %s\n", name.c_str(),
                         settings.folder().c_str());
            return kExitFailed;
        }
        return kExitOk;
    }
    std::fprintf(errors, "pelmar: no such option: %s (options: %s, %s, %s, %s, %s, %s, %s)\n",
                 name.c_str(), kSettingDestinationFolder, kSettingFolderTemplate,
                 kSettingFileTemplate, kSettingExistingFile, kSettingEnableITunes,
                 kSettingSaveArtwork, kSettingWriteTags);
    return kExitUsage;
}

}  // namespace pelmar::cli
