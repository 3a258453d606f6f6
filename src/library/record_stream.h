#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "util/byte_source.h"
#include "util/little_endian.h"

namespace pelmar {

// The flat record sequence of the player's databases: each record starts with a four-letter tag
// and its header length, and the header follows. The readers act on one header after another
// without following the tree, and identify a record by the third and fourth letters of its tag.
class RecordStream {
  public:
    enum class Step { Record, EndOfData, Malformed };

    explicit RecordStream(ByteSource& source) : source_(source), header_(256, 0) {}

    // Reads the next record's header. A record whose header would run past the end of the data
    // ends it as a short read does; a header length below 8 or absurdly large is malformed, and
    // reason() says why.
    Step next();

    [[nodiscard]] std::string_view kind() const {
        return {reinterpret_cast<const char*>(header_.data()) + 2, 2};
    }
    [[nodiscard]] std::uint32_t headerLength() const { return headerLength_; }
    // The header, tag included. Fields beyond it read as zero through readU32le and friends.
    [[nodiscard]] std::span<const std::uint8_t> header() const {
        return std::span<const std::uint8_t>(header_).first(headerLength_);
    }
    [[nodiscard]] std::uint32_t field32(std::size_t offset) const {
        return readU32le(header(), offset);
    }
    [[nodiscard]] const std::string& reason() const { return reason_; }

  private:
    ByteSource& source_;
    std::vector<std::uint8_t> header_;
    std::uint32_t headerLength_ = 0;
    std::string reason_;
};

}  // namespace pelmar
