#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelmar {

// Whether `name` has the form AtomicFileWriter gives its temporary files: "." NAME ".pelmar-"
// and six letters or digits.
[[nodiscard]] bool isTemporaryFileName(std::string_view name);

// Removes from `folder` the temporary files that writers left when they were stopped short (a
// program killed, a power cut): only names of that form, only regular files, never through a
// symbolic link, and never one that a writer still holds, in this program or another. Returns
// how many it removed; 0 when the folder cannot be read.
std::size_t removeStaleTemporaries(const std::string& folder);

}  // namespace pelmar
