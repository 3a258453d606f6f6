#pragma once

#include <string>

namespace pelmar {

struct KeyboardLocks {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// The lock keys' state from the keyboard lights the kernel lists under `ledsRoot`
// (<device>::capslock/brightness and the like). A light that cannot be read counts as off.
[[nodiscard]] KeyboardLocks readKeyboardLocks(const std::string& ledsRoot = "/sys/class/leds");

}  // namespace pelmar
