#include "cli/json_writer.h"

#include <array>
#include <cstdio>
#include <string>

namespace pelmar::cli {

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (hasElement_.empty()) {
        return;
    }
    if (hasElement_.back()) {
        out_.put(',');
    }
    hasElement_.back() = true;
    if (hasElement_.size() == 1) {
        out_.put('\n');
    }
}

void JsonWriter::beginArray() {
    beforeValue();
    out_.put('[');
    hasElement_.push_back(false);
}

void JsonWriter::endArray() {
    const bool outermostWithElements = hasElement_.size() == 1 && hasElement_.back();
    hasElement_.pop_back();
    if (outermostWithElements) {
        out_.put('\n');
    }
    out_.put(']');
    if (hasElement_.empty()) {
        out_.put('\n');
    }
}

void JsonWriter::beginObject() {
    beforeValue();
    out_.put('{');
    hasElement_.push_back(false);
}

void JsonWriter::endObject() {
    const bool outermostWithElements = hasElement_.size() == 1 && hasElement_.back();
    hasElement_.pop_back();
    if (outermostWithElements) {
        out_.put('\n');
    }
    out_.put('}');
    if (hasElement_.empty()) {
        out_.put('\n');
    }
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    writeEscaped(name);
    out_.put(':');
    afterKey_ = true;
}

void JsonWriter::string(std::string_view utf8) {
    beforeValue();
    writeEscaped(utf8);
}

void JsonWriter::writeEscaped(std::string_view utf8) {
    std::string escaped;
    escaped.reserve(utf8.size() + 2);
    escaped.push_back('"');
    for (const char c : utf8) {
        switch (c) {
            case '"':
                escaped += "\\\"";
                break;
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\b':
                escaped += "\\b";
                break;
            case '\f':
                escaped += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    std::array<char, 8> code{};
                    std::snprintf(code.data(), code.size(), "\\u%04x", c);
                    escaped += code.data();
                } else {
                    escaped.push_back(c);
                }
        }
    }
    escaped.push_back('"');
    out_.write(escaped);
}

void JsonWriter::number(std::int64_t value) {
    beforeValue();
    out_.write(std::to_string(value));
}

void JsonWriter::boolean(bool value) {
    beforeValue();
    out_.write(value ? "true" : "false");
}

void JsonWriter::null() {
    beforeValue();
    out_.write("null");
}

}  // namespace pelmar::cli
