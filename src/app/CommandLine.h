#pragma once
// The `tessaran` command line: which command, with which options, once the defaults of the
// environment are applied. Parsing never touches the database or the screen.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "HostCommands.h"

namespace tessaran::app {

enum class Command { Help, Demo, Init, Import, Export, Select, Print, Reprint, Preview, Gui, Rights };

// The name of a command as typed ("demo", "print", ...); "help" for Command::Help.
std::string commandName(Command command);

// What the defaults are read from: environment variables and the login name.
struct Environment {
    std::function<std::optional<std::string>(const std::string& name)> variable;
    std::function<std::string()> loginName;  // empty when it cannot be found
};

// The process environment; the login name from getlogin(), then the password entry of the
// effective user, then $USER.
Environment systemEnvironment();

struct CommandLine {
    Command command = Command::Help;
    std::optional<Command> helpTopic;    // `tessaran COMMAND --help`; none for the general help
    std::string databasePath;            // --db, $TESSARAN_DB, ./tessaran.db
    std::string adminName;               // init --admin, else the login name
    std::string loginName;               // who runs the command
    std::string actingAs;                // --user or $TESSARAN_USER when it names another user, else ""
                                         // (host.userName is the user the command runs for)
    std::string attributes = "0";        // select --attrs
    std::vector<std::string> arguments;  // import FILE, export FILE..., select STATEMENT, rights USER LEVEL
    HostOptions host;                    // print, reprint, gui (databasePath and userName filled too)
};

// A command line that cannot be run: exit code kUsage, message for stderr.
class UsageError : public std::runtime_error {
public:
    UsageError(std::optional<Command> command, const std::string& message)
        : std::runtime_error(message), command_(command) {}
    // The command being parsed, when known, to point at its help.
    std::optional<Command> command() const { return command_; }

private:
    std::optional<Command> command_;
};

// Parses the arguments after the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments, const Environment& environment);

// The text of `tessaran --help`: every command, option and exit code.
std::string generalHelp();
// The text of `tessaran COMMAND --help`.
std::string commandHelp(Command command);

}  // namespace tessaran::app
