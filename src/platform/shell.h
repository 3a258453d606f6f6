#pragma once

#include <string>
#include <vector>

namespace pelmar {

// The command that opens `file` (a file or folder) with the desktop's preferred program. Empty
// when there is nothing to open, or when `parameters` is not empty: the desktop's opener cannot
// pass parameters on.
[[nodiscard]] std::vector<std::string> shellOpenCommand(const std::string& file,
                                                        const std::string& parameters);

// Runs shellOpenCommand(file, parameters) detached: returns at once without waiting for the
// opener, leaves no zombie process behind, and does not look at the opener's result.
void openWithShell(const std::string& file, const std::string& parameters);

}  // namespace pelmar
