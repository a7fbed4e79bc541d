// The command-line host of `tessaran print`, `reprint` and `preview`: it checks the choices as
// the control's panel offers them (the periods, the associations, the right to print), builds
// the run's request and runs the billing engine headless. The printer choice answers with
// the output given on the command line; what the control would show in a message box goes to
// stderr; an interrupt (Ctrl-C, SIGTERM) cancels the run. The exit code comes from the run's
// outcome alone.

#include <QApplication>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "DatabasePath.h"
#include "ExitCodes.h"
#include "HeadlessPlatform.h"
#include "HostCommands.h"
#include "Messages.h"
#include "billing/BillingEngine.h"
#include "billing/PanelChoices.h"
#include "database/OpenDatabase.h"
#include "platform/DatabaseRights.h"
#include "platform/DateText.h"
#include "platform/SystemClock.h"
#include "platform/qt/PresetPrinterChoice.h"
#include "platform/qt/QtUiServices.h"

namespace tessaran::app {
namespace {

constexpr int kLevelAllowedToPrint = 2;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) { interrupted = 1; }

// Console messages, and a run that stops at the next flow once the process is interrupted.
class InterruptibleConsole : public platform::ConsoleUiServices {
public:
    InterruptibleConsole() {
        interrupted = 0;
        previousInt_ = std::signal(SIGINT, onInterrupt);
        previousTerm_ = std::signal(SIGTERM, onInterrupt);
    }
    ~InterruptibleConsole() override {
        std::signal(SIGINT, previousInt_);
        std::signal(SIGTERM, previousTerm_);
    }
    InterruptibleConsole(const InterruptibleConsole&) = delete;
    InterruptibleConsole& operator=(const InterruptibleConsole&) = delete;
    bool cancelRequested() override { return interrupted != 0; }

private:
    void (*previousInt_)(int) = SIG_DFL;
    void (*previousTerm_)(int) = SIG_DFL;
};

class PrintRunner {
public:
    PrintRunner(const HostOptions& options, billing::RunKind kind)
        : options_(options), kind_(kind), command_(messagePrefix(commandWord(kind))) {}

    int run();

private:
    static const char* commandWord(billing::RunKind kind) {
        switch (kind) {
        case billing::RunKind::Print: return "print";
        case billing::RunKind::Reprint: return "reprint";
        case billing::RunKind::Preview: return "preview";
        }
        return "print";
    }
    int refuse(int code, const std::string& why) const {
        std::cerr << command_ << why << '\n';
        return code;
    }
    int checkOptions() const;
    int buildRequest(billing::DataFiles& files, const std::shared_ptr<db::MultivalueDatabase>& database,
                     billing::RunRequest& request) const;
    int exitCode(const billing::RunOutcome& outcome) const;

