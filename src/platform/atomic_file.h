#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelmar {

// What sets a temporary file's name apart: ".NAME.pelmar-XXXXXX" beside the destination NAME.
inline constexpr std::string_view kTemporaryMarker = ".pelmar-";

// Writes a file so that it is either complete or absent: the bytes go to a hidden temporary file
// beside the destination, which is flushed to the disk and renamed onto the destination only on
// commit. Whatever is not committed (an error, a cancel, a full disk) leaves no trace once the
// writer is gone. The writer holds an advisory lock on the temporary file until the rename, so
// that removeStaleTemporaries can tell the file of a running writer from one that a killed
// program left behind.
class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file for `destination`. False (with error() set) when it cannot.
    bool open(const std::string& destination);
    // False, with error() set, when not every byte could be written.
    bool write(std::span<const std::uint8_t> bytes);
    bool write(std::string_view text);
    // Makes the file the destination. With `replace` false an existing destination is never
    // touched and the commit fails with EEXIST; with `replace` true it is replaced in one step.
    bool commit(bool replace);
    // Removes the temporary file.
    void abandon();

    // The errno value of the first failure, 0 when none.
    [[nodiscard]] int error() const { return error_; }
    // The temporary file's descriptor while it is open, for writers that fill it themselves.
    [[nodiscard]] int descriptor() const { return fd_; }
    void setError(int error) {
        if (error_ == 0) {
            error_ = error;
        }
    }

  private:
    int fd_ = -1;
    std::string destination_;
    std::string temporary_;
    int error_ = 0;
};

// Writes `bytes` to `destination` as a complete file or not at all; returns 0 or an errno value.
int writeFileAtomically(const std::string& destination, std::span<const std::uint8_t> bytes,
                        bool replace);

}  // namespace pelmar
