#pragma once
// The keys an import has met, file by file, so that a key given twice in a document is
// refused. They are kept in a private temporary SQLite database, apart from the database being
// imported into: its primary key finds a key met twice, and its page cache bounds the memory
// they take (what does not fit goes to a temporary file that SQLite deletes on closing), so a
// document of millions of records takes no more memory than a short one.

#include <string_view>

#include "SqliteHandle.h"

namespace tessaran::db {

class ImportedKeys {
public:
    ImportedKeys();
    ImportedKeys(const ImportedKeys&) = delete;
    ImportedKeys& operator=(const ImportedKeys&) = delete;

    // Records `key` of `file`; false when it was recorded before.
    bool add(std::string_view file, std::string_view key);

private:
    sqlite::ConnectionHandle connection_;  // declared first: the statement goes before it
    sqlite::Statement insert_;
};

}  // namespace tessaran::db
