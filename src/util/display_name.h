#pragma once

namespace pelmar {

// The program's name as users see it: in messages, and in the name of its temporary folder.
inline constexpr const char* kDisplayName = "Pelmar Vantrell";

}  // namespace pelmar
