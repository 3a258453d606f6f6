#include "platform/path_lookup.h"

#include <algorithm>

#include <sys/stat.h>

namespace pelmar {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` without regard to ASCII case, or empty.
std::string matchEntry(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    return dir == nullptr ? std::string() : takeEntryIgnoringCase(dir, name);
}

}  // namespace

std::string takeEntryIgnoringCase(DIR* dir, std::string_view name) {
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (equalIgnoringAsciiCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

std::string findPathIgnoringCase(const std::string& root, std::string_view relative) {
    std::string exact = root;
    exact.append(relative);
    if (exists(exact)) {
        return exact;
    }
    std::string resolved = root;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string_view::npos) {
            end = relative.size();
        }
        const std::string component(relative.substr(start, end - start));
        if (!component.empty()) {
            std::string candidate = resolved + component;
            if (!exists(candidate)) {
                const std::string match = matchEntry(resolved, component);
                if (match.empty()) {
                    return exact;
                }
                candidate = resolved + match;
            }
            resolved = std::move(candidate);
            if (end < relative.size()) {
                resolved.push_back('/');
            }
        }
        start = end + 1;
    }
    return resolved;
}

}  // namespace pelmar
