#pragma once
// Who may run which command on a database. The login name is the user; acting as another
// user (--user, $TESSARAN_USER) needs the login user's level 2. Writing commands (import,
// rights, print, preview) need level 2, reading ones (reprint, export, select, gui) level 1;
// level 0 gives nothing. demo and init create a database and need no right.

#include <ostream>

#include "CommandLine.h"

namespace tessaran::app {

// The level `command` needs; 0 for the commands that need none.
int levelNeeded(Command command);

// exit_code::kOk when the command may run; else the refusal is written to `err` and its exit
// code returned. A database that cannot be opened is left for the command to report.
int checkAccess(const CommandLine& line, std::ostream& err);

}  // namespace tessaran::app
