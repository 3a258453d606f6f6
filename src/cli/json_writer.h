#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "cli/output_buffer.h"

namespace pelmar::cli {

// Writes JSON as it goes, without building a document: a large library would not fit one in
// reasonable memory. Strings must be valid UTF-8. Elements of the outermost array go on lines
// of their own.
class JsonWriter {
  public:
    explicit JsonWriter(OutputBuffer& out) : out_(out) {}

    void beginArray();
    void endArray();
    void beginObject();
    void endObject();
    void key(std::string_view name);
    void string(std::string_view utf8);
    void number(std::int64_t value);
    void boolean(bool value);
    void null();

  private:
    void beforeValue();
    void writeEscaped(std::string_view utf8);

    OutputBuffer& out_;
    // One entry per open container: whether it has an element yet.
    std::vector<bool> hasElement_;
    bool afterKey_ = false;
};

}  // namespace pelmar::cli
