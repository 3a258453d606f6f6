#include "literal_encipher/literal_table.h"

#include <functional>
#include <optional>
#include <set>
#include <utility>

#include "util/literal_key.h"

namespace pelmar {

namespace {

constexpr std::size_t kMaxTextBytes = kLiteralMaxBlocks * kLiteralBlockSize;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isIdentifierStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isIdentifierChar(char c) {
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && (isBlank(line.front()) || line.front() == '\r')) {
        line.remove_prefix(1);
    }
    while (!line.empty() && (isBlank(line.back()) || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// Reads one line's identifier and text; returns the fault, or "" when the line is sound.
std::string parseLine(std::string_view line, LiteralEntry& entry) {
    std::size_t pos = 0;
    if (!isIdentifierStart(line[pos])) {
        return "expected an identifier";
    }
    while (pos < line.size() && isIdentifierChar(line[pos])) {
        ++pos;
    }
    entry.identifier = std::string(line.substr(0, pos));
    if (pos == line.size() || !isBlank(line[pos])) {
        return "expected a blank after the identifier";
    }
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    if (pos == line.size() || line[pos] != '"') {
        return "expected a quoted text";
    }
    ++pos;
    for (;;) {
        if (pos == line.size()) {
            return "the text has no closing quote";
        }
        const char c = line[pos++];
        if (c == '"') {
            break;
        }
        if (c == '\0') {
            return "the text holds a NUL";
        }
        if (c != '\\') {
            entry.text += c;
            continue;
        }
        if (pos == line.size()) {
            return "the text ends inside an escape";
        }
        switch (const char escaped = line[pos++]; escaped) {
            case '\\':
            case '"':
                entry.text += escaped;
                break;
            case 'n':
                entry.text += '\n';
                break;
            case 'r':
                entry.text += '\r';
                break;
            case 't':
                entry.text += '\t';
                break;
            case 'x': {
                const auto high = pos < line.size() ? hexDigit(line[pos]) : std::nullopt;
                const auto low = pos + 1 < line.size() ? hexDigit(line[pos + 1]) : std::nullopt;
                if (!high || !low) {
                    return "\\x needs two hexadecimal digits";
                }
                if (*high == 0 && *low == 0) {
                    return "the text holds a NUL";
                }
                entry.text += static_cast<char>(*high * 16 + *low);
                pos += 2;
                break;
            }
            default:
                return std::string("unknown escape \\") + escaped;
        }
    }
    if (pos != line.size()) {
        return "unexpected characters after the text";
    }
    if (entry.text.size() > kMaxTextBytes) {
        return "the text is longer than " + std::to_string(kMaxTextBytes) + " bytes";
    }
    return {};
}

}  // namespace

LiteralTable parseLiteralTable(std::string_view table) {
    LiteralTable result;
    std::set<std::string, std::less<>> identifiers;
    std::size_t lineNumber = 0;
    while (!table.empty()) {
        ++lineNumber;
        const std::size_t end = table.find('\n');
        const std::string_view line = trimmed(table.substr(0, end));
        table.remove_prefix(end == std::string_view::npos ? table.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        LiteralEntry entry;
        std::string fault = parseLine(line, entry);
        if (fault.empty() && !identifiers.insert(entry.identifier).second) {
            fault = "duplicate identifier " + entry.identifier;
        }
        if (!fault.empty()) {
            result.error = "line " + std::to_string(lineNumber) + ": " + fault;
            return result;
        }
        result.entries.push_back(std::move(entry));
    }
    return result;
}

}  // namespace pelmar
