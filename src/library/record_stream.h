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
    // Where header() lies. A copied header stays as it is until the next record. In place, a
    // header is shown where the source holds it whenever it can be, and stays good only until
    // the source is next read or peeked: for readers that take what they need from a header
    // before reading on, which spares a copy of every header.
    enum class Headers { Copied, InPlace };

    explicit RecordStream(ByteSource& source, Headers headers = Headers::Copied)
        : source_(source), headers_(headers), header_(256, 0), current_(header_.data(), 0) {}

    // Reads the next record's header. A record whose header would run past the end of the data
    // ends it as a short read does; a header length below 8 or absurdly large is malformed, and
    // reason() says why.
    Step next();

    [[nodiscard]] std::string_view kind() const {
        return {reinterpret_cast<const char*>(current_.data()) + 2, 2};
    }
    [[nodiscard]] std::uint32_t headerLength() const { return headerLength_; }
    // The header, tag included. Fields beyond it read as zero through readU32le and friends.
    [[nodiscard]] std::span<const std::uint8_t> header() const { return current_; }
    [[nodiscard]] std::uint32_t field32(std::size_t offset) const {
        return readU32le(header(), offset);
    }
    [[nodiscard]] const std::string& reason() const { return reason_; }

  private:
    ByteSource& source_;
    Headers headers_;
    std::vector<std::uint8_t> header_;
    std::span<const std::uint8_t> current_;  // in header_, or in place in the source
    std::uint32_t headerLength_ = 0;
    std::string reason_;
};

}  // namespace pelmar
