#include "util/case_fold.h"

#include <array>

#include <utf8proc.h>

#include "util/utf8.h"

namespace pelmar {

namespace {

constexpr char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

template <typename MapCodePoint>
void appendMapped(std::string& out, std::string_view utf8, MapCodePoint map) {
    out.reserve(out.size() + utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // Most tags are plain ASCII: copy such runs in one go and map them in place.
        const std::size_t runStart = pos;
        while (pos < utf8.size() && static_cast<unsigned char>(utf8[pos]) < 0x80) {
            ++pos;
        }
        if (pos > runStart) {
            const std::size_t at = out.size();
            out.append(utf8.data() + runStart, pos - runStart);
            char* const run = out.data() + at;
            for (std::size_t i = 0; i < pos - runStart; ++i) {
                run[i] = asciiLower(run[i]);
            }
            continue;
        }
        char32_t cp = 0;
        if (utf8::decode(utf8, pos, cp)) {
            map(out, cp);
        } else {
            out.push_back(utf8[runStart]);
        }
    }
}

void appendFolded(std::string& out, char32_t cp) {
    std::array<utf8proc_int32_t, 8> folded{};
    int boundClass = 0;
    const utf8proc_ssize_t n =
        utf8proc_decompose_char(static_cast<utf8proc_int32_t>(cp), folded.data(),
                                static_cast<utf8proc_ssize_t>(folded.size()),
                                static_cast<utf8proc_option_t>(UTF8PROC_CASEFOLD), &boundClass);
    if (n <= 0 || n > static_cast<utf8proc_ssize_t>(folded.size())) {
        utf8::append(out, cp);
        return;
    }
    for (utf8proc_ssize_t i = 0; i < n; ++i) {
        utf8::append(out, static_cast<char32_t>(folded[static_cast<std::size_t>(i)]));
    }
}

void appendLowered(std::string& out, char32_t cp) {
    utf8::append(out, static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(cp))));
}

}  // namespace

std::string caseFold(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    appendMapped(out, utf8, appendFolded);
    return out;
}

std::string toLowerUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    appendLowerUtf8(out, utf8);
    return out;
}

void appendLowerUtf8(std::string& out, std::string_view utf8) {
    appendMapped(out, utf8, appendLowered);
}

}  // namespace pelmar
