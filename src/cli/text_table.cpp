#include "cli/text_table.h"

#include <algorithm>

#include <utf8proc.h>

#include "util/utf8.h"

namespace pelmar::cli {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

std::size_t charWidth(char32_t cp) {
    const int width = utf8proc_charwidth(static_cast<utf8proc_int32_t>(cp));
    return width < 0 ? 0 : static_cast<std::size_t>(width);
}

}  // namespace

std::size_t displayWidth(const std::string& utf8) {
    std::size_t width = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        width += utf8::decode(utf8, pos, cp) ? charWidth(cp) : 1;
    }
    return width;
}

std::string fitToWidth(const std::string& utf8, std::size_t width) {
    if (displayWidth(utf8) <= width) {
        return utf8;
    }
    if (width == 0) {
        return {};
    }
    std::string out;
    std::size_t used = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        char32_t cp = 0;
        const std::size_t w = utf8::decode(utf8, pos, cp) ? charWidth(cp) : 1;
        if (used + w > width - 1) {
            break;
        }
        out.append(utf8, start, pos - start);
        used += w;
    }
    out += kEllipsis;
    return out;
}

void printTable(OutputBuffer& out, const std::vector<TableColumn>& columns, std::size_t rowCount,
                const RowSource& rows) {
    std::vector<std::size_t> widths;
    widths.reserve(columns.size());
    for (const TableColumn& column : columns) {
        widths.push_back(std::min(displayWidth(column.title), column.maxWidth));
    }
    std::vector<std::string> cells(columns.size());
    for (std::size_t row = 0; row < rowCount; ++row) {
        rows(row, cells);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            widths[c] = std::max(widths[c], std::min(displayWidth(cells[c]), columns[c].maxWidth));
        }
    }

    std::string line;
    const auto emit = [&](const std::vector<std::string>& texts) {
        line.clear();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string text = fitToWidth(texts[c], widths[c]);
            const std::string padding(widths[c] - displayWidth(text), ' ');
            if (c > 0) {
                line += "  ";
            }
            const bool last = c + 1 == columns.size();
            if (columns[c].rightAligned) {
                line += padding;
                line += text;
            } else {
                line += text;
                if (!last) {
                    line += padding;
                }
            }
        }
        line.push_back('\n');
        out.write(line);
    };

    std::vector<std::string> titles;
    titles.reserve(columns.size());
    for (const TableColumn& column : columns) {
        titles.push_back(column.title);
    }
    emit(titles);
    for (std::size_t row = 0; row < rowCount; ++row) {
        rows(row, cells);
        emit(cells);
    }
}

}  // namespace pelmar::cli
