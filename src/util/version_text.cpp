#include "util/version_text.h"

namespace pelmar {

FileVersion programVersion() {
    return {PELMAR_VERSION_MAJOR, PELMAR_VERSION_MINOR, PELMAR_VERSION_PATCH, PELMAR_VERSION_TWEAK};
}

std::string versionText(const FileVersion& version, bool shortForm) {
    std::string text = std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                       std::to_string(version.patch);
    if (!shortForm) {
        return text + "." + std::to_string(version.build);
    }
    // The letter is one byte, as the C library's "%c" makes it; a byte of 0 ends the text.
    if (const auto letter = static_cast<char>(version.build + 96);
        version.build != 0 && letter != 0) {
        text += letter;
    }
    return text;
}

std::string fileVersionText(bool shortForm) {
    return versionText(programVersion(), shortForm);
}

}  // namespace pelmar
