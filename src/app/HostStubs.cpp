// Placeholder hosts; replaced by the desktop and command-line hosts.
#include "HostCommands.h"
#include "ExitCodes.h"

namespace tessaran::app {
int runGuiHost(int&, char**, const HostOptions&) { return exit_code::kUsage; }
int runPrintHost(int&, char**, const HostOptions&, bool) { return exit_code::kUsage; }
}  // namespace tessaran::app
