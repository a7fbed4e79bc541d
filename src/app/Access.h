#pragma once
// Who may run which command on a database. The login name is the user; acting as another
// user (--user, $TESSARAN_USER) needs the login user's level 2. Writing commands (import,
// rights, print, preview) need level 2, reading ones (reprint, export, select, gui) level 1;
// level 0 gives nothing. demo and init create a database and need no right. On a database
// server the login is the server's: the role that connected is the user.

#include <ostream>

#include "CommandLine.h"

namespace tessaran::app {

// The level `command` needs; 0 for the commands that need none.
int levelNeeded(Command command);

// exit_code::kOk when the command may run; else the refusal is written to `err` and its exit
// code returned. A database that cannot be opened is left for the command to report. On a
// database server the user is the role the server authenticated: `line`'s user becomes it.
int checkAccess(CommandLine& line, std::ostream& err);

}  // namespace tessaran::app
