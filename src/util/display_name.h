#pragma once

namespace pelmar {

// The program's name as users see it, in messages.
inline constexpr const char* kDisplayName = "Pelmar Vantrell";

}  // namespace pelmar
