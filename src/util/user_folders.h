#pragma once

#include <filesystem>

namespace pelmar {

// The current user's folders by the XDG base-directory rules: a variable that is unset, empty or
// not an absolute path counts as unset. Each is empty when neither its variable nor a home folder
// is known.

// $HOME, else the password database's entry for this user.
[[nodiscard]] std::filesystem::path homeFolder();
// $XDG_CONFIG_HOME, else ~/.config.
[[nodiscard]] std::filesystem::path configHome();
// Where a private temporary folder belongs: $XDG_RUNTIME_DIR (the user's own, mode 0700), else
// $XDG_CACHE_HOME, else ~/.cache.
[[nodiscard]] std::filesystem::path temporaryHome();

}  // namespace pelmar
