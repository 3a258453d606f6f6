#pragma once

#include <cstdint>
#include <string>

namespace pelmar {

// A four-part version a.b.c.d.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t patch = 0;
    std::uint16_t build = 0;
};

// The version this program was built as.
[[nodiscard]] FileVersion programVersion();

// "a.b.c.d" in the long form. In the short form "a.b.c" followed by the letter of d (1 gives
// "a", 2 "b"), nothing when d is 0.
[[nodiscard]] std::string versionText(const FileVersion& version, bool shortForm);

// The program's own version text, as the About box shows it.
[[nodiscard]] std::string fileVersionText(bool shortForm);

}  // namespace pelmar
