#include "backup/transfer_log.h"

#include <cerrno>
#include <ctime>

#include <unistd.h>

#include "platform/file_lock.h"
#include "util/app_temp_folder.h"
#include "util/literal_store.h"
#include "util/protected_literals.h"
#include "util/time_format.h"

namespace pelmar {

namespace {

std::string logPathIn(const std::string& folder) {
    return folder.empty() ? std::string() : folder + reveal(kLiteralLogFileName);
}

}  // namespace

std::string LogPath(SettingsStore& settings) {
    return logPathIn(appTempFolder(settings, reveal(kLiteralLogFolder)));
}

std::string LogPath(SettingsStore& settings, const std::filesystem::path& home) {
    return logPathIn(appTempFolder(settings, home, reveal(kLiteralLogFolder)));
}

LogReservation reserveLog(const std::string& logPath) {
    LogReservation reservation;
    if (logPath.empty()) {
        return reservation;
    }
    LockedFile locked = lockFile(logPath);
    reservation.lock = std::move(locked.fd);
    reservation.heldByOtherRun = locked.outcome == LockOutcome::Held;
    return reservation;
}

std::string otherRunMessage(const std::string& logPath) {
    return "Another backup is running; its log is " + logPath +
           "\nPlease wait until it has finished before beginning this one.";
}

TempFile::TempFile(std::string path) : path_(std::move(path)) {}

bool TempFile::OpenLog() {
    return OpenLog(static_cast<std::int64_t>(std::time(nullptr)));
}

bool TempFile::OpenLog(std::int64_t now) {
    fd_.reset();
    if (path_.empty()) {
        return false;
    }
    fd_ = openPrivateFileForWriting(path_);
    if (!fd_) {
        return false;
    }
    write(std::string(reveal(kLiteralLogTitle)) + formatTimeLocal(now, "%I:%M:%S %p  %Y-%m-%d"));
    return true;
}

void TempFile::WriteLine(std::string_view text) {
    if (!fd_) {
        return;
    }
    std::string line(text);
    line += '\n';
    write(line);
}

void TempFile::write(std::string_view bytes) {
    // Straight to the file without a buffer of our own: what the log says is on disk at once.
    // A failed write loses only that line; the backup itself goes on.
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace pelmar