    const HostOptions& options_;
    billing::RunKind kind_;
    std::string command_;
};

int PrintRunner::checkOptions() const {
    if (options_.period.empty())
        return refuse(exit_code::kUsage, filled(QCoreApplication::translate("PrintHost", "give the pay period with --period YYYYMM")));
    if (options_.associations.empty() && !options_.allAssociations) {
        return refuse(exit_code::kUsage, filled(QCoreApplication::translate("PrintHost", "give the associations with --assoc CODE... or --all")));
    }
    if (options_.outputPath.empty() == options_.printerName.empty()) {
        return refuse(exit_code::kUsage, filled(QCoreApplication::translate("PrintHost", "give one output: --output FILE.pdf, --output FILE.txt or --printer NAME")));
    }
    return exit_code::kOk;
}

int PrintRunner::run() {
    if (const int code = checkOptions(); code != exit_code::kOk) return code;

    if (!databaseFileExists(options_.databasePath)) {
        return refuse(exit_code::kDatabase, missingDatabaseMessage(options_.databasePath));
    }
    std::shared_ptr<db::MultivalueDatabase> database;
    try {
        database = db::openDatabase(options_.databasePath);
    } catch (const std::exception& error) {
        return refuse(exit_code::kDatabase, error.what());
    }

    std::unique_ptr<billing::DataFiles> files;
    billing::RunRequest request;
    try {
        files = std::make_unique<billing::DataFiles>(database);
        if (const int code = buildRequest(*files, database, request); code != exit_code::kOk) return code;
    } catch (const std::exception& error) {
        return refuse(exit_code::kDatabase, filled(QCoreApplication::translate("PrintHost", "the control could not start: %1"), {error.what()}));
    }

    InterruptibleConsole ui;
    platform::PresetPrinterChoice printers(options_.outputPath, options_.printerName, options_.copies);
    platform::SystemClock clock;
    const billing::RunOutcome outcome = billing::runBilling(*files, {ui, printers, clock, {}}, request);
    return exitCode(outcome);
}

// The choices the panel would offer: the right to print, a period offered, known codes.
int PrintRunner::buildRequest(billing::DataFiles& files, const std::shared_ptr<db::MultivalueDatabase>& database,
                              billing::RunRequest& request) const {
    const std::vector<std::string> periods = billing::offeredPeriods(files);
    const std::vector<billing::AssociationChoice> associations = billing::offeredAssociations(files);

    if (kind_ != billing::RunKind::Reprint) {
        platform::DatabaseUserRights rights(database, options_.userName);
        if (rights.rightsOf(platform::kFunctionKey)->level() != kLevelAllowedToPrint) {
            return refuse(exit_code::kRefusedChoice,
                          filled(kind_ == billing::RunKind::Preview
                                     ? QCoreApplication::translate("PrintHost", "%1 may not preview: printing needs right level 2 for %2 "
                                                                         "(see 'tessaran rights'); reprinting is allowed")
                                     : QCoreApplication::translate("PrintHost", "%1 may not print: printing needs right level 2 for %2 "
                                                                         "(see 'tessaran rights'); reprinting is allowed"),
                                 {options_.userName, platform::kFunctionKey}));
        }
    }

    if (std::find(periods.begin(), periods.end(), options_.period) == periods.end()) {
        std::string offered;
        for (const std::string& period : periods) {
            offered += (offered.empty() ? "" : ", ") + period + " (" +
                       platform::periodInCapitals(*platform::parsePeriod(period)) + ")";
        }
        return refuse(exit_code::kRefusedChoice,
                      filled(QCoreApplication::translate("PrintHost", "the period %1 is not offered; the periods offered are %2"),
                             {options_.period, offered}));
    }

    const auto known = [&](const std::string& code) {
        return std::any_of(associations.begin(), associations.end(),
                           [&](const billing::AssociationChoice& a) { return a.code == code; });
    };
    for (const std::string& code : options_.associations) {
        if (known(code)) continue;
        std::string codes;
        for (const auto& association : associations) codes += (codes.empty() ? "" : " ") + association.code;
        return refuse(exit_code::kRefusedChoice,
                      codes.empty()
                          ? filled(QCoreApplication::translate("PrintHost", "no association has the code %1; the known codes are (none)"), {code})
                          : filled(QCoreApplication::translate("PrintHost", "no association has the code %1; the known codes are %2"), {code, codes}));
    }
    if (options_.allAssociations) {
        for (const auto& association : associations) request.associations.push_back(association.code);
    }
    for (const std::string& code : options_.associations) {
        if (std::find(request.associations.begin(), request.associations.end(), code) == request.associations.end()) {
            request.associations.push_back(code);
        }
    }
    if (request.associations.empty())
        return refuse(exit_code::kNothingToPrint, filled(QCoreApplication::translate("PrintHost", "the database holds no association")));

    request.kind = kind_;
    request.period = options_.period;
    request.copies = options_.copies;
    return exit_code::kOk;
}

int PrintRunner::exitCode(const billing::RunOutcome& outcome) const {
    using billing::RunEnd;
    switch (outcome.end) {
    case RunEnd::Printed:
        if (!outcome.error.empty()) return refuse(exit_code::kOutput, outcome.error);
        return exit_code::kOk;
    case RunEnd::NothingToPrint:
        // The run said so when it found no flow; otherwise its messages said why.
        if (outcome.messages.size() == 1 && outcome.messages.front().rfind("Aucun état de facturation", 0) == 0) {
            return exit_code::kNothingToPrint;
        }
        return refuse(exit_code::kNothingToPrint, filled(QCoreApplication::translate("PrintHost", "nothing was printed (see the messages above)")));
    case RunEnd::PrinterChoiceCancelled:
        return refuse(exit_code::kCancelled, filled(QCoreApplication::translate("PrintHost", "the printer choice was cancelled")));
    case RunEnd::PrinterUnavailable:
        return refuse(exit_code::kOutput, filled(QCoreApplication::translate("PrintHost", "cannot open the output: %1"), {outcome.error}));
    case RunEnd::DatabaseBusy:
        return refuse(exit_code::kBusy, filled(QCoreApplication::translate("PrintHost", "another print run holds the database")));
    case RunEnd::RecordsNotKept:
        return refuse(exit_code::kNotKept,
                      filled(QCoreApplication::translate("PrintHost", "the run's records could not be kept: nothing was recorded")));
    case RunEnd::DocumentNotWritten:
        return refuse(exit_code::kOutput, filled(QCoreApplication::translate("PrintHost", "%1: nothing was recorded"), {outcome.error}));
    case RunEnd::CounterRefused:
        return refuse(exit_code::kCounter, filled(QCoreApplication::translate("PrintHost", "%1: nothing was done"), {outcome.error}));
    case RunEnd::Cancelled:
        return refuse(exit_code::kCancelled, filled(QCoreApplication::translate("PrintHost", "interrupted: nothing was recorded or written")));
    case RunEnd::Failed:
        return refuse(exit_code::kDatabase, filled(QCoreApplication::translate("PrintHost", "the run failed: %1"), {outcome.error}));
    }
    return exit_code::kDatabase;
}

}  // namespace

int runPrintHost(int& argc, char** argv, const HostOptions& options, billing::RunKind kind) {
    useOffscreenPlatformWithoutDisplay();
    QApplication application(argc, argv);
    PrintRunner runner(options, kind);
    return runner.run();
}

}  // namespace tessaran::app
