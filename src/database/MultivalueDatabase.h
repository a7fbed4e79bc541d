#pragma once
// The database as Tessaran's own tools see it, whatever holds it (a SQLite file or a
// PostgreSQL database): the application's database component, plus the data files listed
// and read whole, consistent reads, atomic changes, the users' rights, and the index kept
// in step. The storage-specific parts are left to SqliteDatabase and PostgresDatabase.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Database.h"

namespace tessaran::db {

class RecordStorage;

class MultivalueDatabase : public Database, public std::enable_shared_from_this<MultivalueDatabase> {
public:
    std::shared_ptr<File> OpenFile(const std::string& name) override;
    DynamicArray Select(const std::string& request, const std::string& option = {}) override;
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
    // Runs `change` as one atomic change: in a transaction of its own, or in a savepoint of
    // the open transaction. When it throws nothing of it is left and the error propagates.
    void atomically(const std::function<void()>& change);
    // Rebuilds the secondary indexes from the records, e.g. after records or the indexed
    // attributes were changed with another tool.
    void rebuildIndexes();

    // Where the database is: the path of its file, or the connection it was opened with.
    virtual const std::string& location() const = 0;

    // The rights of users per function key, kept in a table of their own.
    // rightLevel() returns nullopt when the user has no entry for that key.
    virtual std::optional<int> rightLevel(const std::string& user, const std::string& functionKey) const = 0;
    virtual void setRightLevel(const std::string& user, const std::string& functionKey, int level) = 0;
    struct RightEntry {
        std::string user;
        std::string functionKey;
        int level;
    };
    virtual std::vector<RightEntry> rights() const = 0;
    // The user the storage itself authenticated (a database server's role), when it does;
    // none for a file, whose users are the system's.
    virtual std::optional<std::string> authenticatedUser() const { return std::nullopt; }

    // How long begin() and writes wait for another workstation's write transaction before
    // giving up with kBusy; 30 seconds unless set.
    virtual void setBusyTimeout(std::chrono::milliseconds timeout) = 0;

    // Fault injection for tests: the `count`-th record write from now fails midway, after the
    // record was stored but before its index entries were (0 turns it off).
    void failWriteAfter(int count);
    // Fault injection for tests: the next commit fails, leaving the transaction open.
    virtual void failNextCommit() = 0;

protected:
    virtual RecordStorage& storage() const = 0;
};

}  // namespace tessaran::db
