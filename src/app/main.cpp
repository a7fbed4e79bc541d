// The `tessaran` command: parses the command line, then runs a data tool or one of the two
// hosts of the control. Every failure ends as a one-line message on stderr and an exit code.

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "Access.h"
#include "CommandLine.h"
#include "DataCommands.h"
#include "ExitCodes.h"
#include "HostCommands.h"
#include "database/DatabaseError.h"

namespace {

using namespace tessaran::app;

int run(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLine line = parseCommandLine(arguments, systemEnvironment());

    // The desktop host checks the access itself, to say it in a window.
    if (line.command != Command::Gui) {
        if (const int refused = checkAccess(line, std::cerr); refused != exit_code::kOk) return refused;
    }

    // The hosts give Qt only the program name: every option is ours.
    int qtArgc = 1;
    switch (line.command) {
    case Command::Help:
        std::cout << (line.helpTopic ? commandHelp(*line.helpTopic) : generalHelp());
        return exit_code::kOk;
    case Command::Print: return runPrintHost(qtArgc, argv, line.host, tessaran::billing::RunKind::Print);
    case Command::Reprint: return runPrintHost(qtArgc, argv, line.host, tessaran::billing::RunKind::Reprint);
    case Command::Preview: return runPrintHost(qtArgc, argv, line.host, tessaran::billing::RunKind::Preview);
    case Command::Gui: return runGuiHost(qtArgc, argv, line);
    case Command::Demo:
    case Command::Init:
    case Command::Import:
    case Command::Export:
    case Command::Select:
    case Command::Rights: break;
    }
    return runDataCommand(line, Streams{std::cin, std::cout, std::cerr});
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const UsageError& error) {
        const std::string command = error.command() ? commandName(*error.command()) : "";
        std::cerr << "tessaran" << (command.empty() ? "" : " " + command) << ": " << error.what() << '\n'
                  << "Run 'tessaran " << (command.empty() ? "" : command + " ") << "--help' for usage.\n";
        return exit_code::kUsage;
    } catch (const tessaran::db::DatabaseError& error) {
        std::cerr << "tessaran: " << error.what() << '\n';
        return exitCodeForDatabaseError(error.code());
    } catch (const std::exception& error) {
        std::cerr << "tessaran: " << error.what() << '\n';
        return exit_code::kDatabase;
    } catch (...) {
        std::cerr << "tessaran: unexpected failure\n";
        return exit_code::kDatabase;
    }
}
