#pragma once
// Where a database is, as the user names it: a file path (SQLite), or a PostgreSQL server
// database named by a connection URI (postgresql://user@host:port/name) or by libpq's
// key=value settings (service=tessaran, "host=... dbname=...").

#include <memory>
#include <string>
#include <string_view>

#include "MultivalueDatabase.h"

namespace tessaran::db {

// True when `location` names a database on a server rather than a file.
bool isServerLocation(std::string_view location);

// Opens an existing Tessaran database wherever it is.
std::shared_ptr<MultivalueDatabase> openDatabase(const std::string& location);

// Creates a new Tessaran database: a new file, or the tables in an empty server database.
std::shared_ptr<MultivalueDatabase> createDatabase(const std::string& location);

// Removes a database this process created and could not finish: its files, or its tables.
void discardNewDatabase(const std::string& location, std::shared_ptr<MultivalueDatabase> database);

}  // namespace tessaran::db
