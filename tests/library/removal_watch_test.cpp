#include "library/removal_watch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "util/display_name.h"

namespace pelmar {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Long enough that only a hung or broken watch runs into it, even on a loaded machine.
constexpr auto kGenerousWait = 10s;
constexpr auto kPeriod = 20ms;
constexpr auto kRetryDelay = 5ms;
const std::string kRoot = "/media/player/";

// Answers the watch's probes by call number and keeps what it was asked, and when.
class FakeProbe {
  public:
    explicit FakeProbe(std::function<bool(int call)> answer) : answer_(std::move(answer)) {}

    RemovalWatch::Probe function() {
        return [this](const std::string& path) { return probe(path); };
    }

    [[nodiscard]] bool waitForCalls(std::size_t count) {
        std::unique_lock lock(mutex_);
        return called_.wait_for(lock, kGenerousWait, [&] { return paths_.size() >= count; });
    }

    [[nodiscard]] std::size_t calls() {
        const std::lock_guard lock(mutex_);
        return paths_.size();
    }

    [[nodiscard]] std::vector<std::string> paths() {
        const std::lock_guard lock(mutex_);
        return paths_;
    }

    [[nodiscard]] std::vector<Clock::time_point> times() {
        const std::lock_guard lock(mutex_);
        return times_;
    }

  private:
    bool probe(const std::string& path) {
        int call = 0;
        {
            const std::lock_guard lock(mutex_);
            call = static_cast<int>(paths_.size());
            paths_.push_back(path);
            times_.push_back(Clock::now());
        }
        called_.notify_all();
        return answer_(call);
    }

    const std::function<bool(int call)> answer_;
    std::mutex mutex_;
    std::condition_variable called_;
    std::vector<std::string> paths_;
    std::vector<Clock::time_point> times_;
};

// The roots the watch reported as removed.
class RemovalLog {
  public:
    RemovalWatch::RemovedCallback callback() {
        return [this](const std::string& root) { record(root); };
    }

    [[nodiscard]] bool waitForReports(std::size_t count) {
        std::unique_lock lock(mutex_);
        return reported_.wait_for(lock, kGenerousWait, [&] { return roots_.size() >= count; });
    }

    [[nodiscard]] std::vector<std::string> roots() {
        const std::lock_guard lock(mutex_);
        return roots_;
    }

