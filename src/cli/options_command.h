#pragma once

#include <cstdio>
#include <string>

namespace pelmar {
class SettingsStore;
}

namespace pelmar::cli {

// Prints the five backup settings with the value the backup would use and where it comes from.
int showOptions(const SettingsStore& settings, std::FILE* out);

// Stores one backup setting after checking it against the choices the options page offers.
// Returns an exit status; problems are explained on `errors`.
int setOption(SettingsStore& settings, const std::string& name, const std::string& value,
              std::FILE* errors);

}  // namespace pelmar::cli
