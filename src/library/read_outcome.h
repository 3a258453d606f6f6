#pragma once

#include <cstdint>
#include <string>

namespace pelmar {

class ByteSource;

// Why a read of a player file stopped. Damaged files end the read quietly with what was read;
// the reason is kept for tests and diagnostics, never shown as an error.
struct ReadOutcome {
    enum class End { EndOfData, Malformed, ReadError };
    End end = End::EndOfData;
    std::uint64_t offset = 0;  // where the reader stopped
    std::string reason;        // empty at a clean end of data
};

// The outcome of a read that stopped where `source` stands now. Whatever made the reader stop,
// a source whose read failed makes it a read error.
[[nodiscard]] ReadOutcome readOutcome(const ByteSource& source, ReadOutcome::End end,
                                      std::string reason = {});

}  // namespace pelmar
