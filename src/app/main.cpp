// The `tessaran` command: parses the command line, then runs a data tool or one of the two
// hosts of the control. Every failure ends as a one-line message on stderr and an exit code.
// The command line's own messages are in the user's language (Messages.h): every application
// object the program makes gets the catalogue the locale asks for.

#include <QCoreApplication>

#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Access.h"
#include "CommandLine.h"
#include "DataCommands.h"
#include "ExitCodes.h"
#include "HostCommands.h"
#include "Messages.h"
#include "database/DatabaseError.h"

namespace {

using namespace tessaran::app;

void installCatalogue() { installMessageCatalogue(messageLanguage(systemEnvironment())); }
Q_COREAPP_STARTUP_FUNCTION(installCatalogue)

// The failure that ended the command, said on stderr; its exit code.
int reportFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const UsageError& error) {
        const std::string command = error.command() ? commandName(*error.command()) : "";
        std::cerr << (command.empty() ? filled(QCoreApplication::translate("main", "tessaran: "))
                                      : messagePrefix(command))
                  << error.what() << '\n'
                  << (command.empty() ? filled(QCoreApplication::translate("main", "Run 'tessaran --help' for usage.\n"))
                                      : filled(QCoreApplication::translate("main", "Run 'tessaran %1 --help' for usage.\n"),
                                               {command}));
        return exit_code::kUsage;
    } catch (const tessaran::db::DatabaseError& error) {
        std::cerr << filled(QCoreApplication::translate("main", "tessaran: ")) << error.what() << '\n';
        return exitCodeForDatabaseError(error.code());
    } catch (const std::exception& error) {
        std::cerr << filled(QCoreApplication::translate("main", "tessaran: ")) << error.what() << '\n';
        return exit_code::kDatabase;
    } catch (...) {
        std::cerr << filled(QCoreApplication::translate("main", "tessaran: unexpected failure")) << '\n';
        return exit_code::kDatabase;
    }
}

bool isHostCommand(Command command) {
    return command == Command::Print || command == Command::Reprint || command == Command::Preview ||
           command == Command::Gui;
}

// Parses the line, checks the access, and runs help and the data tools. Leaves `hostLine` set,
// and returns kOk, when one of the hosts is to run the command.
int runCommandLine(int argc, char** argv, std::optional<CommandLine>& hostLine) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLine line = parseCommandLine(arguments, systemEnvironment());

    // The desktop host checks the access itself, to say it in a window.
    if (line.command != Command::Gui) {
        if (const int refused = checkAccess(line, std::cerr); refused != exit_code::kOk) return refused;
    }
    if (line.command == Command::Help) {
        std::cout << (line.helpTopic ? commandHelp(*line.helpTopic) : generalHelp());
        return exit_code::kOk;
    }
    if (isHostCommand(line.command)) {
        hostLine = line;
        return exit_code::kOk;
    }
    return runDataCommand(line, Streams{std::cin, std::cout, std::cerr});
}

// The hosts make their own (graphical) application object; they give Qt only the program
// name: every option is ours.
int runHost(const CommandLine& line, char** argv) {
    int qtArgc = 1;
    switch (line.command) {
    case Command::Print: return runPrintHost(qtArgc, argv, line.host, tessaran::billing::RunKind::Print);
    case Command::Reprint: return runPrintHost(qtArgc, argv, line.host, tessaran::billing::RunKind::Reprint);
    case Command::Preview: return runPrintHost(qtArgc, argv, line.host, tessaran::billing::RunKind::Preview);
    case Command::Gui: return runGuiHost(qtArgc, argv, line);
    default: return exit_code::kUsage;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<CommandLine> hostLine;
    {
        // A core application object for the command line's own work: its messages' language.
        int qtArgc = 1;
        const QCoreApplication core(qtArgc, argv);
        try {
            const int code = runCommandLine(argc, argv, hostLine);
            if (!hostLine) return code;
        } catch (...) {
            return reportFailure(std::current_exception());
        }
    }
    try {
        return runHost(*hostLine, argv);
    } catch (...) {
        // The host's application object is gone with it: one more, to say the failure.
        int qtArgc = 1;
        const QCoreApplication core(qtArgc, argv);
        return reportFailure(std::current_exception());
    }
}
