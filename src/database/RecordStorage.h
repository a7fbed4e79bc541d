#pragma once
// What the select language and the data files need of a storage: records read and written
// by key with their secondary index kept up to date, scans in key order (keys compared as
// bytes), counted lookups for the planner, index lookups, and the keys another tool wrote.
// SQLite (RecordStore) and PostgreSQL (PostgresRecordStore) each provide one.

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Catalogue.h"
#include "DatabaseError.h"
#include "DynamicArray.h"

namespace tessaran::db {

class RecordStorage {
public:
    virtual ~RecordStorage() = default;

    virtual const schema::Catalogue& catalogue() const = 0;
    bool hasFile(const std::string& file) const { return catalogue().files.count(file) != 0; }
    // Throws kUnknownFile when there is no data file of that name.
    void requireFile(const std::string& file) const {
        if (!hasFile(file)) throw DatabaseError(error_code::kUnknownFile, "no data file named \"" + file + "\"");
    }
    const std::set<int>& indexedAttributes(const std::string& file) const {
        static const std::set<int> none;
        const auto found = catalogue().indexed.find(file);
        return found == catalogue().indexed.end() ? none : found->second;
    }

    // The stored string form of a record, or nothing when the key is absent.
    virtual std::optional<std::string> read(const std::string& file, std::string_view key) = 0;
    using RowVisitor = std::function<void(std::string_view key, std::string_view record)>;
    // Visits the records of the given keys that exist, in key order (`keys` sorted, no
    // duplicates). A storage across a network fetches them in a few round trips.
    virtual void readMany(const std::string& file, const std::vector<std::string>& keys, const RowVisitor& visit) {
        for (const std::string& key : keys)
            if (const std::optional<std::string> record = read(file, key)) visit(key, *record);
    }
    // A record readMany returned has just been handed to the application, as read would
    // have: a storage that keeps what a write transaction read, to write it back cheaply,
    // keeps this one too. Called only with a record read in the transaction now open, or
    // outside any, and not written since.
    virtual void handedOut(const std::string& /*file*/, std::string_view /*key*/, std::string_view /*record*/) {}
    // Stores a record and its index entries: outside a transaction as one atomic change; inside
    // one as part of it, and a write that fails voids the transaction, which can then only be
    // rolled back (its commit fails and rolls it back).
    virtual void write(const std::string& file, std::string_view key, const DynamicArray& record) = 0;

    // Every record of a file, in key order.
    virtual void scan(const std::string& file, const RowVisitor& visit) = 0;
    // The records whose key begins with `prefix`, in key order.
    virtual void scanPrefix(const std::string& file, std::string_view prefix, const RowVisitor& visit) = 0;

    // How many records a lookup would admit, counted up to `limit` (then `limit`): what the
    // planner weighs one way of narrowing a select against another with.
    virtual std::size_t countKeysWithPrefix(const std::string& file, std::string_view prefix, std::size_t limit) = 0;
    virtual std::size_t countIndexEntries(const std::string& file, int attribute, std::string_view value,
                                          bool prefix, std::size_t limit) = 0;
    // Keys whose indexed attribute has a value equal to (or beginning with) `value`.
    virtual void indexKeys(const std::string& file, int attribute, std::string_view value, bool prefix,
                           std::vector<std::string>& keys) = 0;
    // The greatest value of an indexed attribute written with exactly `digits` digits, found
    // at the top of the index (plus the records written by another tool); none when no
    // record has one.
    std::optional<std::string> highestNumber(const std::string& file, int attribute, int digits);
    // Keys written by another tool since the application last indexed them.
    virtual void changedKeys(const std::string& file, std::vector<std::string>& keys) = 0;
    // Rebuilds every index entry from the records, and forgets the changed keys.
    virtual void rebuildIndexes() = 0;

    // Runs `change` atomically: in its own transaction outside an explicit one, or in a
    // savepoint inside it, so a failure leaves nothing of it behind either way.
    virtual void atomically(const std::function<void()>& change) = 0;
    // Runs `reads` on one snapshot of the database: in a read transaction of its own outside
    // an explicit transaction, as is inside one.
    virtual void readConsistently(const std::function<void()>& reads) = 0;

    // Fault injection for tests: the `count`-th write from now fails midway (0 turns it off).
    void failWriteAfter(int count) { writesBeforeFault_ = count; }

protected:
    // The greatest indexed value of the attribute that is a whole number of `digits` digits,
    // found by walking the index down from its top.
    virtual std::optional<std::string> topIndexedNumber(const std::string& file, int attribute, int digits) = 0;
    // True when the injected fault is due on this write.
    bool injectedFaultDue() { return writesBeforeFault_ > 0 && --writesBeforeFault_ == 0; }

private:
    int writesBeforeFault_ = 0;
};

}  // namespace tessaran::db
