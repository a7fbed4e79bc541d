#include "ImportedKeys.h"

#include "DatabaseError.h"

namespace tessaran::db {
namespace {

// Opens a private temporary database: SQLite gives one for an empty file name, kept in its
// page cache (2 MB by default) and spilled to a temporary file beyond, deleted on closing.
sqlite::ConnectionHandle openScratch() {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2("", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite::ConnectionHandle connection(raw);
    if (rc != SQLITE_OK) sqlite::fail(raw, rc, "opening a temporary database");
    sqlite3_extended_result_codes(raw, 1);
    // Nothing of it outlives the import: no journal, no sync, one transaction never committed.
    sqlite::execute(raw, "PRAGMA journal_mode = OFF");
    sqlite::execute(raw, "PRAGMA synchronous = OFF");
    sqlite::execute(raw, "CREATE TABLE met (file TEXT, key TEXT, PRIMARY KEY (file, key)) WITHOUT ROWID");
    sqlite::execute(raw, "BEGIN");
    return connection;
}

}  // namespace

ImportedKeys::ImportedKeys()
    : connection_(openScratch()), insert_(connection_.get(), "INSERT OR IGNORE INTO met (file, key) VALUES (?1, ?2)") {}

bool ImportedKeys::add(std::string_view file, std::string_view key) {
    insert_.bind(1, file).bind(2, key).run();
    return sqlite3_changes(connection_.get()) == 1;
}

}  // namespace tessaran::db
