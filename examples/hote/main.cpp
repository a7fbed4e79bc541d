// A host application that embeds the control Ctr_Tessaran, as a management application
// would: it opens the database named on its command line, reads the user's rights from it,
// and shows the control in its main window.
//
//   hote_tessaran BASE [UTILISATEUR] [--verifier]
//
// --verifier opens the database and starts the control without showing the window, says
// what the control offers, and ends: exit code 0 when the control started, 1 on a wrong
// command line, 2 when the database or the control could not start.

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "control/Ctr_Tessaran.h"
#include "database/OpenDatabase.h"
#include "platform/Client.h"
#include "platform/DatabaseRights.h"
#include "platform/RecordingUiServices.h"
#include "platform/SystemClock.h"
#include "platform/qt/DialogPrinterChoice.h"
#include "platform/qt/PreviewPrinterChoice.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtUiServices.h"

namespace {

const QString kTitle = QStringLiteral("Facturation des associations");

struct Options {
    std::string database;
    std::string user;
    bool check = false;
};

std::string loginName() {
    const char* name = std::getenv("USER");
    return name != nullptr ? name : "";
}

bool parse(const QStringList& arguments, Options& options) {
    QStringList positional;
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--verifier")) options.check = true;
        else if (argument.startsWith(QStringLiteral("-"))) return false;
        else positional.push_back(argument);
    }
    if (positional.isEmpty() || positional.size() > 2) return false;
    options.database = positional[0].toStdString();
    // The user: the second argument, else the login name.
    options.user = positional.size() == 2 ? positional[1].toStdString() : loginName();
    return true;
}

// The control on its database, with the user's rights and the client object a host gives.
void startControl(tessaran::control::Ctr_Tessaran& control,
                  const std::shared_ptr<tessaran::db::MultivalueDatabase>& database, const Options& options) {
    control.setDroitsUtilisateur(std::make_shared<tessaran::platform::DatabaseUserRights>(database, options.user));
    control.setTheClient(std::make_shared<tessaran::platform::Client>(
        tessaran::platform::Client{options.user, options.database}));
    control.setTheDatabase(database);
    control.Init();
}

// Starts the control with its messages kept rather than shown, says what it offers, and
// whether it started without a message.
int check(const std::shared_ptr<tessaran::db::MultivalueDatabase>& database, const Options& options) {
    tessaran::platform::RecordingUiServices ui;
    tessaran::platform::SystemClock clock;
    tessaran::platform::DialogPrinterChoice printers(nullptr);
    QMainWindow window;
    window.setWindowTitle(kTitle);
    auto* control = new tessaran::control::Ctr_Tessaran({&ui, &printers, &clock, nullptr, nullptr}, &window);
    window.setCentralWidget(control);
    try {
        startControl(*control, database, options);
    } catch (const std::exception& error) {
        std::cerr << "Le contrôle n'a pas pu démarrer : " << error.what() << '\n';
        std::unique_ptr<QWidget>(window.takeCentralWidget()).reset();
        return 2;
    }
    for (const auto& message : ui.messages) std::cerr << message.title << " : " << message.text << '\n';
    std::cout << "Contrôle démarré : " << control->Cbo_PeriodePaie->count() << " périodes de paie, "
              << control->Lst_Possible->count() << " associations, impression "
              << (control->Cmd_Imprimer->isHidden() ? "refusée" : "permise")
              << ".\n";
    const bool started = ui.messages.empty() && control->Cbo_PeriodePaie->count() > 0;
    // The control goes while the services it was given still exist.
    std::unique_ptr<QWidget>(window.takeCentralWidget()).reset();
    return started ? EXIT_SUCCESS : 2;
}

int show(const std::shared_ptr<tessaran::db::MultivalueDatabase>& database, const Options& options) {
    QMainWindow window;
    window.setWindowTitle(kTitle);
    tessaran::platform::QtUiServices ui(&window, [&window] { window.close(); });
    tessaran::platform::DialogPrinterChoice printers(&window);
    tessaran::platform::PreviewPrinterChoice preview(&window);
    tessaran::platform::SystemClock clock;
    const auto makeHelpViewer = [] { return std::make_unique<tessaran::platform::QtHelpViewer>(); };
    auto* control =
        new tessaran::control::Ctr_Tessaran({&ui, &printers, &clock, makeHelpViewer, &preview}, &window);
    window.setCentralWidget(control);
    int code = EXIT_SUCCESS;
    try {
        startControl(*control, database, options);
        window.show();
        code = QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(&window, kTitle,
                              QStringLiteral("Le contrôle n'a pas pu démarrer :\n") + QString::fromStdString(error.what()));
        code = 2;
    }
    std::unique_ptr<QWidget>(window.takeCentralWidget()).reset();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Options options;
    if (!parse(QApplication::arguments(), options)) {
        std::cerr << "Usage : hote_tessaran BASE [UTILISATEUR] [--verifier]\n";
        return 1;
    }
    try {
        const auto database = tessaran::db::openDatabase(options.database);
        return options.check ? check(database, options) : show(database, options);
    } catch (const std::exception& error) {
        std::cerr << "La base de données " << options.database << " ne peut pas être ouverte : " << error.what()
                  << '\n';
        return 2;
    }
}
