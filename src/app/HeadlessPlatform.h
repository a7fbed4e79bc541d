#pragma once
// The command-line host runs the control without a screen: when no display is reachable and
// no platform was chosen, Qt is told to use its offscreen platform.

#include <cstdlib>

namespace tessaran::app {

inline void useOffscreenPlatformWithoutDisplay() {
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

}  // namespace tessaran::app
