#include "QtUiServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

#include <unistd.h>

#include <iostream>

namespace tessaran::platform {

namespace {

// The icon part of a buttons code: 16 critical, 32 question, 48 exclamation, 64 information.
QMessageBox::Icon iconOf(int buttons) {
    switch (buttons & 0x70) {
        case 16: return QMessageBox::Critical;
        case 32: return QMessageBox::Question;
        case 48: return QMessageBox::Warning;
        case 64: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

// The buttons part of the code: 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel,
// 4 Yes/No, 5 Retry/Cancel.
QMessageBox::StandardButtons buttonsOf(int buttons) {
    switch (buttons & 0x0F) {
        case 1: return QMessageBox::Ok | QMessageBox::Cancel;
        case 2: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case 3: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case 4: return QMessageBox::Yes | QMessageBox::No;
        case 5: return QMessageBox::Retry | QMessageBox::Cancel;
        default: return QMessageBox::Ok;
    }
}

// The answer as the application numbers it: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
int answerOf(int pressed) {
    switch (pressed) {
        case QMessageBox::Cancel: return 2;
        case QMessageBox::Abort: return 3;
        case QMessageBox::Retry: return 4;
        case QMessageBox::Ignore: return 5;
        case QMessageBox::Yes: return 6;
        case QMessageBox::No: return 7;
        default: return 1;
    }
}

}  // namespace

struct QtUiServices::Impl {
    QWidget* dialogParent = nullptr;
    std::function<void()> unloadWindow;
    bool hourglass = false;
    QPointer<QProgressDialog> progress;
};

QtUiServices::QtUiServices(QWidget* dialogParent, std::function<void()> unloadWindow)
    : impl_(std::make_unique<Impl>()) {
    impl_->dialogParent = dialogParent;
    impl_->unloadWindow = std::move(unloadWindow);
}

QtUiServices::~QtUiServices() {
    if (impl_->hourglass) QGuiApplication::restoreOverrideCursor();
    delete impl_->progress.data();  // null when its parent already took it away
}

int QtUiServices::messageBox(const std::string& text, int buttons, const std::string& title) {
    QMessageBox box(iconOf(buttons), QString::fromStdString(title), QString::fromStdString(text), buttonsOf(buttons),
                    impl_->dialogParent);
    // The pointer may be the hourglass of a run; the user must see a normal one to answer.
    if (impl_->hourglass) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    if (impl_->hourglass) QGuiApplication::restoreOverrideCursor();
    return answerOf(pressed);
}

void QtUiServices::setMousePointer(int pointer) {
    const bool wantHourglass = pointer == kPointerHourglass;
    if (wantHourglass == impl_->hourglass) return;
    if (wantHourglass) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    impl_->hourglass = wantHourglass;
}

void QtUiServices::yield() { QCoreApplication::processEvents(); }

void QtUiServices::unloadHostWindow() {
    if (impl_->unloadWindow) impl_->unloadWindow();
}

void QtUiServices::progress(int done, int total) {
    if (total <= 0) {
        if (impl_->progress) {
            impl_->progress->reset();
            impl_->progress->hide();
        }
        return;
    }
    if (!impl_->progress) {
        // Owned by the dialog parent when there is one, else by this object (see the destructor).
        impl_->progress = new QProgressDialog(QStringLiteral("Impression en cours..."), QStringLiteral("Annuler"), 0,
                                              total, impl_->dialogParent);
        impl_->progress->setWindowModality(Qt::NonModal);
        impl_->progress->setAutoClose(true);
        impl_->progress->setAutoReset(false);
        impl_->progress->setMinimumDuration(0);
    }
    impl_->progress->setMaximum(total);
    impl_->progress->setValue(done);
    // The window's controls are disabled during a run: only "Annuler" can be pressed.
    QCoreApplication::processEvents();
}

bool QtUiServices::cancelRequested() { return impl_->progress && impl_->progress->wasCanceled(); }

int ConsoleUiServices::messageBox(const std::string& text, int /*buttons*/, const std::string& title) {
    std::cerr << title << ": " << text << '\n' << std::flush;
    ++messages_;
    return 1;
}

void ConsoleUiServices::yield() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

void ConsoleUiServices::progress(int done, int total) {
    if (isatty(STDERR_FILENO) == 0) return;
    if (total > 0) {
        std::cerr << "\rflux " << done << '/' << total << std::flush;
        progressShown_ = true;
    } else if (progressShown_) {
        std::cerr << '\n' << std::flush;
        progressShown_ = false;
    }
}

}  // namespace tessaran::platform
