#include "Access.h"

#include <memory>
#include <string>

#include "ExitCodes.h"
#include "Messages.h"
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

// Why a user is refused a command: USER, the level needed, the function, the user's level.
QString refusalOf(Command command) {
    switch (command) {
    case Command::Import:
        return QCoreApplication::translate("Access", "%1 may not import records: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Rights:
        return QCoreApplication::translate("Access", "%1 may not list or set rights: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Print:
        return QCoreApplication::translate("Access", "%1 may not print: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Preview:
        return QCoreApplication::translate("Access", "%1 may not preview the print run: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Reprint:
        return QCoreApplication::translate("Access", "%1 may not reprint: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Export:
        return QCoreApplication::translate("Access", "%1 may not export records: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Select:
        return QCoreApplication::translate("Access", "%1 may not select records: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Gui:
        return QCoreApplication::translate("Access", "%1 may not open the window: it needs right level %2 for %3 and has level %4 "
                                                    "(see 'tessaran rights')");
    case Command::Help:
    case Command::Demo:
    case Command::Init: break;
    }
    return QCoreApplication::translate("Access", "%1 may not run this command: it needs right level %2 for %3 and has level %4 "
                                                "(see 'tessaran rights')");
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
    const std::string prefix = messagePrefix(commandName(line.command));
    // On a database server the user is the role the server authenticated, and nobody else.
    if (const std::optional<std::string> role = database->authenticatedUser()) {
        if (!line.actingAs.empty() && line.actingAs != *role) {
            err << prefix
                << filled(QCoreApplication::translate("Access", "on a database server the user is the role that "
                                                                "connected (%1); --user and TESSARAN_USER cannot "
                                                                "name another (%2)"),
                          {*role, line.actingAs})
                << '\n';
            return exit_code::kRefusedChoice;
        }
        line.actingAs.clear();
        line.loginName = *role;
        line.host.userName = *role;
    }
    if (!line.actingAs.empty() && levelOf(line.loginName) != 2) {
        err << prefix
            << filled(QCoreApplication::translate("Access", "acting as %1 needs right level 2 for %2; %3 has level %4 "
                                                        "(see 'tessaran rights')"),
                      {line.actingAs, platform::kFunctionKey, line.loginName,
                       std::to_string(levelOf(line.loginName))})
            << '\n';
        return exit_code::kRefusedChoice;
    }
    const int level = levelOf(line.host.userName);
    if (level < needed) {
        err << prefix
            << filled(refusalOf(line.command), {line.host.userName, std::to_string(needed), platform::kFunctionKey,
                                                std::to_string(level)})
            << '\n';
        return exit_code::kRefusedChoice;
    }
    return exit_code::kOk;
}

}  // namespace tessaran::app
