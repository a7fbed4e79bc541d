#pragma once
// The index entries a write transaction adds, written to the index table many rows to a
// statement: a statement a row costs several times what the row itself does. Whoever reads
// the index, drops entries from it or commits writes them first (flush); a rollback throws
// them away with the writes they belong to (discard).

#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SqliteHandle.h"

namespace tessaran::db {

class PendingIndexEntries {
public:
    explicit PendingIndexEntries(sqlite3* connection);

    // Writes the entries held so far when there are enough for a full statement.
    void add(std::string_view file, int attribute, std::string_view value, std::string_view key);
    // Writes every entry held. The entries are gone whether it succeeds or not: a failure
    // voids the transaction they belong to.
    void flush();
    void discard() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }

private:
    struct Entry {
        std::string file;
        int attribute = 0;
        std::string value;
        std::string key;
    };
    void write(sqlite::Statement& statement, std::size_t from, std::size_t count);

    sqlite3* connection_;
    std::vector<Entry> entries_;
    std::optional<sqlite::Statement> manyRows_;  // prepared at the first full batch
    sqlite::Statement oneRow_;
};

}  // namespace tessaran::db
