#pragma once
// The index entries of one indexed attribute of a data file on SQLite: the keys of each
// non-empty value, looked up, counted, dropped and added. From version 4 of the format they
// are a table of their own, (value, key) in that order; a database still laid out as an
// earlier version (opened read-only, or busy when it was opened) keeps them in the one shared
// table, where each row also names the file and the attribute. The statements are prepared
// at their first use and kept.

#include <sqlite3.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FunctionRef.h"
#include "SqliteHandle.h"
#include "StorageSchema.h"

namespace tessaran::db {

class IndexTable {
public:
    struct Row {
        std::string value;
        std::string key;
    };
    // Rows one full insert statement takes: 2 parameters each, far below SQLite's limit.
    static constexpr std::size_t kRowsPerStatement = 128;

    // `file` is a plain name of the catalogue and `attribute` an indexed one.
    IndexTable(sqlite3* connection, schema::IndexLayout layout, const std::string& file, int attribute);

    // Appends the keys of `value` (or of every value beginning with it) to `keys`.
    void keys(std::string_view value, bool prefix, std::vector<std::string>& keys);
    // The entries whose value is within [from, to], counted up to `limit`.
    std::size_t count(std::string_view from, std::string_view to, std::size_t limit);
    // The greatest value written with exactly `digits` decimal digits.
    std::optional<std::string> highestNumber(int digits);

    void drop(std::string_view value, std::string_view key);
    // Adds the rows that are not there yet: full statements first, then a row at a time.
    void insert(const std::vector<Row>& rows, std::size_t count);
    void clear();

private:
    // The statement of `slot`, prepared the first time from the text `sql` makes: the text is
    // built only then, not at every use (the inserts run a thousand times in a print run).
    sqlite::Statement& prepared(std::optional<sqlite::Statement>& slot, FunctionRef<std::string()> sql);
    // " WHERE " and the condition, with the shared table's choice of file and attribute.
    std::string where(const std::string& condition) const;
    std::string insertSql(std::size_t rows) const;

    sqlite3* connection_;
    std::string table_;     // the table's quoted name
    std::string selected_;  // in the shared table, the condition that picks this attribute's rows
    std::string row_;       // the values of one inserted row
    std::optional<sqlite::Statement> equal_;
    std::optional<sqlite::Statement> from_;
    std::optional<sqlite::Statement> count_;
    std::optional<sqlite::Statement> highest_;
    std::optional<sqlite::Statement> drop_;
    std::optional<sqlite::Statement> insertOne_;
    std::optional<sqlite::Statement> insertMany_;
};

}  // namespace tessaran::db
