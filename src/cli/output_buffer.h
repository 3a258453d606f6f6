#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace pelmar::cli {

// Collects output and writes it in large blocks: listing a large library prints tens of
// megabytes.
class OutputBuffer {
  public:
    explicit OutputBuffer(std::FILE* out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
    ~OutputBuffer() { flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void write(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushAt) {
            flush();
        }
    }
    void put(char c) { write(std::string_view(&c, 1)); }

    // Returns false when the output could not be written (a closed pipe, a full disk).
    bool flush();

  private:
    static constexpr std::size_t kFlushAt = 1 << 16;
    std::FILE* out_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace pelmar::cli
