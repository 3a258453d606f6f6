#include "cli/output_buffer.h"

namespace pelmar::cli {

bool OutputBuffer::flush() {
    if (!buffer_.empty() && !failed_) {
        failed_ = std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size();
    }
    buffer_.clear();
    failed_ = std::fflush(out_) != 0 || failed_;
    return !failed_;
}

}  // namespace pelmar::cli
