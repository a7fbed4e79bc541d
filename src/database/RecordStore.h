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
#include "FunctionRef.h"
#include "IndexTable.h"
#include "PendingIndexEntries.h"
#include "RecordStorage.h"
#include "SqliteHandle.h"
#include "StorageSchema.h"

namespace tessaran::db {

class RecordStore : public RecordStorage {
public:
    RecordStore(sqlite3* connection, schema::Catalogue catalogue);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    const schema::Catalogue& catalogue() const override { return catalogue_; }
    std::optional<std::string> read(const std::string& file, std::string_view key) override;
    void readMany(const std::string& file, const std::vector<std::string>& keys, const RowVisitor& visit) override;
    void handedOut(const std::string& file, std::string_view key, std::string_view record) override;
    void write(const std::string& file, std::string_view key, const DynamicArray& record) override;
    void scan(const std::string& file, const RowVisitor& visit) override;
    void scanPrefix(const std::string& file, std::string_view prefix, const RowVisitor& visit) override;
    std::size_t countKeysWithPrefix(const std::string& file, std::string_view prefix, std::size_t limit) override;
    std::size_t countIndexEntries(const std::string& file, int attribute, std::string_view value, bool prefix,
                                  std::size_t limit) override;
    void indexKeys(const std::string& file, int attribute, std::string_view value, bool prefix,
                   std::vector<std::string>& keys) override;
    void changedKeys(const std::string& file, std::vector<std::string>& keys) override;
    // Outside a transaction only: the attributes tessaran_indexed lists now are indexed from
    // then on (their tables created, those of attributes no longer listed dropped).
    void rebuildIndexes() override;
    // Outside an explicit transaction: a transaction of its own (which also spares a lock per
    // statement); inside one, a savepoint.
    void atomically(const std::function<void()>& change) override;
    void readConsistently(const std::function<void()>& reads) override;

    // Inside a transaction the application's writes go to files without their triggers, so
    // that they are not noted as written by another tool (the index is kept up to date by
    // write itself). The triggers must be back before the transaction commits:
    // endOwnWrites() puts them back (before a COMMIT), forgetOwnWrites() says they came back
    // with a rollback.
    void endOwnWrites();
    void forgetOwnWrites() { silencedFiles_.clear(); }
    // True when a write failed midway in the open transaction: what it left cannot be
    // committed, only rolled back.
    bool transactionVoided() const;

protected:
    std::optional<std::string> topIndexedNumber(const std::string& file, int attribute, int digits) override;

private:
    struct FileStatements {
        sqlite::Statement read;
        sqlite::Statement upsert;
        sqlite::Statement update;  // a record known to be there
        sqlite::Statement scan;
        sqlite::Statement scanFrom;
        sqlite::Statement countRange;
        const std::set<int>* indexed;  // the file's indexed attributes, from the catalogue
        std::map<int, IndexTable> indexes;  // the entries of each
    };
    FileStatements& statementsOf(const std::string& file);
    // Throws kInvalidRequest when the attribute has no index.
    IndexTable& indexOf(const std::string& file, int attribute);
    // Takes `indexed` as the indexed attributes, and forgets the statements prepared for the others.
    void useIndexed(std::map<std::string, std::set<int>> indexed);
    // The note left when another tool wrote the key since the application last indexed it:
    // the record the index knows (none when the key had no record then).
    struct OutsideNote {
        std::optional<std::string> indexed;
    };
    // `ownWritesUnnoted`: the file's triggers are dropped in the open transaction, so only
    // another tool's note can be there.
    std::optional<OutsideNote> outsideNote(const std::string& file, std::string_view key, bool ownWritesUnnoted);
    void dropAllIndexEntries(const std::string& file, std::string_view key);
    bool silenced(const std::string& file) const;
    void silenceTriggers(const std::string& file);
    // Runs a write: in a transaction of its own outside one; inside one, as part of it (see
    // transactionVoided()).
    void writing(FunctionRef<void()> change);
    // Keeps a record read inside a write transaction as the one last read.
    void keepLastRead(const std::string& file, std::string_view key, std::string_view record);
    // Writes the index entries added so far, before the index is read, entries are dropped or
    // the transaction commits; a failure voids the transaction.
    void flushIndexEntries();
    // Brings the index entries of a key from what `before` held to what `record` holds, for
    // the file's indexed attributes.
    void indexRecord(FileStatements& statements, std::string_view key, std::string_view before,
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
    schema::IndexLayout indexLayout_;
    LastRead lastRead_;
    std::uint64_t transactionsEnded_ = 0;
    // Files found without any key noted as written by another tool, in the transaction
    // numbered by transactionsEnded_: while the own writes are marked, none can be noted.
    std::map<std::string, std::uint64_t, std::less<>> unnotedFiles_;
    sqlite::Statement anyChanged_;
    sqlite::Statement savepoint_;
    sqlite::Statement release_;
    std::map<std::string, FileStatements> fileStatements_;
    std::pair<const std::string, FileStatements>* lastStatements_ = nullptr;  // the file used last
    // Version 3 notes keep the record the index knew; earlier layouts drop all entries of a key.
    bool notesKeepRecords_ = false;
    sqlite::Statement noteOf_;
    PendingIndexEntries pendingEntries_;
    sqlite::Statement forgetChange_;
    sqlite::Statement changed_;
    std::optional<sqlite::Statement> dropIndexEntries_;  // prepared for a version 1 or 2 layout only
    // Files whose triggers are dropped in the transaction numbered by transactionsEnded_.
    std::map<std::string, std::uint64_t, std::less<>> silencedFiles_;
    bool voided_ = false;  // a write failed in the transaction numbered voidedTransaction_
    std::uint64_t voidedTransaction_ = 0;
};

}  // namespace tessaran::db
