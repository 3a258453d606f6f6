#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "util/unique_fd.h"

namespace pelmar {

class SettingsStore;

// The transfer log's full path in the program's private temporary folder, whose log subfolder is
// created; "" when no private folder can be made, and then no log is written.
[[nodiscard]] std::string LogPath(SettingsStore& settings);
// The same, with `home` in place of the user's temporary home.
[[nodiscard]] std::string LogPath(SettingsStore& settings, const std::filesystem::path& home);

// What taking the transfer log for a run found. Both programs write the one log, so it stands
// for the run itself: while one run holds it, no other starts.
struct LogReservation {
    UniqueFd lock;                // held until the run has ended; empty when none could be taken
    bool heldByOtherRun = false;  // another backup is running: this one must not start
};

// Takes the log at `logPath` for one run before anything is written to it, without waiting.
// When there is no log, or its file system keeps no locks, the run goes on without one.
[[nodiscard]] LogReservation reserveLog(const std::string& logPath);

// What the user is told when another run holds the log.
[[nodiscard]] std::string otherRunMessage(const std::string& logPath);

// The log of one backup run. Every line reaches the file as it is written, so the log is whole
// up to the last line even when the program stops halfway.
class TempFile {
  public:
    explicit TempFile(std::string path);
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates or truncates the file, never through a symbolic link, and writes the title and the
    // current local time without a line break. False, with the file closed, when the path is
    // empty or cannot be opened; the run then goes on without a log.
    bool OpenLog();
    // The same with `now` (seconds since 1970) as the time in the title.
    bool OpenLog(std::int64_t now);
    // Writes `text` and a line break; does nothing while the file is not open.
    void WriteLine(std::string_view text);

    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] bool isOpen() const { return static_cast<bool>(fd_); }

  private:
    void write(std::string_view bytes);

    std::string path_;
    UniqueFd fd_;
};

}  // namespace pelmar
