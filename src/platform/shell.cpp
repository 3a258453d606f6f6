#include "platform/shell.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include <sys/wait.h>
#include <unistd.h>

namespace pelmar {

namespace {

// The program `name` as the shell would find it on $PATH; empty when it is nowhere.
std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = folders.find(':');
        const std::string folder(folders.substr(0, colon));
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        folders.remove_prefix(colon + 1);
    }
}

}  // namespace

std::vector<std::string> shellOpenCommand(const std::string& file, const std::string& parameters) {
    if (file.empty() || !parameters.empty()) {
        return {};
    }
    // A name starting with "-" would be read as an option of the opener.
    return {"xdg-open", file.front() == '-' ? "./" + file : file};
}

void openWithShell(const std::string& file, const std::string& parameters) {
    std::vector<std::string> command = shellOpenCommand(file, parameters);
    if (command.empty()) {
        return;
    }
    // Everything the children need is made before fork: between fork and exec, a child of a
    // process with threads may only make async-signal-safe calls.
    const std::string program = findOnPath(command.front());
    if (program.empty()) {
        return;
    }
    std::vector<char*> argv;
    argv.reserve(command.size() + 1);
    for (std::string& word : command) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    // The middle child starts the opener and exits at once. Reaping it here hands the opener to
    // init, so it never lingers as a zombie of this process, however long it runs.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::fork() == 0) {
            ::setsid();
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::_exit(0);
    }
    if (child > 0) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

}  // namespace pelmar
