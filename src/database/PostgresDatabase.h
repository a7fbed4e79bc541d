#pragma once
// The database component on a PostgreSQL server, for federations that bill from several
// workstations: the same files, records, index and select language as on SQLite, in the
// tables of one database (or schema), reached through libpq. Every write transaction first
// takes the database's write lock, so two print runs never interleave; reads outside a
// transaction see one snapshot. The user is the role the server authenticated.

#include <memory>
#include <string>

#include "MultivalueDatabase.h"

namespace tessaran::db {

class PostgresDatabase : public MultivalueDatabase {
public:
    // Connects to a Tessaran database; throws kNoDatabase when the server cannot be reached or
    // the database holds none, kNoAccess when the server refuses the user.
    static std::shared_ptr<PostgresDatabase> open(const std::string& location);
    // Creates the ten application files, their dictionary and the catalogue in an empty
    // database (or schema); refuses (kNoDatabase) when it already holds one.
    static std::shared_ptr<PostgresDatabase> create(const std::string& location);

    ~PostgresDatabase() override;

    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;

    const std::string& location() const override;
    std::optional<int> rightLevel(const std::string& user, const std::string& functionKey) const override;
    void setRightLevel(const std::string& user, const std::string& functionKey, int level) override;
    std::vector<RightEntry> rights() const override;
    std::optional<std::string> authenticatedUser() const override;
    void setBusyTimeout(std::chrono::milliseconds timeout) override;
    void failNextCommit() override;

    // Drops every table, the trigger function and the catalogue of this Tessaran database:
    // what undoes create() when filling the new database failed.
    void dropEverything();

    struct Impl;

private:
    explicit PostgresDatabase(std::unique_ptr<Impl> impl);
    RecordStorage& storage() const override;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tessaran::db
