#include "util/sortable_arrays.h"

#include <algorithm>
#include <numeric>

#include "util/text_codec.h"

namespace pelmar {

void CSortableStringArray::sort(const TextCodec& codec) {
    sortNoCase(*this, codec);
}

void sortNoCase(std::vector<std::string>& names, const TextCodec& codec) {
    if (names.size() < 2) {
        return;
    }
    // Fold every key once rather than twice per comparison.
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        keys.push_back(codec.foldKey(name));
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey < 0 : names[a] < names[b];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::size_t i : order) {
        sorted.push_back(std::move(names[i]));
    }
    names = std::move(sorted);
}

}  // namespace pelmar
