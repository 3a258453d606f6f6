#include "library/kernel_id.h"

#include "util/utf8.h"

namespace pelmar {

void KernelId::setText(std::string_view value) {
    value = value.substr(0, std::min(value.size(), value.find('\0')));
    if (value.size() > kTextCapacity) {
        value = value.substr(0, utf8::wholeCharPrefix(value, kTextCapacity));
    }
    text.assign(value);
}

}  // namespace pelmar
