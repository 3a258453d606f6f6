#pragma once

#include <cstdint>
#include <string_view>

namespace pelmar {

// File type code for a location's extension, or 0 when the extension names no known type.
[[nodiscard]] std::uint8_t fileTypeFromExtension(std::string_view location);

// File type code for the database's file type text, for a location whose extension gave none.
[[nodiscard]] std::uint8_t fileTypeFromTypeText(std::string_view typeText);

// The extension of a file type code without its dot ("mp3"); empty for 0 and unknown codes.
// It is also the list's Type text.
[[nodiscard]] std::string_view extensionForFileType(std::uint8_t fileType);

}  // namespace pelmar
