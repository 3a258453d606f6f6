#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "library/node_model.h"

namespace pelmar {

class PlayerLibrary;

// What the item list shows for the node selected in the tree: its columns, the texts of its
// rows, their order and shading. Texts are UTF-8.

struct ListColumn {
    const char* title;
    int width;  // pixels
    bool alignRight;
};

// The columns for the rows of `current`; with no node, the two columns the list starts with.
[[nodiscard]] std::span<const ListColumn> listColumns(const NodeData* current);

// Every cell of one row, in column order. `searchResultCount` is the live length of the search
// result list, which the "Search Results" row shows instead of the count it was built with.
[[nodiscard]] std::vector<std::string> listRowTexts(const PlayerLibrary& library,
                                                    std::size_t searchResultCount,
                                                    const NodeData& current, const NodeData& row);

// Puts the rows of `current` in the order the list shows them: build order under a playlist, a
// photo album, the device information and the root; otherwise by name without regard to case,
// an "[ All: " row first. Track rows without a name get their sort key stored as their name.
void orderListRows(const PlayerLibrary& library, const NodeData& current,
                   std::vector<NodeData*>& rows);

// Whether the row at `index` is drawn on the tinted background.
[[nodiscard]] bool isShadedRow(const NodeData& current, std::size_t index);

// Height of a row in pixels: photo album rows hold a thumbnail.
[[nodiscard]] int listRowHeight(const NodeData* current);

// "%d items selected." or "%d items.".
[[nodiscard]] std::string listStatusText(std::size_t selectedRows, std::size_t rows);

}  // namespace pelmar
