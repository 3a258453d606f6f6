#include "backup/begin_button.h"

namespace pelmar {

ButtonEffect beginBackupPressed(TransferState state) {
    ButtonEffect effect;
    effect.state = state;
    switch (state) {
        case TransferState::Idle:
            effect.checkAndStart = true;
            break;
        case TransferState::Running:
            effect.state = TransferState::Paused;
            effect.beginText = "Continue";
            effect.cancel = CancelButton::Show;
            effect.signalPauseEvent = true;
            break;
        case TransferState::Paused:
            effect.state = TransferState::Running;
            effect.beginText = "Pause";
            effect.cancel = CancelButton::Hide;
            effect.signalPauseEvent = true;
            break;
        case TransferState::Completed:
            effect.beginText = "Completed";
            effect.beginEnabled = false;
            break;
        case TransferState::Canceled:
        default:
            // A state word the page does not know ends the run as a cancel would.
            effect.state = TransferState::Canceled;
            effect.beginText = "Canceled";
            effect.beginEnabled = false;
            break;
    }
    return effect;
}

ButtonEffect runStarted() {
    ButtonEffect effect;
    effect.state = TransferState::Running;
    effect.beginText = "Pause";
    return effect;
}

ButtonEffect cancelPressed() {
    ButtonEffect effect;
    effect.state = TransferState::Canceled;
    effect.beginText = "Canceled";
    effect.beginEnabled = false;
    effect.cancel = CancelButton::Hide;
    effect.signalPauseEvent = true;
    return effect;
}

bool applyButtonEffect(TransferControl& control, TransferState seen, const ButtonEffect& effect) {
    if (!control.state.compare_exchange_strong(seen, effect.state)) {
        return false;
    }
    if (effect.signalPauseEvent) {
        control.pauseEvent.set();
    }
    return true;
}

std::optional<std::string_view> closeRefusal(TransferState state) {
    if (state == TransferState::Running || state == TransferState::Paused) {
        return "A transfer is in progress.  Please click 'Pause' and then 'Cancel' to stop the "
               "transfer.";
    }
    return std::nullopt;
}

}  // namespace pelmar
