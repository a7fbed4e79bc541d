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

schema::Catalogue load(Connection& connection);

// The session setting Tessaran's own connections carry, so that the trigger leaves their
// writes to the application's own index upkeep.
inline constexpr const char* kApplicationSetting = "tessaran.application";

}  // namespace tessaran::db::postgres
