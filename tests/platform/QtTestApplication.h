#pragma once
// The one QApplication the Qt tests of this program share (headless: QT_QPA_PLATFORM=offscreen).

#include <QApplication>

namespace tessaran::platform::testing {

inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "test_platform";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

}  // namespace tessaran::platform::testing
