#include "library/sortable_id_array.h"

#include <algorithm>

namespace pelmar {

void SortableNameIdArray::sort() {
    static const std::string kNoName;
    const auto nameOf = [this](const KernelId& k) -> const std::string& {
        return k.id < names_->size() ? (*names_)[k.id] : kNoName;
    };
    std::sort(begin(), end(),
              [&](const KernelId& a, const KernelId& b) { return nameOf(a) < nameOf(b); });
}

}  // namespace pelmar
