#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmar {

class TextCodec;

// A list of names that sorts without regard to case. Names that differ only in case sort
// together, in byte order among themselves.
class CSortableStringArray : public std::vector<std::string> {
  public:
    using std::vector<std::string>::vector;
    void sort(const TextCodec& codec);
};

// Track id lists in database order.
using CSortableUIntArray = std::vector<std::uint32_t>;

// Orders `names` in place without regard to case; the primitive behind every sorted name list.
void sortNoCase(std::vector<std::string>& names, const TextCodec& codec);

}  // namespace pelmar
