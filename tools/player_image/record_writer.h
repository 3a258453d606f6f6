#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"
#include "player_image/record_header.h"

namespace pelmar::player_image {

// Appends the header of a record whose total length (+8) covers its children; returns where the
// record starts, for closeRecord.
std::uint64_t openRecord(ByteSink& sink, const RecordHeader& header);
// Sets the total length of the record opened at `start` to everything written since.
void closeRecord(ByteSink& sink, std::uint64_t start);

// A list header ("mhlt", "mhlp", "mhla"): its +8 holds the number of items that follow it.
void writeListHeader(ByteSink& sink, std::string_view tag, std::size_t count);

// Writes "mhod" children. Keeps one scratch buffer, because a large image has millions of them.
class ChildWriter {
  public:
    // A string child: 16-byte string header (encoding, byte length), then the text.
    void writeString(ByteSink& sink, std::uint32_t type, std::string_view utf8,
                     StringEncoding encoding);
    // A child whose body is the text itself, as podcast addresses are stored.
    void writeRawText(ByteSink& sink, std::uint32_t type, std::string_view utf8);
    // A child with an opaque body.
    void writeBody(ByteSink& sink, std::uint32_t type, std::span<const std::uint8_t> body);

  private:
    void startChild(std::uint32_t type);
    void finishChild(ByteSink& sink);

    std::vector<std::uint8_t> scratch_;
};

}  // namespace pelmar::player_image
