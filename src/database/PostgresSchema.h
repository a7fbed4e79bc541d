#pragma once
// The layout of a Tessaran database on PostgreSQL, in the connection's current schema: one
// table per data file (key and record as bytes, so keys sort byte by byte as on SQLite and
// records keep their mark bytes), the catalogue tables, and a trigger that notes the keys
// written by any other tool than Tessaran, whose connections say who they are.

#include <map>
#include <set>
#include <string>

#include "Catalogue.h"
#include "PostgresConnection.h"
#include "PostgresIndexTable.h"

namespace tessaran::db::postgres {

// Creates every table of a new database, the ten application files, their dictionary and
// the indexed attributes; refuses (kNoDatabase) when the schema already holds a Tessaran
// database or a table of the same name.
void create(Connection& connection);

// True when the connection's schema holds a database of this format.
bool isOurs(Connection& connection);

// Refuses (kNoDatabase) a database of a newer format than this program's: written by a later
// Tessaran, it may keep its records or its index where this one would not look.
void requireKnownFormat(Connection& connection);

// Brings a database of version 1 or 2 to the current version, inside the caller's
// transaction; false when it was of neither. Throws when the connection may not change the
// tables (only their owner may): the database then works as it is.
bool upgrade(Connection& connection);

// What the layout of a database of an earlier version, still met when it could not be
// brought up to date at opening, changes for its reads and writes.
struct Format {
    // The notes of other tools' writes keep the record the index knew (version 2 on);
    // before, the index has its entries by key, to clear those of a noted key.
    bool notesKeepIndexed = true;
    // A table per indexed attribute (version 3 on), or one table shared by all.
    IndexLayout index = IndexLayout::TablePerAttribute;
};
Format storedFormat(Connection& connection);

// The indexed attributes of each data file as tessaran_indexed lists them (plain file names,
// attribute numbers in range), whether or not their tables exist yet.
std::map<std::string, std::set<int>> indexedRows(Connection& connection);
// Makes the tables of the layout by table per attribute what `indexed` says: the missing
// ones created (empty, with the privileges other roles have on the file's table), those of
// attributes no longer listed dropped. An attribute whose table name would be longer than
// the server keeps whole gets no table: it is not indexed. Returns the attributes given a table.
std::map<std::string, std::set<int>> shapeIndexTables(Connection& connection, const std::map<std::string, std::set<int>>& indexed);

// The catalogue. In the layout by table per attribute an attribute counts as indexed only once
// its table exists (rebuildIndexes creates it).
schema::Catalogue load(Connection& connection);

// The session setting Tessaran's own connections carry, so that the trigger leaves their
// writes to the application's own index upkeep.
inline constexpr const char* kApplicationSetting = "tessaran.application";

// The arguments of the advisory lock every Tessaran write takes first: one per schema.
inline constexpr const char* kWriteLock = "5381, hashtext(current_schema())";

}  // namespace tessaran::db::postgres
