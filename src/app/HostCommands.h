#pragma once
// The two hosts of the control: the desktop window (`tessaran gui`) and the headless
// command-line run (`tessaran print`, `reprint`, `preview`). main.cpp parses the command line
// and calls these; each returns the process exit code.

#include <string>
#include <vector>

#include "billing/RunRequest.h"

namespace tessaran::app {

struct HostOptions {
    std::string databasePath;
    std::string userName;
    std::string period;                    // "yyyymm"
    std::vector<std::string> associations; // codes given with --assoc
    bool allAssociations = false;          // --all
    std::string outputPath;                // --output FILE.pdf or FILE.txt
    std::string printerName;               // --printer NAME
    int copies = 1;
};

struct CommandLine;
// `line` is the whole command line, whose user's access the desktop host checks.
int runGuiHost(int& argc, char** argv, CommandLine line);
int runPrintHost(int& argc, char** argv, const HostOptions& options, billing::RunKind kind);

}  // namespace tessaran::app
