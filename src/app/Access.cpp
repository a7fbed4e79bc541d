#include "Access.h"

#include <memory>
#include <string>

#include "ExitCodes.h"
#include "database/OpenDatabase.h"
#include "platform/DatabaseRights.h"

namespace tessaran::app {

int levelNeeded(Command command) {
    switch (command) {
    case Command::Import:
    case Command::Rights:
    case Command::Print:
    case Command::Preview: return 2;
    case Command::Reprint:
    case Command::Export:
    case Command::Select:
    case Command::Gui: return 1;
    case Command::Help:
    case Command::Demo:
    case Command::Init: return 0;
    }
    return 2;
}

namespace {

// What a refused user may not do, in words.
const char* actionOf(Command command) {
    switch (command) {
    case Command::Import: return "import records";
    case Command::Rights: return "list or set rights";
    case Command::Print: return "print";
    case Command::Preview: return "preview the print run";
    case Command::Reprint: return "reprint";
    case Command::Export: return "export records";
    case Command::Select: return "select records";
    case Command::Gui: return "open the window";
    case Command::Help:
    case Command::Demo:
    case Command::Init: break;
    }
    return "run this command";
}

}  // namespace

int checkAccess(CommandLine& line, std::ostream& err) {
    const int needed = levelNeeded(line.command);
    if (needed == 0) return exit_code::kOk;
    std::shared_ptr<db::MultivalueDatabase> database;
    try {
        database = db::openDatabase(line.databasePath);
    } catch (const std::exception&) {
        return exit_code::kOk;  // the command itself says why the database cannot be used
    }
    const auto levelOf = [&](const std::string& user) {
        return database->rightLevel(user, platform::kFunctionKey).value_or(0);
    };
    const std::string prefix = "tessaran " + commandName(line.command) + ": ";
    // On a database server the user is the role the server authenticated, and nobody else.
    if (const std::optional<std::string> role = database->authenticatedUser()) {
        if (!line.actingAs.empty() && line.actingAs != *role) {
            err << prefix << "on a database server the user is the role that connected (" << *role
                << "); --user and TESSARAN_USER cannot name another (" << line.actingAs << ")\n";
            return exit_code::kRefusedChoice;
        }
        line.actingAs.clear();
        line.loginName = *role;
        line.host.userName = *role;
    }
    if (!line.actingAs.empty() && levelOf(line.loginName) != 2) {
        err << prefix << "acting as " << line.actingAs << " needs right level 2 for " << platform::kFunctionKey
            << "; " << line.loginName << " has level " << levelOf(line.loginName) << " (see 'tessaran rights')\n";
        return exit_code::kRefusedChoice;
    }
    const int level = levelOf(line.host.userName);
    if (level < needed) {
        err << prefix << line.host.userName << " may not " << actionOf(line.command) << ": it needs right level "
            << needed << " for " << platform::kFunctionKey << " and has level " << level << " (see 'tessaran rights')\n";
        return exit_code::kRefusedChoice;
    }
    return exit_code::kOk;
}

}  // namespace tessaran::app
