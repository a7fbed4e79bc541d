#pragma once
// JSON exchange of records: {"FILE": {"KEY": {"1": "text", "49": ["v1", "v2"]}}}.
// Attribute numbers are the keys; a string is one value, an array several (numbers are
// accepted and kept as their decimal text). Import is all or nothing.

#include <string>
#include <vector>

namespace tessaran::db {

class SqliteDatabase;

// Loads every record of the document in one transaction; throws DatabaseError kImport with a
// message naming the file, key and attribute at fault, leaving the database as it was.
// Returns the number of records written.
int importJson(SqliteDatabase& database, const std::string& jsonText);

// Writes the records of the named files (all files when empty) in the same form, files and
// keys in order, indented, ending with a newline.
std::string exportJson(const SqliteDatabase& database, const std::vector<std::string>& fileNames = {});

}  // namespace tessaran::db
