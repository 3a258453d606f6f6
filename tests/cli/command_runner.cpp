#include "command_runner.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

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

RunningPelmar::RunningPelmar(const std::vector<std::string>& args,
                             const std::vector<std::string>& environment) {
    int output[2];
    if (::pipe(output) != 0) {
        ADD_FAILURE() << "no pipe";
        return;
    }
    std::vector<std::string> words{PELMAR_BINARY};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        ::unsetenv("PELMAR_PLAYER");
        for (const std::string& assignment : environment) {
            const std::size_t equals = assignment.find('=');
            ::setenv(assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str(),
                     1);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    if (pid_ < 0) {
        ::close(output[0]);
        ADD_FAILURE() << "cannot start " << PELMAR_BINARY;
        return;
    }
    out_ = ::fdopen(output[0], "r");
}

RunningPelmar::~RunningPelmar() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        finish();
    }
}

bool RunningPelmar::readLine(std::string& line) {
    char buffer[4096];
    if (out_ == nullptr || std::fgets(buffer, sizeof buffer, out_) == nullptr) {
        return false;
    }
    line = buffer;
    output_ += line;
    return true;
}

bool RunningPelmar::waitForLine(std::string_view prefix) {
    std::string line;
    while (readLine(line)) {
        if (line.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

void RunningPelmar::signal(int number) {
    if (pid_ > 0) {
        ::kill(pid_, number);
    }
}

int RunningPelmar::finish() {
    std::string line;
    while (readLine(line)) {
        // Kept in output_ for the test to look at.
    }
    if (out_ != nullptr) {
        std::fclose(out_);
        out_ = nullptr;
    }
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) {
        return -1;
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace pelmar::test
