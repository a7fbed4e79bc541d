#pragma once
// The command-line host runs the control without a screen: when no display is reachable and
// no platform was chosen, Qt is told to use its offscreen platform.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tessaran::app {

inline void useOffscreenPlatformWithoutDisplay() {
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Qt wants a private runtime folder; a shell without a login session has none, so give it
    // one of ours rather than let it warn on every run.
    if (!isSet("XDG_RUNTIME_DIR")) {
        const std::string folder = "/tmp/tessaran-runtime-" + std::to_string(getuid());
        if (mkdir(folder.c_str(), 0700) == 0 || access(folder.c_str(), W_OK) == 0) {
            setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        }
    }
}

}  // namespace tessaran::app
