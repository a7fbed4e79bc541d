// The command-line host of `tessaran print` and `tessaran reprint`: it drives the real control
// without a screen, as a user would: it picks the period in the combo box, moves the
// associations into the selection and presses the button. The printer choice answers with
// the output given on the command line; what the control shows in a message box goes to
// stderr.

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ExitCodes.h"
#include "HeadlessPlatform.h"
#include "HostCommands.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "database/SqliteDatabase.h"
#include "platform/Client.h"
#include "platform/DatabaseRights.h"
#include "platform/DateText.h"
#include "platform/SystemClock.h"
#include "platform/qt/PresetPrinterChoice.h"
#include "platform/qt/QtUiServices.h"

namespace tessaran::app {
namespace {

constexpr const char* kNothingToPrint = "Aucun état de facturation à éditer.";
constexpr const char* kNothingToReprint = "Aucun état de facturation à ré-éditer.";

// Console messages that are also kept, so that the outcome of a run can be told from them.
class WatchedConsole : public platform::ConsoleUiServices {
public:
    int messageBox(const std::string& text, int buttons, const std::string& title) override {
        shown.push_back(text);
        return ConsoleUiServices::messageBox(text, buttons, title);
    }
    bool showed(const std::string& text) const { return std::find(shown.begin(), shown.end(), text) != shown.end(); }

    std::vector<std::string> shown;
};

// An output that counts what is drawn on it, so that a run that passed over every association
// is not taken for one that printed.
class CountingPageSink : public platform::PageSink {
public:
    CountingPageSink(std::unique_ptr<platform::PageSink> output, int& itemsDrawn)
        : output_(std::move(output)), itemsDrawn_(itemsDrawn) {}
    void drawText(double x, double y, const std::string& text, const platform::Font& font) override {
        ++itemsDrawn_;
        output_->drawText(x, y, text, font);
    }
    void drawLine(double x1, double y1, double x2, double y2, int width) override {
        ++itemsDrawn_;
        output_->drawLine(x1, y1, x2, y2, width);
    }
    void newPage() override { output_->newPage(); }
    void endDocument() override { output_->endDocument(); }

private:
    std::unique_ptr<platform::PageSink> output_;
    int& itemsDrawn_;
};

// The preset answer of the command line, watched: was the choice cancelled, was the output
// opened, and why it could not be.
class WatchedPrinterChoice : public platform::PrinterChoice {
public:
    explicit WatchedPrinterChoice(const HostOptions& options)
        : preset_(options.outputPath, options.printerName, options.copies) {}

    std::vector<std::string> printerNames() const override { return preset_.printerNames(); }
    platform::PrinterPick choose() override {
        const platform::PrinterPick pick = preset_.choose();
        if (pick.index < 0) cancelled = true;
        return pick;
    }
    std::unique_ptr<platform::PageSink> open(int index) override {
        try {
            auto output = std::make_unique<CountingPageSink>(preset_.open(index), itemsDrawn);
            opened = true;
            return output;
        } catch (const std::exception& error) {
            openError = error.what();
            throw;
        }
    }

    bool cancelled = false;
    bool opened = false;
    int itemsDrawn = 0;
    std::optional<std::string> openError;

private:
    platform::PresetPrinterChoice preset_;
};

class PrintRunner {
public:
    PrintRunner(const HostOptions& options, bool reprint)
        : options_(options),
          reprint_(reprint),
          command_(reprint ? "tessaran reprint: " : "tessaran print: "),
          printers_(options) {}

    int run();

private:
    int refuse(int code, const std::string& why) const {
        std::cerr << command_ << why << '\n';
        return code;
    }
    int checkOptions() const;
    int drive(control::Ctr_Tessaran& control);
    int choosePeriod(control::Ctr_Tessaran& control) const;
    int chooseAssociations(control::Ctr_Tessaran& control) const;
    int outcome() const;

