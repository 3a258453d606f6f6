#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/progress_reporter.h"

namespace pelmar::test {

// Remembers what a loader reported.
class RecordingProgress final : public ProgressReporter {
  public:
    void setStatus(std::string_view text) override { statuses.emplace_back(text); }
    void setRange(std::uint32_t lower, std::uint32_t upper) override {
        ranges.emplace_back(lower, upper);
    }
    void setPosition(std::uint32_t position) override { positions.push_back(position); }
    void step() override { ++steps; }
    void pump() override { ++pumps; }

    std::vector<std::string> statuses;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
    std::vector<std::uint32_t> positions;
    int steps = 0;
    int pumps = 0;
};

}  // namespace pelmar::test
