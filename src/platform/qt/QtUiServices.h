#pragma once
// UI services of the desktop host: message boxes, the override cursor, event processing,
// closing of the host window, and a progress dialog.

#include <functional>
#include <memory>

#include "platform/UiServices.h"

class QWidget;

namespace tessaran::platform {

class QtUiServices : public UiServices {
public:
    QtUiServices(QWidget* dialogParent, std::function<void()> unloadWindow);
    ~QtUiServices() override;
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    void setMousePointer(int pointer) override;
    void yield() override;
    void unloadHostWindow() override;
    void progress(int done, int total) override;
    // "Annuler" was pressed in the progress window.
    bool cancelRequested() override;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// UI services of the command-line host: messages go to stderr as "<title>: <text>", the
// progress goes to stderr as one updated line when stderr is a terminal.
class ConsoleUiServices : public UiServices {
public:
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    void setMousePointer(int) override {}
    void yield() override;
    void unloadHostWindow() override { ++unloads_; }
    void progress(int done, int total) override;
    int unloads() const { return unloads_; }
    int messages() const { return messages_; }

private:
    int unloads_ = 0;
    int messages_ = 0;
    bool progressShown_ = false;  // a progress line is open on the terminal
};

}  // namespace tessaran::platform
