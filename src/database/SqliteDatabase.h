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

#include "MultivalueDatabase.h"

namespace tessaran::db {

class SqliteDatabase : public MultivalueDatabase {
public:
    // Opens an existing Tessaran database; throws kNoDatabase when it is missing or not one,
    // kNoAccess, kReadOnly or kDiskFull when it cannot be used. A database this process cannot
    // write is opened read-only (writes and begin() then throw kReadOnly).
    static std::shared_ptr<SqliteDatabase> open(const std::string& path);
    // Creates a new database with the ten application files and their dictionary; refuses
    // (kNoDatabase) when the file already exists. ":memory:" gives a private in-memory one.
    static std::shared_ptr<SqliteDatabase> create(const std::string& path);

    ~SqliteDatabase() override;

    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;

    const std::string& location() const override;
    // The path it was opened with.
    const std::string& path() const { return location(); }

    std::optional<int> rightLevel(const std::string& user, const std::string& functionKey) const override;
    void setRightLevel(const std::string& user, const std::string& functionKey, int level) override;
    std::vector<RightEntry> rights() const override;

    void setBusyTimeout(std::chrono::milliseconds timeout) override;
    void failNextCommit() override;

    struct Impl;

private:
    explicit SqliteDatabase(std::unique_ptr<Impl> impl);
    RecordStorage& storage() const override;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tessaran::db
