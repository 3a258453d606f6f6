#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/output_buffer.h"

namespace pelmar::cli {

struct TableColumn {
    std::string title;
    bool rightAligned = false;
    std::size_t maxWidth = 40;  // in terminal cells; longer texts are cut with an ellipsis
};

// Fills `cells` (one UTF-8 text per column) for row `row`.
using RowSource = std::function<void(std::size_t row, std::vector<std::string>& cells)>;

// Prints rows as aligned columns. Rows are asked for twice, once to size the columns and once
// to print, so that no table is ever held in memory whole.
void printTable(OutputBuffer& out, const std::vector<TableColumn>& columns, std::size_t rowCount,
                const RowSource& rows);

// Width of UTF-8 text in terminal cells: wide East Asian characters take two.
[[nodiscard]] std::size_t displayWidth(const std::string& utf8);

// The longest prefix of `utf8` no wider than `width` cells, with "…" in place of what was cut.
[[nodiscard]] std::string fitToWidth(const std::string& utf8, std::size_t width);

}  // namespace pelmar::cli
