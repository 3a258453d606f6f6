#include "platform/keyboard_locks.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

void light(const test::TempFolder& leds, const std::string& name, const std::string& level) {
    std::filesystem::create_directories(leds.path() / name);
    std::ofstream(leds.path() / name / "brightness") << level << "\n";
}

TEST(KeyboardLocks, ALockIsOnWhenAnyKeyboardLightsIt) {
    const test::TempFolder leds;
    light(leds, "input3::capslock", "0");
    light(leds, "input7::capslock", "1");
    light(leds, "input3::numlock", "1");
    light(leds, "input3::scrolllock", "0");
    light(leds, "phy0-led", "1");
    const KeyboardLocks locks = readKeyboardLocks(leds.path().string());
    EXPECT_TRUE(locks.capsLock);
    EXPECT_TRUE(locks.numLock);
    EXPECT_FALSE(locks.scrollLock);
}

TEST(KeyboardLocks, UnreadableOrMissingLightsReadAsOff) {
    const test::TempFolder leds;
    std::filesystem::create_directories(leds.path() / "input3::capslock");
    light(leds, "input3::numlock", "bright");
    const KeyboardLocks locks = readKeyboardLocks(leds.path().string());
    EXPECT_FALSE(locks.capsLock);
    EXPECT_FALSE(locks.numLock);
    const KeyboardLocks none = readKeyboardLocks((leds.path() / "missing").string());
    EXPECT_FALSE(none.capsLock || none.numLock || none.scrollLock);
}

}  // namespace
}  // namespace pelmar
