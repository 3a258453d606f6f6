#include "util/case_fold.h"

#include <array>
#include <cstdint>
#include <cstring>

#include <utf8proc.h>

#include "util/utf8.h"

namespace pelmar {

namespace {

constexpr char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Tags are lowered by the hundred thousand while loading, so ASCII goes eight bytes at a time.
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Lowers eight ASCII bytes at once. No byte exceeds 0x7F, so no sum carries into the next byte:
// adding 0x3F sets a byte's high bit from 'A' up, adding 0x25 from just past 'Z' up.
constexpr std::uint64_t lowerAsciiWord(std::uint64_t w) {
    const std::uint64_t upper = (w + 0x3F3F3F3F3F3F3F3Fu) & ~(w + 0x2525252525252525u) & kHighBits;
    return w | (upper >> 2);
}

// Length of the run of ASCII bytes that starts at `pos`.
std::size_t asciiRun(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (text.size() - end >= 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, text.data() + end, 8);
        if ((w & kHighBits) != 0) {
            break;
        }
        end += 8;
    }
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) {
        ++end;
    }
    return end - pos;
}

// Appends `text` with its ASCII letters lowered; returns whether every byte of it was ASCII, as
// only then is that its lowered form.
bool appendLowerAscii(std::string& out, std::string_view text) {
    const std::size_t at = out.size();
    out.append(text);
    char* run = out.data() + at;
    std::size_t left = text.size();
    std::uint64_t seen = 0;
    for (; left >= 8; left -= 8, run += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, run, 8);
        seen |= w;
        w = lowerAsciiWord(w);
        std::memcpy(run, &w, 8);
    }
    for (; left > 0; --left, ++run) {
        seen |= static_cast<unsigned char>(*run);
        *run = asciiLower(*run);
    }
    return (seen & kHighBits) == 0;
}

template <typename MapCodePoint>
void appendMapped(std::string& out, std::string_view utf8, MapCodePoint map) {
    out.reserve(out.size() + utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // Most tags are plain ASCII: such runs need no decoding.
        const std::size_t runStart = pos;
        if (const std::size_t run = asciiRun(utf8, pos); run > 0) {
            appendLowerAscii(out, utf8.substr(pos, run));
            pos += run;
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
    // Most tags are plain ASCII: lowered in one pass as they are copied, and only a text found
    // not to be is taken back and lowered a character at a time.
    const std::size_t at = out.size();
    if (!appendLowerAscii(out, utf8)) {
        out.resize(at);
        appendMapped(out, utf8, appendLowered);
    }
}

}  // namespace pelmar
