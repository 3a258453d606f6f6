#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/library_listing.h"

namespace pelmar::cli {

// A playlist or a photo album: its id, its name in UTF-8 and its items in order.
struct NamedList {
    std::uint32_t id = 0;
    std::string name;
    std::vector<std::uint32_t> items;
};

// JSON objects {"id", "name", itemsKey: [...]}, or a table of id, name and item count.
void printNamedLists(OutputBuffer& out, const std::vector<NamedList>& lists,
                     std::string_view itemsKey, std::string_view countTitle, Format format);

}  // namespace pelmar::cli
