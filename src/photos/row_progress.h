#pragma once

#include <cstdint>
#include <functional>

namespace pelmar {

// Tells a decoding's `progress` 0, 10, …, 90 percent, each once, as its rows pass each tenth of
// the picture.
class RowProgress {
  public:
    RowProgress(const std::function<void(int)>& progress, std::uint32_t rows)
        : progress_(progress), rows_(rows) {}

    // Called before decoding `row`.
    void beforeRow(std::uint32_t row) {
        while (progress_ && tenth_ < 10 &&
               std::uint64_t{row} * 10 >= tenth_ * std::uint64_t{rows_}) {
            progress_(static_cast<int>(tenth_ * 10));
            ++tenth_;
        }
    }

  private:
    const std::function<void(int)>& progress_;
    std::uint32_t rows_;
    std::uint32_t tenth_ = 0;
};

}  // namespace pelmar
