#pragma once
// The toggle state of Caps Lock, Num Lock and Scroll Lock for the status bar. Qt has no
// portable query; on Linux the keyboard LEDs in /sys/class/leds tell it. Where no source
// answers, every key reads as off.

#include <QString>

namespace mv53::platform {

struct LockKeyState {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// Reads the state now. ledFolder is the LED class folder ("/sys/class/leds"); tests pass
// a folder of their own.
LockKeyState ReadLockKeys(const QString& ledFolder = QStringLiteral("/sys/class/leds"));

}  // namespace mv53::platform
