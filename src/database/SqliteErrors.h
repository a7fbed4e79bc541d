#pragma once
// What a failed SQLite call means for the user: the DatabaseError that names the failure as
// what it is (busy, disk full, read-only, no permission, not a database) rather than as a bare
// storage failure.

#include <string_view>

#include "DatabaseError.h"

namespace tessaran::db::sqlite {

struct Failure {
    int resultCode = 0;          // extended result code
    int systemError = 0;         // errno of the last failed system call (sqlite3_system_errno)
    std::string_view doing;      // "running a statement", "opening the database"...
    std::string_view file;       // the database file; empty for an in-memory one
    std::string_view message;    // SQLite's own message
};

DatabaseError errorFor(const Failure& failure);

// The message of a write refused because the database cannot be written.
std::string readOnlyMessage(std::string_view file);

}  // namespace tessaran::db::sqlite
