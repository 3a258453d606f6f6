#include "library/read_outcome.h"

#include "util/byte_source.h"

namespace pelmar {

ReadOutcome readOutcome(const ByteSource& source, ReadOutcome::End end, std::string reason) {
    ReadOutcome outcome;
    outcome.offset = source.position();
    if (source.failed()) {
        outcome.end = ReadOutcome::End::ReadError;
        outcome.reason = "read error";
        return outcome;
    }
    outcome.end = end;
    outcome.reason = std::move(reason);
    return outcome;
}

}  // namespace pelmar
