#include "command_runner.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

#include "support/temp_folder.h"

namespace pelmar::test {

std::string quoted(const std::string& text) {
    std::string q = "'";
    for (const char c : text) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

CommandRun pelmar(const std::vector<std::string>& args, const std::string& environment) {
    const TempFolder scratch;
    const std::string errPath = (scratch.path() / "stderr").string();
    std::string command = "env -u PELMAR_PLAYER " + environment + " " + PELMAR_BINARY;
    for (const std::string& arg : args) {
        command += " " + quoted(arg);
    }
    command += " 2>" + quoted(errPath);
    CommandRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    std::array<char, 65536> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errPath);
    std::stringstream text;
    text << err.rdbuf();
    run.err = text.str();
    return run;
}

}  // namespace pelmar::test
