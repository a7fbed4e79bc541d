#include "IndexTable.h"

namespace tessaran::db {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

IndexTable::IndexTable(sqlite3* connection, schema::IndexLayout layout, const std::string& file, int attribute)
    : connection_(connection) {
    // The file is a plain name and the attribute a number: both may be written into SQL text.
    if (layout == schema::IndexLayout::TablePerAttribute) {
        table_ = sqlite::quotedIdentifier(schema::indexTableName(file, attribute));
        row_ = "(?, ?)";
    } else {
        table_ = "tessaran_index";
        selected_ = "file = '" + file + "' AND attribute = " + std::to_string(attribute);
        row_ = "('" + file + "', " + std::to_string(attribute) + ", ?, ?)";
    }
}

std::string IndexTable::where(const std::string& condition) const {
    if (selected_.empty()) return condition.empty() ? std::string() : " WHERE " + condition;
    return " WHERE " + selected_ + (condition.empty() ? "" : " AND " + condition);
}

std::string IndexTable::insertSql(std::size_t rows) const {
    std::string sql = "INSERT OR IGNORE INTO " + table_ +
                      (selected_.empty() ? " (value, key)" : " (file, attribute, value, key)") + " VALUES ";
    for (std::size_t row = 0; row < rows; ++row) {
        if (row != 0) sql += ", ";
        sql += row_;
    }
    return sql;
}

sqlite::Statement& IndexTable::prepared(std::optional<sqlite::Statement>& slot, FunctionRef<std::string()> sql) {
    if (!slot) slot.emplace(connection_, sql());
    return *slot;
}

void IndexTable::keys(std::string_view value, bool prefix, std::vector<std::string>& keys) {
    if (!prefix) {
        sqlite::StatementUse use(prepared(equal_, [&] { return "SELECT key FROM " + table_ + where("value = ?1"); }));
        use->bind(1, value);
        while (use->step()) keys.emplace_back(use->text(0));
        return;
    }
    sqlite::StatementUse use(prepared(from_, [&] {
        return "SELECT value, key FROM " + table_ + where("value >= ?1") + " ORDER BY value, key";
    }));
    use->bind(1, value);
    while (use->step()) {
        if (!startsWith(use->text(0), value)) break;  // values are in byte order: the range is over
        keys.emplace_back(use->text(1));
    }
}

std::size_t IndexTable::count(std::string_view from, std::string_view to, std::size_t limit) {
    sqlite::StatementUse use(prepared(count_, [&] {
        return "SELECT count(*) FROM (SELECT 1 FROM " + table_ + where("value >= ?1 AND value <= ?2") + " LIMIT ?3)";
    }));
    use->bind(1, from).bind(2, to).bind(3, static_cast<long long>(limit));
    return use->step() ? static_cast<std::size_t>(use->integer(0)) : 0;
}

std::optional<std::string> IndexTable::highestNumber(int digits) {
    // Walks the index down from its greatest value: the first whole number of the wanted
    // length ends the walk, so the cost does not grow with the history.
    sqlite::StatementUse use(prepared(highest_, [&] {
        return "SELECT value FROM " + table_ + where("length(value) = ?1 AND value NOT GLOB '*[^0-9]*'") +
               " ORDER BY value DESC LIMIT 1";
    }));
    use->bind(1, static_cast<long long>(digits));
    if (!use->step()) return std::nullopt;
    return std::string(use->text(0));
}

void IndexTable::drop(std::string_view value, std::string_view key) {
    prepared(drop_, [&] { return "DELETE FROM " + table_ + where("value = ?1 AND key = ?2"); })
        .bindInPlace(1, value)
        .bindInPlace(2, key)
        .run();
}

void IndexTable::insert(const std::vector<Row>& rows, std::size_t count) {
    std::size_t next = 0;
    for (; count - next >= kRowsPerStatement; next += kRowsPerStatement) {
        sqlite::Statement& many = prepared(insertMany_, [&] { return insertSql(kRowsPerStatement); });
        for (std::size_t row = 0; row < kRowsPerStatement; ++row) {
            const int first = static_cast<int>(row * 2) + 1;
            many.bindInPlace(first, rows[next + row].value).bindInPlace(first + 1, rows[next + row].key);
        }
        many.run();
    }
    for (; next < count; ++next) {
        prepared(insertOne_, [&] { return insertSql(1); })
            .bindInPlace(1, rows[next].value)
            .bindInPlace(2, rows[next].key)
            .run();
    }
}

void IndexTable::clear() { sqlite::execute(connection_, ("DELETE FROM " + table_ + where("")).c_str()); }

}  // namespace tessaran::db
