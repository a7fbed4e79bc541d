#pragma once
// Opening database files. A database that this process can write is opened for reading and
// writing. One it cannot write (read-only file, folder or disk) is opened for reading without
// creating the write-ahead log and shared-memory files beside it: SQLite would give them the
// database's read-only permissions, and they would then keep every later run from writing.

#include <string>

#include "SqliteHandle.h"

namespace tessaran::db::sqlite {

// Opens an existing database and reads its header, so that a file that cannot be opened,
// read or used is reported as what it is (DatabaseError kNoDatabase, kNoAccess, kReadOnly,
// kDiskFull...). The connection has extended result codes and the busy timeout `busyMs`.
ConnectionHandle openExisting(const std::string& path, int busyMs);

// Creates a new database file (or an in-memory one for ":memory:").
ConnectionHandle openNew(const std::string& path, int busyMs);

}  // namespace tessaran::db::sqlite
