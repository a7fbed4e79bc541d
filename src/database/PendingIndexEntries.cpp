#include "PendingIndexEntries.h"

namespace tessaran::db {
namespace {

// Rows a full statement inserts: 4 parameters each, far below SQLite's limit of parameters.
constexpr std::size_t kRowsPerStatement = 128;

std::string insertSql(std::size_t rows) {
    std::string sql = "INSERT OR IGNORE INTO tessaran_index (file, attribute, value, key) VALUES ";
    for (std::size_t row = 0; row < rows; ++row) sql += row == 0 ? "(?, ?, ?, ?)" : ", (?, ?, ?, ?)";
    return sql;
}

}  // namespace

PendingIndexEntries::PendingIndexEntries(sqlite3* connection)
    : connection_(connection), oneRow_(connection, insertSql(1)) {
    entries_.reserve(kRowsPerStatement);
}

void PendingIndexEntries::add(std::string_view file, int attribute, std::string_view value, std::string_view key) {
    entries_.push_back({std::string(file), attribute, std::string(value), std::string(key)});
    if (entries_.size() >= kRowsPerStatement) flush();
}

void PendingIndexEntries::flush() {
    if (entries_.empty()) return;
    struct Clear {  // gone whatever happens
        std::vector<Entry>& entries;
        ~Clear() { entries.clear(); }
    } clear{entries_};
    std::size_t from = 0;
    if (entries_.size() >= kRowsPerStatement) {
        if (!manyRows_) manyRows_.emplace(connection_, insertSql(kRowsPerStatement));
        for (; entries_.size() - from >= kRowsPerStatement; from += kRowsPerStatement)
            write(*manyRows_, from, kRowsPerStatement);
    }
    for (; from < entries_.size(); ++from) write(oneRow_, from, 1);
}

void PendingIndexEntries::write(sqlite::Statement& statement, std::size_t from, std::size_t count) {
    for (std::size_t row = 0; row < count; ++row) {
        const Entry& entry = entries_[from + row];
        const int first = static_cast<int>(row * 4) + 1;
        statement.bindInPlace(first, entry.file)
            .bind(first + 1, entry.attribute)
            .bindInPlace(first + 2, entry.value)
            .bindInPlace(first + 3, entry.key);
    }
    statement.run();
}

}  // namespace tessaran::db
