#pragma once
// The records of the data files on one SQLite connection: reading by key, key ranges and
// full scans in key order, writing with the secondary index kept up to date, and index
// lookups. File names are checked against the catalogue before any table is named.

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "DynamicArray.h"
#include "SqliteHandle.h"
#include "StorageSchema.h"

namespace tessaran::db {

class RecordStore {
public:
    RecordStore(sqlite3* connection, schema::Catalogue catalogue);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    const schema::Catalogue& catalogue() const { return catalogue_; }
    bool hasFile(const std::string& file) const { return catalogue_.files.count(file) != 0; }
    // Throws kUnknownFile when there is no data file of that name.
    void requireFile(const std::string& file) const;
    const std::set<int>& indexedAttributes(const std::string& file) const;

    // The stored string form of a record, or nothing when the key is absent.
    std::optional<std::string> read(const std::string& file, std::string_view key);
    // Stores a record and its index entries as one atomic change.
    void write(const std::string& file, std::string_view key, const DynamicArray& record);

    using RowVisitor = std::function<void(std::string_view key, std::string_view record)>;
    // Every record of a file, in key order.
    void scan(const std::string& file, const RowVisitor& visit);
    // The records whose key begins with `prefix`, in key order.
    void scanPrefix(const std::string& file, std::string_view prefix, const RowVisitor& visit);

    // How many records a lookup would admit, counted up to `limit` (then `limit`): what the
    // planner weighs one way of narrowing a select against another with.
    std::size_t countKeysWithPrefix(const std::string& file, std::string_view prefix, std::size_t limit);
    std::size_t countIndexEntries(const std::string& file, int attribute, std::string_view value, bool prefix,
                                  std::size_t limit);
    // Keys whose indexed attribute has a value equal to (or beginning with) `value`.
    void indexKeys(const std::string& file, int attribute, std::string_view value, bool prefix,
                   std::vector<std::string>& keys);
    // The greatest value of an indexed attribute written with exactly `digits` digits, found
    // at the top of the index (plus the records written by another tool); none when no
    // record has one.
    std::optional<std::string> highestNumber(const std::string& file, int attribute, int digits);
    // Keys written by another tool since the application last indexed them.
    void changedKeys(const std::string& file, std::vector<std::string>& keys);
    // Rebuilds every index entry from the records, and forgets the changed keys.
    void rebuildIndexes();

    // Runs `change` atomically: in its own transaction outside an explicit one, or in a
    // savepoint inside it, so a failure leaves nothing of it behind either way.
    void atomically(const std::function<void()>& change);

    // Runs `reads` on one snapshot of the database: in a read transaction of its own outside
    // an explicit transaction (which also spares a lock per statement), as is inside one.
    void readConsistently(const std::function<void()>& reads);

    // The application's writes inside a transaction are marked as its own, so that the
    // storage's triggers do not note them as written by another tool (the index is kept up
    // to date by write itself). The mark must go before the transaction commits:
    // endOwnWrites() removes it (before a COMMIT), forgetOwnWrites() says it went with a
    // rollback.
    void endOwnWrites();
    void forgetOwnWrites() { ownWritesMarked_ = false; }

    // Fault injection for tests: the `count`-th write from now fails midway (0 turns it off).
    void failWriteAfter(int count) { writesBeforeFault_ = count; }

private:
    struct FileStatements {
        sqlite::Statement read;
        sqlite::Statement upsert;
        sqlite::Statement update;  // a record known to be there
        sqlite::Statement scan;
        sqlite::Statement scanFrom;
        sqlite::Statement countRange;
    };
    FileStatements& statementsOf(const std::string& file);
    // True when another tool wrote the key since the application last indexed it.
    bool editedOutside(const std::string& file, std::string_view key);
    // Brings the index entries of a key from what `before` held to what `record` holds.
    void indexRecord(const std::string& file, std::string_view key, const DynamicArray& before,
                     const DynamicArray& record);

    // The last record read from an indexed file inside a write transaction: what the index
    // knows of it when the run writes it back in the same transaction, without reading it again.
    struct LastRead {
        std::string file;
        std::string key;
        std::string record;
        std::uint64_t transaction = 0;  // transactionsEnded_ when it was read
        bool held = false;
    };
    static int transactionEnds(void* store);
    static void transactionRolledBack(void* store);

    sqlite3* connection_;
    schema::Catalogue catalogue_;
    LastRead lastRead_;
    std::uint64_t transactionsEnded_ = 0;
    // Files found without any key noted as written by another tool, in the transaction
    // numbered by transactionsEnded_: while the own writes are marked, none can be noted.
    std::map<std::string, std::uint64_t, std::less<>> unnotedFiles_;
    sqlite::Statement anyChanged_;
    sqlite::Statement savepoint_;
    sqlite::Statement release_;
    std::map<std::string, FileStatements> fileStatements_;
    sqlite::Statement dropIndexEntries_;
    sqlite::Statement changedKey_;
    sqlite::Statement dropIndexEntry_;
    sqlite::Statement addIndexEntry_;
    sqlite::Statement forgetChange_;
    sqlite::Statement indexEqual_;
    sqlite::Statement indexFrom_;
    sqlite::Statement changed_;
    sqlite::Statement highest_;
    sqlite::Statement countIndexRange_;
    // Prepared on first use: a read-only database of an earlier version may lack the table.
    std::optional<sqlite::Statement> markOwnWrites_;
    std::optional<sqlite::Statement> unmarkOwnWrites_;
    bool ownWritesMarkable_ = false;  // the database has tessaran_own_writes
    bool ownWritesMarked_ = false;
    int writesBeforeFault_ = 0;
};

}  // namespace tessaran::db
