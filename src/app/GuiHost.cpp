// The desktop host of `tessaran gui`: a main window holding the control, with the system's
// print dialog, message boxes, the help window and the print-preview window of "Aperçu". The window closes when the control
// unloads it ("Sortir", or the end of a print or reprint run), and the program ends then.

#include <QApplication>
#include <QCloseEvent>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMainWindow>
#include <QMessageBox>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "DatabasePath.h"
#include "Access.h"
#include "CommandLine.h"
#include "ExitCodes.h"
#include "HostCommands.h"
#include "Messages.h"
#include "control/Ctr_Tessaran.h"
#include "database/OpenDatabase.h"
#include "platform/Client.h"
#include "platform/DatabaseRights.h"
#include "platform/SystemClock.h"
#include "platform/qt/DialogPrinterChoice.h"
#include "platform/qt/PreviewPrinterChoice.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtUiServices.h"

namespace tessaran::app {
namespace {

const QString kWindowTitle = QStringLiteral("Etat de facturation par association");

// The program ends with its main window, even while the help window is still open.
class HostWindow : public QMainWindow {
protected:
    void closeEvent(QCloseEvent* event) override {
        QMainWindow::closeEvent(event);
        if (event->isAccepted()) QCoreApplication::quit();
    }
};

// The failure goes to stderr for the terminal the program was started from, and to a message
// box, in French, for the user at the screen.
void reportFailure(QWidget* parent, const std::string& consolePrefix, const std::string& screenText,
                   const std::string& cause) {
    std::cerr << messagePrefix("gui") << consolePrefix << cause << '\n';
    // Without a screen (the offscreen platform) nobody could answer the box.
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) return;
    QMessageBox::critical(parent, kWindowTitle, QString::fromStdString(screenText + " :\n" + cause));
}

// Qt's own dialogs (the print dialog, the preview window, message box buttons) speak French,
// like the rest of the window.
void speakFrench(QApplication& application, QTranslator& translator) {
    if (translator.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        application.installTranslator(&translator);
    }
}

// True when a window can be shown: a display, or a platform chosen explicitly.
bool screenAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int runGuiHost(int& argc, char** argv, CommandLine line) {
    const HostOptions& options = line.host;  // its user becomes the server's role when checked
    if (!screenAvailable()) {
        // No window can be made: a core application object gives the message its language.
        int coreArgc = 1;
        const QCoreApplication core(coreArgc, argv);
        std::cerr << messagePrefix("gui")
                  << filled(QCoreApplication::translate("GuiHost", "no screen is available (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                                                         "Open the window from a graphical session, or print without a "
                                                         "window with 'tessaran print' (see 'tessaran print --help').\n"));
        return exit_code::kOutput;
    }
    QApplication application(argc, argv);
    QTranslator qtTranslator;
    speakFrench(application, qtTranslator);

    std::shared_ptr<db::MultivalueDatabase> database;
    try {
        if (!databaseFileExists(options.databasePath)) throw std::runtime_error(missingDatabaseMessage(options.databasePath));
        database = db::openDatabase(options.databasePath);
    } catch (const std::exception& error) {
        reportFailure(nullptr, "",
                      "La base de données " + options.databasePath + " ne peut pas être ouverte", error.what());
        return exit_code::kDatabase;
    }

    std::ostringstream refusal;
    if (const int refused = checkAccess(line, refusal); refused != exit_code::kOk) {
        std::string detail = refusal.str();
        if (!detail.empty() && detail.back() == '\n') detail.pop_back();
        const std::string prefix = messagePrefix("gui");
        if (detail.rfind(prefix, 0) == 0) detail.erase(0, prefix.size());
        reportFailure(nullptr, "", "Vous n'avez pas accès aux états de facturation sur cette base de données", detail);
        return refused;
    }

    HostWindow window;
    window.setWindowTitle(kWindowTitle);
    platform::QtUiServices ui(&window, [&window] { window.close(); });
    platform::DialogPrinterChoice printers(&window);
    platform::PreviewPrinterChoice preview(&window);
    platform::SystemClock clock;
    control::ControlServices services{&ui, &printers, &clock,
                                      [] { return std::make_unique<platform::QtHelpViewer>(); }, &preview};

    auto* control = new control::Ctr_Tessaran(services, &window);
    window.setCentralWidget(control);
    int code = exit_code::kOk;
    try {
        control->setDroitsUtilisateur(std::make_shared<platform::DatabaseUserRights>(database, options.userName));
        control->setTheClient(
            std::make_shared<platform::Client>(platform::Client{options.userName, options.databasePath}));
        control->setTheDatabase(database);
        control->Init();
        window.show();
        code = application.exec();
    } catch (const std::exception& error) {
        ui.setMousePointer(platform::kPointerDefault);
        reportFailure(&window, filled(QCoreApplication::translate("GuiHost", "the control could not start: ")), "Le contrôle n'a pas pu démarrer",
                      error.what());
        code = exit_code::kDatabase;
    }
    // The control goes while the services it was given still exist.
    std::unique_ptr<QWidget>(window.takeCentralWidget()).reset();
    return code;
}

}  // namespace tessaran::app
