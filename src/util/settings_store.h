#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelmar {

// The program's persistent options: named text and number values in one file, settings.json, in
// a folder of their own. Every read goes to the file and every write replaces it at once, so
// values are always current and a crash never leaves half a file. The file behaves as a per-user
// key: a missing file reads as "no key", writing a text creates it, and writing a number into a
// missing file stores nothing. A damaged file reads as holding no values and is replaced whole by
// the next write. All failures are silent; readers keep their defaults. Stores may be used from
// several threads at once, and stores on the same folder never lose each other's writes.
class SettingsStore {
  public:
    explicit SettingsStore(std::filesystem::path folder);

    // $PELMAR_CONFIG_DIR, else $XDG_CONFIG_HOME/pelmar-vantrell, else
    // ~/.config/pelmar-vantrell. Empty when no home folder is known either.
    [[nodiscard]] static std::filesystem::path defaultFolder();

    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }

    // `text` holds the caller's default and is replaced by the stored text when `name` holds a
    // text of fewer than 1024 bytes. False when there is no settings file to read.
    bool readString(std::string_view name, std::string& text) const;
    // `number` holds the caller's default and is replaced when `name` holds a number.
    bool readNumber(std::string_view name, std::uint32_t& number) const;

    [[nodiscard]] std::string string(std::string_view name, std::string fallback) const;
    [[nodiscard]] std::uint32_t number(std::string_view name, std::uint32_t fallback) const;

    // Texts end at their first NUL, as the stored 8-bit texts always have.
    void writeString(std::string_view name, std::string_view text);
    // Stores nothing while the settings file does not exist.
    void writeNumber(std::string_view name, std::uint32_t number);

  private:
    std::filesystem::path folder_;
};

}  // namespace pelmar
