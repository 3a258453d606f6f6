#include "library/removal_watch.h"

#include <sys/stat.h>

#include <utility>

#include "library/player_files.h"

namespace pelmar {

std::string playerRemovedMessage(std::string_view displayName) {
    std::string message(displayName);
    message +=
        " can no longer communicate with your iPod.\n\nIt appears that it was unplugged "
        "without first disconnecting in ";
    message += displayName;
    message += ".";
    return message;
}

bool pathAttributesReadable(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

RemovalWatch::RemovalWatch(RemovedCallback onRemoved, Probe probe, std::chrono::milliseconds period,
                           std::chrono::milliseconds retryDelay)
    : onRemoved_(std::move(onRemoved)),
      probe_(std::move(probe)),
      period_(period),
      retryDelay_(retryDelay),
      thread_([this] { run(); }) {}

RemovalWatch::~RemovalWatch() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RemovalWatch::watch(const std::string& root) {
    {
        const std::lock_guard lock(mutex_);
        root_ = root;
        ++generation_;
    }
    changed_.notify_all();
}

void RemovalWatch::stop() {
    {
        const std::lock_guard lock(mutex_);
        root_.reset();
        ++generation_;
    }
    changed_.notify_all();
}

bool RemovalWatch::waitUnchanged(std::unique_lock<std::mutex>& lock,
                                 std::chrono::milliseconds delay, std::uint64_t generation) {
    const bool interrupted =
        changed_.wait_for(lock, delay, [&] { return ending_ || generation_ != generation; });
    return !interrupted;
}

bool RemovalWatch::confirmRemoved(std::unique_lock<std::mutex>& lock, const std::string& root,
                                  std::uint64_t generation) {
    // A slow drive must not hold up watch(), stop() or the destructor, so probes run unlocked.
    const std::string marker = root + std::string(kMarkerFolder);
    lock.unlock();
    bool present = probe_(marker);
    lock.lock();
    if (present || !waitUnchanged(lock, retryDelay_, generation)) {
        return false;
    }
    lock.unlock();
    present = probe_(marker);
    lock.lock();
    return !present && !ending_ && generation_ == generation;
}

void RemovalWatch::run() {
    std::unique_lock lock(mutex_);
    while (!ending_) {
        if (!root_) {
            changed_.wait(lock, [&] { return ending_ || root_.has_value(); });
            continue;
        }
        const std::uint64_t generation = generation_;
        const std::string root = *root_;
        if (!waitUnchanged(lock, period_, generation) || !confirmRemoved(lock, root, generation)) {
            continue;
        }
        // Ending the watch here is what keeps one removal from being reported twice.
        root_.reset();
        ++generation_;
        lock.unlock();
        onRemoved_(root);
        lock.lock();
    }
}

}  // namespace pelmar
