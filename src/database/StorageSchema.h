#pragma once
// The layout of a Tessaran database file: one table per data file, one table per indexed
// attribute of a file (its secondary index), plus the catalogue tables (files, dictionary,
// indexed attributes, rights, keys changed outside the application). Everything is an
// ordinary table, so the stock sqlite3 shell reads and writes it.

#include <sqlite3.h>

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "Catalogue.h"
#include "IndexTableNames.h"

namespace tessaran::db::schema {

// True for a name usable as a data file: capitals, digits and underscores, 1 to 64 long.
bool isPlainFileName(std::string_view name);

// Creates every table of a new database, the ten application files, their dictionary and
// the indexed attributes.
void create(sqlite3* connection);

// True when the connection holds a database of this format.
bool isOurs(sqlite3* connection);

// Brings a database written by an earlier version to this format, in one transaction: the
// index entries moved into a table per indexed attribute; from versions 1 and 2 also notes of
// another tool's writes that keep the record the index knew, no index of the entries by key,
// and triggers without the mark of the application's own writes. A database opened
// read-only, or that another connection is writing at that moment, is left as it is (and
// works in its own layout): it waits for the write lock a quarter of a second at most, then
// gives the connection back `busyTimeoutMs`, its own busy timeout.
void migrate(sqlite3* connection, int busyTimeoutMs);

// Refuses (kNoDatabase) a database of a newer format than this program's: written by a later
// Tessaran, it may keep its records or its index where this one would not look, and a print
// run through it could miss flows or leave the index behind.
void requireKnownFormat(sqlite3* connection, const std::string& shownPath);

// True when the notes of another tool's writes keep the record the index knew (version 3 on).
bool notesKeepRecords(sqlite3* connection);

// Where the index entries are: one table per indexed attribute of a file (version 4 on), or
// the one table all of them shared (versions 1 to 3, still met in a database that could not
// be upgraded when it was opened).
IndexLayout indexLayout(sqlite3* connection);

// The statement that creates the table of one attribute's index entries when it is missing.
std::string createIndexTableSql(std::string_view file, int attribute);

// The indexed attributes of each data file as tessaran_indexed lists them (plain file names,
// attribute numbers in range), whether or not their tables exist yet.
std::map<std::string, std::set<int>> indexedRows(sqlite3* connection);
// Makes the tables of the layout by table per attribute what `indexed` says: the missing ones
// created (empty), those of attributes no longer listed dropped.
void shapeIndexTables(sqlite3* connection, const std::map<std::string, std::set<int>>& indexed);

// The statements that create, and that drop, the triggers noting writes to a data file's table.
std::string fileTriggersSql(const std::string& file);
std::string dropFileTriggersSql(const std::string& file);

// The catalogue. In the layout by table per attribute an attribute counts as indexed only once
// its table exists (rebuildIndexes creates it): one listed in tessaran_indexed since is found
// by reading the records.
Catalogue load(sqlite3* connection);

}  // namespace tessaran::db::schema
