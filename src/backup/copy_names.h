#pragma once

#include <string>

namespace pelmar {

// The highest number tried for a file that exists already.
inline constexpr int kMostCopyNumbers = 251;

// The first of "<base> (copy 1)<extension>" … "(copy 251)" that names nothing yet; "" when
// every one of them exists, so that an existing file is never taken for a new name.
[[nodiscard]] std::string freeCopyName(const std::string& base, const std::string& extension);

}  // namespace pelmar
