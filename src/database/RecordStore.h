#pragma once
// The records of the data files on one SQLite connection: reading by key, key ranges and
// full scans in key order, writing with the secondary index kept up to date, and index
// lookups. File names are checked against the catalogue before any table is named.

#include <sqlite3.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "DynamicArray.h"
#include "RecordStorage.h"
#include "SqliteHandle.h"
#include "StorageSchema.h"

namespace tessaran::db {

class RecordStore : public RecordStorage {
public:
    RecordStore(sqlite3* connection, schema::Catalogue catalogue);

    const schema::Catalogue& catalogue() const override { return catalogue_; }
    std::optional<std::string> read(const std::string& file, std::string_view key) override;
    void write(const std::string& file, std::string_view key, const DynamicArray& record) override;
    void scan(const std::string& file, const RowVisitor& visit) override;
    void scanPrefix(const std::string& file, std::string_view prefix, const RowVisitor& visit) override;
    std::size_t countKeysWithPrefix(const std::string& file, std::string_view prefix, std::size_t limit) override;
    std::size_t countIndexEntries(const std::string& file, int attribute, std::string_view value, bool prefix,
                                  std::size_t limit) override;
    void indexKeys(const std::string& file, int attribute, std::string_view value, bool prefix,
                   std::vector<std::string>& keys) override;
    void changedKeys(const std::string& file, std::vector<std::string>& keys) override;
    void rebuildIndexes() override;
    // Outside an explicit transaction: a transaction of its own (which also spares a lock per
    // statement); inside one, a savepoint.
    void atomically(const std::function<void()>& change) override;
    void readConsistently(const std::function<void()>& reads) override;

protected:
    std::optional<std::string> topIndexedNumber(const std::string& file, int attribute, int digits) override;

private:
    struct FileStatements {
        sqlite::Statement read;
        sqlite::Statement upsert;
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

    sqlite3* connection_;
    schema::Catalogue catalogue_;
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
};

}  // namespace tessaran::db
