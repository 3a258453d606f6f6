#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace pelmar {

// Told when a player is unplugged without being disconnected first.
[[nodiscard]] std::string playerRemovedMessage(std::string_view displayName);

// True when the attributes of `path` can be read.
[[nodiscard]] bool pathAttributesReadable(const std::string& path);

// Polls the marker folder of the player being watched from a thread of its own, and reports once
// when it has gone. The system sends no notice of an unplugged drive, so the poll is the only way
// to learn of it.
class RemovalWatch {
  public:
    using Probe = std::function<bool(const std::string& path)>;
    using RemovedCallback = std::function<void(const std::string& root)>;

    static constexpr std::chrono::milliseconds kDefaultPeriod{5000};
    static constexpr std::chrono::milliseconds kDefaultRetryDelay{100};

    // Starts the thread, watching nothing. `onRemoved` runs on that thread, and may call
    // watch() or stop() but must not destroy the watch.
    explicit RemovalWatch(RemovedCallback onRemoved, Probe probe = pathAttributesReadable,
                          std::chrono::milliseconds period = kDefaultPeriod,
                          std::chrono::milliseconds retryDelay = kDefaultRetryDelay);
    // Returns as soon as a probe in progress has answered; no wait runs out first.
    ~RemovalWatch();

    RemovalWatch(const RemovalWatch&) = delete;
    RemovalWatch& operator=(const RemovalWatch&) = delete;

    // Probes root + "iPod_Control" (`root` ends in "/") one period from now and every period
    // after. A probe that fails twice, a retry delay apart, ends the watch and reports `root`.
    void watch(const std::string& root);
    // Probes nothing until the next watch(). A removal already confirmed may still be reported.
    void stop();

  private:
    void run();
    // Waits up to `delay`; false when the watch was changed or is ending meanwhile.
    [[nodiscard]] bool waitUnchanged(std::unique_lock<std::mutex>& lock,
                                     std::chrono::milliseconds delay, std::uint64_t generation);
    // Probes twice a retry delay apart with the lock released; true when both failed and the
    // watch still holds `generation`.
    [[nodiscard]] bool confirmRemoved(std::unique_lock<std::mutex>& lock, const std::string& root,
                                      std::uint64_t generation);

    const RemovedCallback onRemoved_;
    const Probe probe_;
    const std::chrono::milliseconds period_;
    const std::chrono::milliseconds retryDelay_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::string> root_;
    // Bumped by every watch() and stop(), so a pass begun for an earlier watch reports nothing.
    std::uint64_t generation_ = 0;
    bool ending_ = false;
    std::thread thread_;  // last: starts once the members it reads exist
};

}  // namespace pelmar
