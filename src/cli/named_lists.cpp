#include "cli/named_lists.h"

#include "cli/json_writer.h"
#include "cli/text_table.h"

namespace pelmar::cli {

void printNamedLists(OutputBuffer& out, const std::vector<NamedList>& lists,
                     std::string_view itemsKey, std::string_view countTitle, Format format) {
    if (format == Format::Json) {
        JsonWriter json(out);
        json.beginArray();
        for (const NamedList& list : lists) {
            json.beginObject();
            json.key("id");
            json.number(list.id);
            json.key("name");
            json.string(list.name);
            json.key(itemsKey);
            json.beginArray();
            for (const std::uint32_t item : list.items) {
                json.number(item);
            }
            json.endArray();
            json.endObject();
        }
        json.endArray();
        return;
    }
    printTable(out, {{"ID", true, 10}, {"Name", false, 60}, {std::string(countTitle), true, 10}},
               lists.size(), [&](std::size_t row, std::vector<std::string>& cells) {
                   cells[0] = std::to_string(lists[row].id);
                   cells[1] = lists[row].name;
                   cells[2] = std::to_string(lists[row].items.size());
               });
}

}  // namespace pelmar::cli
