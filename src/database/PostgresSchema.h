#pragma once
// The layout of a Tessaran database on PostgreSQL, in the connection's current schema: one
// table per data file (key and record as bytes, so keys sort byte by byte as on SQLite and
// records keep their mark bytes), the catalogue tables, and a trigger that notes the keys
// written by any other tool than Tessaran, whose connections say who they are.

#include "Catalogue.h"
#include "PostgresConnection.h"

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

// Brings a database of version 1 to the current version, inside the caller's transaction;
// false when it was not of version 1. Throws when the connection may not change the tables
// (only their owner may): the database then works as it is.
bool upgrade(Connection& connection);

// True when the notes of other tools' writes keep the record the index knew (version 2 on);
// before, the index has its entries by key, to clear those of a noted key.
bool notesKeepIndexed(Connection& connection);

schema::Catalogue load(Connection& connection);

// The session setting Tessaran's own connections carry, so that the trigger leaves their
// writes to the application's own index upkeep.
inline constexpr const char* kApplicationSetting = "tessaran.application";

// The arguments of the advisory lock every Tessaran write takes first: one per schema.
inline constexpr const char* kWriteLock = "5381, hashtext(current_schema())";

}  // namespace tessaran::db::postgres
