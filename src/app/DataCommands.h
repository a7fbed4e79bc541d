#pragma once
// The data tools of the `tessaran` command: demo, init, import, export, select and rights.
// Each writes its results on `out`, its one-line messages on `err`, and returns the exit code.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "CommandLine.h"

namespace tessaran::db { class DynamicArray; }

namespace tessaran::app {

struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// Runs line.command, one of Demo, Init, Import, Export, Select, Rights.
int runDataCommand(const CommandLine& line, const Streams& streams);

// The exit code for a database error code: a refused document or statement is the user's
// input (kRefusedInput), anything else concerns the database (kDatabase).
int exitCodeForDatabaseError(std::uint32_t code);

// One line of `select` output per record of a result list: the requested values separated
// by tabs, the several values of one attribute separated by ']'.
std::string selectOutputLines(const db::DynamicArray& resultList);

// The demo data (resources/demo/demo.json), built into the program.
std::string demoDatabaseJson();

// The users and levels the demo database grants for "MORVELINTASKADE".
inline constexpr const char* kDemoPrintingUser = "admin";
inline constexpr const char* kDemoConsultingUser = "consultation";

}  // namespace tessaran::app
