#pragma once

#include <string>
#include <vector>

namespace pelmar::test {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The text as one shell word.
[[nodiscard]] std::string quoted(const std::string& text);

// Runs the `pelmar` under test with `args`, without PELMAR_PLAYER from the test's own
// environment; `environment` is prepended as "NAME=value ..." assignments.
[[nodiscard]] CommandRun pelmar(const std::vector<std::string>& args,
                                const std::string& environment = "");

}  // namespace pelmar::test
