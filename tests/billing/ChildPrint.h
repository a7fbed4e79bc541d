#pragma once
// A print run in a process of its own, for the tests of what several processes and a killed
// run do to the database. The test program starts itself again as
//   PROGRAM --child-print DATABASE PERIOD CODE,CODE,... MODE [FD_TO_PARENT FD_FROM_PARENT]
// where MODE says what happens at the first progress report of the run, while its
// transaction is open: "run" goes on, "kill" kills the process (SIGKILL), "exit" leaves at
// once with _exit, "pause" tells the parent through FD_TO_PARENT and waits for a byte on
// FD_FROM_PARENT before going on.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/ControlWorld.h"

namespace tessaran::testing {

inline constexpr const char* kChildPrintFlag = "--child-print";

inline int runChildPrint(int argc, char** argv) {
    if (argc < 6) return 2;
    const std::string mode = argv[5];
    std::vector<std::string> codes;
    std::istringstream list(argv[4]);
    for (std::string code; std::getline(list, code, ',');) codes.push_back(code);

    auto database = db::SqliteDatabase::open(argv[2]);
    ControlWorld world(database);
    bool first = true;
    world.ui().onProgress = [&](int done, int total) {
        if (!first || total == 0 || done == 0) return;
        first = false;
        if (mode == "kill") raise(SIGKILL);
        if (mode == "exit") _exit(3);
        if (mode == "pause" && argc >= 8) {
            const char signal = 'p';
            if (write(std::stoi(argv[6]), &signal, 1) != 1) _exit(4);
            char answer = 0;
            if (read(std::stoi(argv[7]), &answer, 1) != 1) _exit(5);
        }
    };
    world.period(argv[3]).select(codes).print();
    return 0;
}

// Starts this program as a child print; returns its process id.
inline pid_t startChildPrint(const std::string& databasePath, const std::string& period, const std::string& codes,
                             const std::string& mode, int toParent = -1, int fromParent = -1) {
    std::vector<std::string> arguments = {"/proc/self/exe", kChildPrintFlag, databasePath, period, codes, mode};
    if (toParent >= 0) {
        arguments.push_back(std::to_string(toParent));
        arguments.push_back(std::to_string(fromParent));
    }
    std::vector<char*> argvChild;
    for (std::string& argument : arguments) argvChild.push_back(argument.data());
    argvChild.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        execv("/proc/self/exe", argvChild.data());
        _exit(127);
    }
    return child;
}

// Waits for a child; returns its wait status.
inline int waitChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return status;
}

}  // namespace tessaran::testing
