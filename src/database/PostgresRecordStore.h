#pragma once
// The records of the data files on one PostgreSQL connection, with the same meaning as on
// SQLite: keys compared byte by byte, the secondary index in its own table kept by the
// application's writes, and the keys another tool wrote noted by a trigger.

#include <chrono>
#include <optional>
#include <string>

#include "FunctionRef.h"
#include "PostgresConnection.h"
#include "PostgresKnownRecords.h"
#include "PostgresPendingWrites.h"
#include "PostgresSchema.h"
#include "RecordStorage.h"

namespace tessaran::db {

class PostgresRecordStore : public RecordStorage {
public:
    // Holds its writes in the connection until the next statement that answers. `format`: the
    // layout of a database of an earlier version (see postgres::storedFormat).
    PostgresRecordStore(postgres::Connection& connection, schema::Catalogue catalogue, postgres::Format format = {});
    ~PostgresRecordStore() override;
    PostgresRecordStore(const PostgresRecordStore&) = delete;
    PostgresRecordStore& operator=(const PostgresRecordStore&) = delete;

    const schema::Catalogue& catalogue() const override { return catalogue_; }
    std::optional<std::string> read(const std::string& file, std::string_view key) override;
    void readMany(const std::string& file, const std::vector<std::string>& keys, const RowVisitor& visit) override;
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
    // then on (in the layout by table per attribute, their tables created, those of
    // attributes no longer listed dropped).
    void rebuildIndexes() override;
    // Outside an explicit transaction: a transaction of its own that first waits for the
    // database's write lock; inside one, a savepoint.
    void atomically(const std::function<void()>& change) override;
    void readConsistently(const std::function<void()>& reads) override;

    // Opens a write transaction: waits up to the busy timeout for the database's write lock,
    // which every Tessaran write takes, so that two runs never interleave.
    void beginWriting();
    // The write transaction ended (committed or rolled back): what was known of it goes.
    void transactionEnded();
    // True when a write failed midway in the open transaction: it can only be rolled back.
    bool transactionVoided() const { return voided_; }
    void setBusyTimeout(std::chrono::milliseconds timeout) { busyTimeout_ = timeout; }

protected:
    std::optional<std::string> topIndexedNumber(const std::string& file, int attribute, int digits) override;

private:
    // Visits rows of a file from `from` on (and before `to` when not empty), in key order,
    // fetched a page at a time so that the visitor may itself read the database.
    void scanRange(const std::string& file, std::string_view from, std::string_view to, const RowVisitor& visit);
    // Visits the records of the given keys that exist, asking the server for them a batch at
    // a time; in a write transaction, keeps them as known.
    void fetch(const std::string& file, const std::vector<std::string>& keys, const RowVisitor& visit);
    // Runs a record's write: in the open transaction, or in one of its own.
    void writing(FunctionRef<void()> change);
    void inOwnTransaction(const std::function<void()>& change);
    // Runs `work`; when it throws, runs `undo` (a rollback) unless the connection is gone.
    void undoingOnFailure(const std::function<void()>& work, const char* undo);
    // Where the entries of an indexed attribute are; throws kInvalidRequest for another one.
    postgres::IndexTable indexOf(const std::string& file, int attribute) const;
    // Holds the index entries that bring a key from `before` to `record`.
    void holdIndexChanges(const std::string& file, std::string_view key, const DynamicArray& before,
                          const DynamicArray& record);

    using Known = postgres::KnownRecords::Known;
    // What the open write transaction knows of a record; none outside one.
    Known* known(const std::string& file, std::string_view key);
    // What the server holds for a record: its text, and whether another tool wrote it since
    // the index last saw it.
    Known ask(const std::string& file, std::string_view key);
    // The column of the record a note keeps, as a select list item of the note `c`.
    std::string notedIndexed() const;
    // What a row of `ask` or `fetch` says of a record, its last two columns being whether the
    // key is noted and the record the note keeps.
    static Known knownFrom(const postgres::Result& rows, int row, std::optional<std::string_view> record);

    postgres::Connection& connection_;
    schema::Catalogue catalogue_;
    std::chrono::milliseconds busyTimeout_{30000};
    postgres::Format format_;
    bool writeTransaction_ = false;
    bool voided_ = false;
    postgres::KnownRecords known_;     // the records read in a write transaction, as they stand
    postgres::PendingWrites pending_;  // the writes not yet sent
};

}  // namespace tessaran::db
