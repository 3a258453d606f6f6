#include "platform/keyboard_locks.h"

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace pelmar {

namespace {

bool isLit(const std::filesystem::path& light) {
    std::ifstream brightness(light / "brightness");
    int level = 0;
    return static_cast<bool>(brightness >> level) && level > 0;
}

}  // namespace

KeyboardLocks readKeyboardLocks(const std::string& ledsRoot) {
    KeyboardLocks locks;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(ledsRoot, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const auto endsWith = [&](std::string_view suffix) {
            return name.size() >= suffix.size() &&
                   name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
        };
        if (endsWith("::capslock")) {
            locks.capsLock = locks.capsLock || isLit(entry->path());
        } else if (endsWith("::numlock")) {
            locks.numLock = locks.numLock || isLit(entry->path());
        } else if (endsWith("::scrolllock")) {
            locks.scrollLock = locks.scrollLock || isLit(entry->path());
        }
    }
    return locks;
}

}  // namespace pelmar
