#pragma once
// The layout of a Tessaran database file: one table per data file plus the catalogue tables
// (files, dictionary, indexed attributes, secondary index, rights, keys changed outside the
// application). Everything is an ordinary table, so the stock sqlite3 shell reads and writes it.

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "Catalogue.h"

namespace tessaran::db::schema {

// True for a name usable as a data file: capitals, digits and underscores, 1 to 64 long.
bool isPlainFileName(std::string_view name);

// Creates every table of a new database, the ten application files, their dictionary and
// the indexed attributes.
void create(sqlite3* connection);

// True when the connection holds a database of this format.
bool isOurs(sqlite3* connection);

// Brings a database written by an earlier version to this format: notes of another tool's
// writes that keep the record the index knew, no index of the entries by key, and triggers
// without the mark of the application's own writes. A database opened read-only is left as
// it is.
void migrate(sqlite3* connection);

// True when the notes of another tool's writes keep the record the index knew (version 3 on).
bool notesKeepRecords(sqlite3* connection);

// The statements that create, and that drop, the triggers noting writes to a data file's table.
std::string fileTriggersSql(const std::string& file);
std::string dropFileTriggersSql(const std::string& file);

Catalogue load(sqlite3* connection);

}  // namespace tessaran::db::schema