  private:
    void record(const std::string& root) {
        {
            const std::lock_guard lock(mutex_);
            roots_.push_back(root);
        }
        reported_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable reported_;
    std::vector<std::string> roots_;
};

std::unique_ptr<RemovalWatch> makeWatch(RemovalLog& log, FakeProbe& probe,
                                        std::chrono::milliseconds period = kPeriod,
                                        std::chrono::milliseconds retryDelay = kRetryDelay) {
    return std::make_unique<RemovalWatch>(log.callback(), probe.function(), period, retryDelay);
}

TEST(RemovalWatch, ReportsAnUnpluggedPlayerOnceAfterTwoFailedProbesOfItsMarkerFolder) {
    FakeProbe probe([](int) { return false; });
    RemovalLog log;
    auto watch = makeWatch(log, probe);

    const Clock::time_point watched = Clock::now();
    watch->watch(kRoot);
    ASSERT_TRUE(log.waitForReports(1));
    EXPECT_EQ(log.roots(), std::vector<std::string>{kRoot});

    // A removal ends the watch: several periods later nothing more is probed or reported.
    std::this_thread::sleep_for(10 * kPeriod);
    watch.reset();
    EXPECT_EQ(log.roots().size(), 1u);
    EXPECT_EQ(probe.paths(), std::vector<std::string>(2, kRoot + "iPod_Control"));

    const std::vector<Clock::time_point> times = probe.times();
    ASSERT_EQ(times.size(), 2u);
    EXPECT_GE(times[0] - watched, kPeriod);
    EXPECT_GE(times[1] - times[0], kRetryDelay);
}

TEST(RemovalWatch, AFailedProbeThatSucceedsOnRetryIsNotARemoval) {
    // Every pass fails once and then succeeds.
    FakeProbe probe([](int call) { return call % 2 == 1; });
    RemovalLog log;
    auto watch = makeWatch(log, probe);

    watch->watch(kRoot);
    ASSERT_TRUE(probe.waitForCalls(8));
    watch.reset();
    EXPECT_TRUE(log.roots().empty());
}

TEST(RemovalWatch, ProbesNothingUntilWatchedAndNothingAfterStop) {
    FakeProbe probe([](int) { return true; });
    RemovalLog log;
    auto watch = makeWatch(log, probe);

    std::this_thread::sleep_for(5 * kPeriod);
    EXPECT_EQ(probe.calls(), 0u);

    watch->watch(kRoot);
    ASSERT_TRUE(probe.waitForCalls(3));
    watch->stop();
    // A probe already under way when stop() was called may still land.
    const std::size_t atStop = probe.calls();
    std::this_thread::sleep_for(10 * kPeriod);
    EXPECT_LE(probe.calls(), atStop + 1);
    EXPECT_TRUE(log.roots().empty());
}

TEST(RemovalWatch, StopDuringTheRetryDelayCancelsTheReport) {
    FakeProbe probe([](int) { return false; });
    RemovalLog log;
    auto watch = makeWatch(log, probe, kPeriod, 60s);

    watch->watch(kRoot);
    ASSERT_TRUE(probe.waitForCalls(1));
    watch->stop();
    watch.reset();
    EXPECT_EQ(probe.calls(), 1u);
    EXPECT_TRUE(log.roots().empty());
}

TEST(RemovalWatch, StopWhileTheRetryProbeRunsCancelsTheReport) {
    std::atomic<RemovalWatch*> watched{nullptr};
    FakeProbe probe([&](int call) {
        if (call == 1) {
            watched.load()->stop();
        }
        return false;
    });
    RemovalLog log;
    auto watch = makeWatch(log, probe);
    watched = watch.get();

    watch->watch(kRoot);
    ASSERT_TRUE(probe.waitForCalls(2));
    watch.reset();
    EXPECT_EQ(probe.calls(), 2u);
    EXPECT_TRUE(log.roots().empty());
}

TEST(RemovalWatch, WatchingAgainAfterARemovalReportsALaterRemoval) {
    std::atomic<bool> plugged{false};
    FakeProbe probe([&](int) { return plugged.load(); });
    RemovalLog log;
    auto watch = makeWatch(log, probe);

    watch->watch("/media/first/");
    ASSERT_TRUE(log.waitForReports(1));

    plugged = true;
    watch->watch("/media/second/");
    const std::size_t beforeSecond = probe.calls();
    ASSERT_TRUE(probe.waitForCalls(beforeSecond + 3));
    EXPECT_EQ(log.roots().size(), 1u);

    plugged = false;
    ASSERT_TRUE(log.waitForReports(2));
    EXPECT_EQ(log.roots(), (std::vector<std::string>{"/media/first/", "/media/second/"}));
    EXPECT_EQ(probe.paths().back(), "/media/second/iPod_Control");
}

TEST(RemovalWatch, DestructionDoesNotWaitOutAPeriodOrARetryDelay) {
    FakeProbe probe([](int) { return false; });
    RemovalLog log;

    auto idle = makeWatch(log, probe, 60s, 60s);
    auto inPeriod = makeWatch(log, probe, 60s, 60s);
    inPeriod->watch(kRoot);
    auto inRetry = makeWatch(log, probe, 1ms, 60s);
    inRetry->watch(kRoot);
    ASSERT_TRUE(probe.waitForCalls(1));

    const Clock::time_point start = Clock::now();
    idle.reset();
    inPeriod.reset();
    inRetry.reset();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_TRUE(log.roots().empty());
}

TEST(RemovalWatch, DefaultProbeReadsTheAttributesOfThePath) {
    EXPECT_TRUE(pathAttributesReadable("/"));
    EXPECT_FALSE(pathAttributesReadable("/no/such/player/iPod_Control"));
}

TEST(PlayerRemovedMessage, NamesTheProgramTwice) {
    EXPECT_EQ(playerRemovedMessage(kDisplayName),
              "Pelmar Vantrell can no longer communicate with your iPod.\n\n"
              "It appears that it was unplugged without first disconnecting in Pelmar Vantrell.");
}

}  // namespace
}  // namespace pelmar
