#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

struct LiteralEntry {
    std::string identifier;
    std::string text;
};

struct LiteralTable {
    std::vector<LiteralEntry> entries;
    // Empty when the whole table was read; otherwise the first bad line's number and fault, and
    // `entries` holds the lines before it.
    std::string error;
};

// Reads the table of protected literals: per line a C identifier and a double-quoted text with
// the escapes \\ \" \n \r \t \xHH. Empty lines and lines starting with '#' are skipped. A text
// holds no NUL and fits the blob's 127 blocks; identifiers are unique.
[[nodiscard]] LiteralTable parseLiteralTable(std::string_view table);

}  // namespace pelmar
