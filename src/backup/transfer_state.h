#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace pelmar {

// Where a backup run stands. The page (or the command line) writes Running, Paused and
// Canceled; the worker writes Completed.
enum class TransferState : std::uint32_t {
    Idle = 0,
    Running = 1,
    Paused = 2,
    Canceled = 3,
    Completed = 4,
};

// Wakes the worker when the controller changes the state: the worker waits on it while paused.
class PauseEvent {
  public:
    void set() {
        // Taking the lock orders the state change before the wake-up the waiter checks.
        { const std::lock_guard lock(mutex_); }
        condition_.notify_all();
    }

    // Waits while `stillWaiting` holds, looking again at each set(); a change of what the
    // predicate looks at followed by set() is never missed.
    template <typename Predicate>
    void waitWhile(Predicate stillWaiting) {
        std::unique_lock lock(mutex_);
        condition_.wait(lock, [&] { return !stillWaiting(); });
    }

  private:
    std::mutex mutex_;
    std::condition_variable condition_;
};

// The state word and the pause event a run and its controller share.
struct TransferControl {
    std::atomic<TransferState> state{TransferState::Idle};
    PauseEvent pauseEvent;

    // Changes the state first and signals after, as the worker's wait expects.
    void change(TransferState next) {
        state.store(next);
        pauseEvent.set();
    }
};

}  // namespace pelmar
