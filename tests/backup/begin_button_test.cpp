#include "backup/begin_button.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace pelmar {
namespace {

constexpr std::string_view kTransferInProgress =
    "A transfer is in progress.  Please click 'Pause' and then 'Cancel' to stop the transfer.";

TEST(BeginButton, PressDependsOnTheState) {
    struct Case {
        TransferState pressedIn;
        TransferState after;
        std::string_view text;
        bool enabled;
        CancelButton cancel;
        bool signal;
        bool checkAndStart;
    };
    const Case cases[] = {
        {TransferState::Idle, TransferState::Idle, "", true, CancelButton::Unchanged, false, true},
        {TransferState::Running, TransferState::Paused, "Continue", true, CancelButton::Show, true,
         false},
        {TransferState::Paused, TransferState::Running, "Pause", true, CancelButton::Hide, true,
         false},
        {TransferState::Canceled, TransferState::Canceled, "Canceled", false,
         CancelButton::Unchanged, false, false},
        {TransferState::Completed, TransferState::Completed, "Completed", false,
         CancelButton::Unchanged, false, false},
        {static_cast<TransferState>(7), TransferState::Canceled, "Canceled", false,
         CancelButton::Unchanged, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.pressedIn));
        const ButtonEffect effect = beginBackupPressed(c.pressedIn);
        EXPECT_EQ(effect.state, c.after);
        EXPECT_EQ(effect.beginText, c.text);
        EXPECT_EQ(effect.beginEnabled, c.enabled);
        EXPECT_EQ(effect.cancel, c.cancel);
        EXPECT_EQ(effect.signalPauseEvent, c.signal);
        EXPECT_EQ(effect.checkAndStart, c.checkAndStart);
    }
}

TEST(BeginButton, StartedRunOffersToPause) {
    const ButtonEffect effect = runStarted();
    EXPECT_EQ(effect.state, TransferState::Running);
    EXPECT_EQ(effect.beginText, "Pause");
    EXPECT_TRUE(effect.beginEnabled);
    EXPECT_FALSE(effect.signalPauseEvent);
}

TEST(BeginButton, CancelEndsTheRunForGood) {
    const ButtonEffect effect = cancelPressed();
    EXPECT_EQ(effect.state, TransferState::Canceled);
    EXPECT_EQ(effect.beginText, "Canceled");
    EXPECT_FALSE(effect.beginEnabled);
    EXPECT_EQ(effect.cancel, CancelButton::Hide);
    EXPECT_TRUE(effect.signalPauseEvent);
}

TEST(BeginButton, ClosingIsRefusedOnlyWhileARunIsUnderWay) {
    EXPECT_EQ(closeRefusal(TransferState::Running), kTransferInProgress);
    EXPECT_EQ(closeRefusal(TransferState::Paused), kTransferInProgress);
    EXPECT_FALSE(closeRefusal(TransferState::Idle));
    EXPECT_FALSE(closeRefusal(TransferState::Canceled));
    EXPECT_FALSE(closeRefusal(TransferState::Completed));
}

TEST(BeginButton, PauseThenCancelLetsTheSheetClose) {
    TransferControl control;
    ASSERT_TRUE(applyButtonEffect(control, TransferState::Idle, runStarted()));
    EXPECT_TRUE(closeRefusal(control.state.load()));

    ASSERT_TRUE(applyButtonEffect(control, TransferState::Running,
                                  beginBackupPressed(TransferState::Running)));
    EXPECT_EQ(control.state.load(), TransferState::Paused);
    EXPECT_TRUE(closeRefusal(control.state.load()));

    ASSERT_TRUE(applyButtonEffect(control, TransferState::Paused, cancelPressed()));
    EXPECT_EQ(control.state.load(), TransferState::Canceled);
    EXPECT_FALSE(closeRefusal(control.state.load()));
}

TEST(BeginButton, ContinueWakesTheWorkerWaitingWhilePaused) {
    TransferControl control;
    control.state = TransferState::Paused;
    auto worker = std::async(std::launch::async, [&control] {
        control.pauseEvent.waitWhile(
            [&control] { return control.state.load() == TransferState::Paused; });
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the worker wait first

    ASSERT_TRUE(applyButtonEffect(control, TransferState::Paused,
                                  beginBackupPressed(TransferState::Paused)));
    const bool woke = worker.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!woke) {
        control.pauseEvent.set();  // release the worker so the test can end
    }
    EXPECT_TRUE(woke);
}

TEST(BeginButton, PressRacingTheRunsCompletionChangesNothing) {
    TransferControl control;
    control.state = TransferState::Completed;  // the worker finished after the page looked
    const ButtonEffect pause = beginBackupPressed(TransferState::Running);
    EXPECT_FALSE(applyButtonEffect(control, TransferState::Running, pause));
    EXPECT_EQ(control.state.load(), TransferState::Completed);
    EXPECT_FALSE(closeRefusal(control.state.load()));
}

}  // namespace
}  // namespace pelmar
