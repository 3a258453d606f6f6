#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "library/chunked_bytes.h"
#include "library/read_outcome.h"

namespace pelmar {

class ByteSource;
class ProgressReporter;

// A compressed music database made whole again: its root header as stored, then the rest as
// the zlib stream after it inflates.
struct InflatedDatabase {
    ChunkedBytes bytes;
    // EndOfData when the stream ended cleanly. A damaged, truncated or oversized stream, or a
    // root header that cannot be, ends as Malformed with the reason; a failing file as a read
    // error. The offset is where in the compressed file inflating stopped.
    ReadOutcome outcome;
};

// What a compressed database may inflate to: the smaller of 2 GiB and 64 times the compressed
// size. Real databases stay far below either, and a hostile stream can make the program hold no
// more than this.
[[nodiscard]] std::uint64_t inflationLimit(std::uint64_t compressedSize);

// Inflates a compressed music database read from `file`, keeping at most `limit` inflated bytes
// (beyond the header). Whatever stops it, the bytes hold what was inflated before that.
[[nodiscard]] InflatedDatabase inflateMusicDatabase(ByteSource& file, ProgressReporter& progress,
                                                    std::uint64_t limit);

// Inflates the player's compressed music database under `root`. None when it does not exist,
// cannot be opened or is empty: the uncompressed database is then the music database.
[[nodiscard]] std::optional<InflatedDatabase> inflatePlayerDatabase(const std::string& root,
                                                                    ProgressReporter& progress);

// Whether the player under `root` keeps its music database compressed: the compressed file
// exists and is not empty.
[[nodiscard]] bool hasCompressedDatabase(const std::string& root);

}  // namespace pelmar
