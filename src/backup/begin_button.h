#pragma once

#include <optional>
#include <string_view>

#include "backup/transfer_state.h"

namespace pelmar {

enum class CancelButton { Unchanged, Show, Hide };

// What the backup page does after a press of "Begin Backup" or "Cancel". The page applies the
// state to the shared control first, then shows the texts.
struct ButtonEffect {
    TransferState state = TransferState::Idle;  // the state after the press
    std::string_view beginText;                 // the new text of "Begin Backup"; empty keeps it
    bool beginEnabled = true;
    CancelButton cancel = CancelButton::Unchanged;
    bool signalPauseEvent = false;  // wake the worker once the state is changed
    bool checkAndStart = false;     // run checkBeforeBackup, then runStarted() if it passes
};

// The one "Begin Backup" button: start, pause or continue, by the state it was pressed in.
[[nodiscard]] ButtonEffect beginBackupPressed(TransferState state);

// The checks passed: the run begins and the button offers to pause it.
[[nodiscard]] ButtonEffect runStarted();

// "Cancel", shown only while paused: the run ends and the page runs no other.
[[nodiscard]] ButtonEffect cancelPressed();

// Puts the effect's state into the control, provided the state is still `seen`, and signals
// the pause event when asked. False when the worker changed the state in between (a run that
// just completed); the page then presses again on the state it finds.
bool applyButtonEffect(TransferControl& control, TransferState seen, const ButtonEffect& effect);

// The message that keeps the sheet open while a run is under way; nothing when it may close.
[[nodiscard]] std::optional<std::string_view> closeRefusal(TransferState state);

}  // namespace pelmar