    const HostOptions& options_;
    bool reprint_;
    std::string command_;
    WatchedConsole ui_;
    WatchedPrinterChoice printers_;
    std::exception_ptr runError_;
};

int PrintRunner::checkOptions() const {
    if (options_.period.empty()) return refuse(exit_code::kUsage, "give the pay period with --period YYYYMM");
    if (options_.associations.empty() && !options_.allAssociations) {
        return refuse(exit_code::kUsage, "give the associations with --assoc CODE... or --all");
    }
    if (options_.outputPath.empty() == options_.printerName.empty()) {
        return refuse(exit_code::kUsage, "give one output: --output FILE.pdf, --output FILE.txt or --printer NAME");
    }
    return exit_code::kOk;
}

int PrintRunner::run() {
    if (const int code = checkOptions(); code != exit_code::kOk) return code;

    std::shared_ptr<db::SqliteDatabase> database;
    try {
        database = db::SqliteDatabase::open(options_.databasePath);
    } catch (const std::exception& error) {
        return refuse(exit_code::kDatabase, error.what());
    }

    platform::SystemClock clock;
    control::ControlServices services{&ui_, &printers_, &clock, {}};
    int code = exit_code::kOk;
    {
        control::Ctr_Tessaran control(services);
        control.handlerError = [this](const std::string&, std::exception_ptr error) { runError_ = error; };
        try {
            control.setDroitsUtilisateur(std::make_shared<platform::DatabaseUserRights>(database, options_.userName));
            control.setTheClient(
                std::make_shared<platform::Client>(platform::Client{options_.userName, options_.databasePath}));
            control.setTheDatabase(database);
            control.Init();
        } catch (const std::exception& error) {
            code = refuse(exit_code::kDatabase, std::string("the control could not start: ") + error.what());
        }
        if (code == exit_code::kOk) code = drive(control);
    }
    // The module keeps objects created on first use; they go before the application object.
    control::resetDataModule();
    return code;
}

int PrintRunner::drive(control::Ctr_Tessaran& control) {
    if (!reprint_ && control.Cmd_Imprimer->isHidden()) {
        return refuse(exit_code::kRefusedChoice,
                      options_.userName + " may not print: printing needs right level 2 for " +
                          platform::kFunctionKey + " (see 'tessaran rights'); reprinting is allowed");
    }
    if (const int code = choosePeriod(control); code != exit_code::kOk) return code;
    if (const int code = chooseAssociations(control); code != exit_code::kOk) return code;
    if (control.Lst_Select->count() == 0) {
        return refuse(exit_code::kNothingToPrint, "the database holds no association");
    }

    QPushButton* button = reprint_ ? control.Cmd_Reedition : control.Cmd_Imprimer;
    button->click();
    return outcome();
}

int PrintRunner::choosePeriod(control::Ctr_Tessaran& control) const {
    QComboBox& periods = *control.Cbo_PeriodePaie;
    if (const auto period = platform::parsePeriod(options_.period)) {
        const int index = periods.findText(QString::fromStdString(platform::periodInCapitals(*period)));
        if (index >= 0) {
            periods.setCurrentIndex(index);
            return exit_code::kOk;
        }
    }
    std::string offered;
    for (int i = 0; i < periods.count(); ++i) {
        const std::string name = periods.itemText(i).toStdString();
        offered += (i == 0 ? "" : ", ") + platform::periodFromCapitals(name).value_or("?") + " (" + name + ")";
    }
    return refuse(exit_code::kRefusedChoice,
                  "the period " + options_.period + " is not offered; the periods offered are " + offered);
}

int PrintRunner::chooseAssociations(control::Ctr_Tessaran& control) const {
    QListWidget& possible = *control.Lst_Possible;
    const auto codeOf = [](const QListWidgetItem& entry) { return entry.text().section(QLatin1Char(' '), 0, 0); };

    std::vector<QListWidgetItem*> chosen;
    for (const std::string& code : options_.associations) {
        QListWidgetItem* found = nullptr;
        for (int i = 0; i < possible.count() && found == nullptr; ++i) {
            if (codeOf(*possible.item(i)) == QString::fromStdString(code)) found = possible.item(i);
        }
        if (found == nullptr) {
            std::string known;
            for (int i = 0; i < possible.count(); ++i) {
                known += std::string(i == 0 ? "" : " ") + codeOf(*possible.item(i)).toStdString();
            }
            return refuse(exit_code::kRefusedChoice, "no association has the code " + code +
                                                         "; the known codes are " +
                                                         (known.empty() ? std::string("(none)") : known));
        }
        chosen.push_back(found);
    }

    if (options_.allAssociations) control.Cmd_Tous->click();
    if (!chosen.empty()) {
        possible.clearSelection();
        for (QListWidgetItem* entry : chosen) entry->setSelected(true);
        control.Cmd_Select->click();
    }
    return exit_code::kOk;
}

int PrintRunner::outcome() const {
    if (printers_.openError) {
        return refuse(exit_code::kOutput, "cannot open the output: " + *printers_.openError);
    }
    if (runError_) {
        try {
            std::rethrow_exception(runError_);
        } catch (const std::exception& error) {
            return refuse(exit_code::kDatabase, std::string("the run failed: ") + error.what());
        } catch (...) {
            return refuse(exit_code::kDatabase, "the run failed");
        }
    }
    if (printers_.cancelled) return refuse(exit_code::kCancelled, "the printer choice was cancelled");
    if (ui_.showed(kNothingToPrint) || ui_.showed(kNothingToReprint)) return exit_code::kNothingToPrint;
    if (!printers_.opened || printers_.itemsDrawn == 0) {
        return refuse(exit_code::kNothingToPrint,
                      ui_.shown.empty() ? "nothing was printed" : "nothing was printed (see the messages above)");
    }
    return exit_code::kOk;
}

}  // namespace

int runPrintHost(int& argc, char** argv, const HostOptions& options, bool reprint) {
    useOffscreenPlatformWithoutDisplay();
    QApplication application(argc, argv);
    PrintRunner runner(options, reprint);
    return runner.run();
}

}  // namespace tessaran::app
