#pragma once
// The database component on SQLite: one table per data file (key TEXT PRIMARY KEY,
// record BLOB holding the dynamic array's string form), WAL journal, the dictionary and the
// secondary indexes in ordinary tables, so that the file opens in the stock sqlite3 shell.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Database.h"

namespace tessaran::db {

class SqliteDatabase : public Database, public std::enable_shared_from_this<SqliteDatabase> {
public:
    // Opens an existing Tessaran database; throws kNoDatabase when it is missing or not one,
    // kNoAccess, kReadOnly or kDiskFull when it cannot be used. A database this process cannot
    // write is opened read-only (writes and begin() then throw kReadOnly).
    static std::shared_ptr<SqliteDatabase> open(const std::string& path);
    // Creates a new database with the ten application files and their dictionary; refuses
    // (kNoDatabase) when the file already exists. ":memory:" gives a private in-memory one.
    static std::shared_ptr<SqliteDatabase> create(const std::string& path);

    ~SqliteDatabase() override;

    std::shared_ptr<File> OpenFile(const std::string& name) override;
    DynamicArray Select(const std::string& request, const std::string& option = {}) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;
    std::optional<std::string> highestNumber(const std::string& file, int attribute, int digits) override;

    // The data files of this database, in name order.
    std::vector<std::string> fileNames() const;
    // Every record of a file, in key order.
    std::vector<std::pair<std::string, DynamicArray>> records(const std::string& fileName) const;
    // Calls `visit` with the key and stored string form of every record of a file, in key
    // order, one at a time; the views live until `visit` returns.
    using RecordVisitor = std::function<void(std::string_view key, std::string_view record)>;
    void scan(const std::string& fileName, const RecordVisitor& visit) const;
    // Runs `reads` on one snapshot of the database: what other connections commit meanwhile
    // is not seen (inside an open transaction, the transaction's own view).
    void readConsistently(const std::function<void()>& reads) const;
    // The path it was opened with.
    const std::string& path() const;

    // The rights of users per function key, kept in a table of their own.
    // level() returns nullopt when the user has no entry for that key.
    std::optional<int> rightLevel(const std::string& user, const std::string& functionKey) const;
    void setRightLevel(const std::string& user, const std::string& functionKey, int level);
    struct RightEntry { std::string user; std::string functionKey; int level; };
    std::vector<RightEntry> rights() const;

    // How long begin() and writes wait for another process's write transaction before
    // giving up with kBusy; 30 seconds unless set.
    void setBusyTimeout(std::chrono::milliseconds timeout);

    // Runs `change` as one atomic change: in a transaction of its own, or in a savepoint of
    // the open transaction. When it throws nothing of it is left and the error propagates.
    void atomically(const std::function<void()>& change);

    // Rebuilds the secondary indexes from the records, e.g. after records or the indexed
    // attributes were changed with another tool.
    void rebuildIndexes();

    // Fault injection for tests: the `count`-th record write from now fails midway, after the
    // record was stored but before its index entries were (0 turns it off).
    void failWriteAfter(int count);
    // Fault injection for tests: the next commit fails, leaving the transaction open.
    void failNextCommit();

    struct Impl;

private:
    explicit SqliteDatabase(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace tessaran::db
