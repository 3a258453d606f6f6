#pragma once

#include <cstdint>

#include "util/byte_source.h"
#include "util/progress_reporter.h"

namespace pelmar {

// A reader's progress through its source, moved on every `every` records counted, so that a
// large file shows its progress without a report for each of its many small records.
class RecordProgress {
  public:
    RecordProgress(ProgressReporter& progress, const ByteSource& source, std::uint32_t every)
        : progress_(progress), source_(source), every_(every) {}

    // The range is the source's whole length.
    void start() { progress_.setRange(0, static_cast<std::uint32_t>(source_.size())); }
    // One more record; on every `every`-th the position is shown.
    void counted() {
        if (++count_ % every_ == 0) {
            progress_.setPosition(static_cast<std::uint32_t>(source_.position()));
            progress_.pump();
        }
    }
    // One more record that never shows the position itself.
    void countedQuietly() { ++count_; }

  private:
    ProgressReporter& progress_;
    const ByteSource& source_;
    std::uint32_t every_;
    std::uint32_t count_ = 0;
};

}  // namespace pelmar
