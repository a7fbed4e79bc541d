#pragma once
// The index entries a write transaction adds, held per indexed attribute and written to its
// table many rows to a statement: a statement a row costs several times what the row itself
// does, and rows of one attribute in a row of statements reach the same pages (a new invoice
// number goes at the end of its table). Whoever reads the index, drops entries from it or
// commits writes them first (flush); a rollback throws them away with the writes they belong
// to (discard).

#include <cstddef>
#include <string_view>
#include <vector>

#include "IndexTable.h"

namespace tessaran::db {

class PendingIndexEntries {
public:
    // Holds an entry of `table`, and writes the entries held for it when they fill a statement.
    // The table must outlive the entries held for it (see forgetTables).
    void add(IndexTable& table, std::string_view value, std::string_view key);
    // Writes every entry held. The entries are gone whether it succeeds or not: a failure
    // voids the transaction they belong to.
    void flush();
    void discard();
    bool empty() const { return held_ == 0; }
    // Before the tables go: nothing is held by then, and nothing of them is kept.
    void forgetTables() { batches_.clear(); }

private:
    struct Batch {
        IndexTable* table;  // not owned
        std::vector<IndexTable::Row> rows;  // the first `used` are held; the rest keep their buffers
        std::size_t used = 0;
    };
    void write(Batch& batch);

    std::vector<Batch> batches_;  // one per attribute written in the transaction: a few
    std::size_t held_ = 0;
};

}  // namespace tessaran::db
