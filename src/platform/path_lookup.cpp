#include "platform/path_lookup.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace pelmar {

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` without regard to ASCII case, or empty.
std::string matchEntry(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return {};
    }
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

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
