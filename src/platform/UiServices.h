#pragma once
// The services of the desktop that the control uses: message box, mouse pointer, yield to
// pending events, unloading of the window that holds the control, and progress of long work.
// Qt dialogs in the desktop host, preset answers in the command-line host, recorders in tests.

#include <string>

namespace tessaran::platform {

inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
inline constexpr int kButtonsInformation = 64;
inline constexpr int kButtonsExclamation = 48;

class UiServices {
public:
    virtual ~UiServices() = default;
    // Shows `text` with the icon/buttons code and title; returns the button pressed (1 = OK).
    virtual int messageBox(const std::string& text, int buttons, const std::string& title) = 0;
    virtual void setMousePointer(int pointer) = 0;
    virtual void yield() = 0;
    virtual void unloadHostWindow() = 0;
    // Progress of a run: `done` flows handled out of `total` (total 0 ends the report).
    virtual void progress(int done, int total) = 0;
    // True once the user asked to stop the run in progress ("Annuler", an interrupt).
    virtual bool cancelRequested() { return false; }
};

}  // namespace tessaran::platform
