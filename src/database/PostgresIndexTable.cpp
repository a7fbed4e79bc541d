#include "PostgresIndexTable.h"

namespace tessaran::db::postgres {
namespace {

// The longest name PostgreSQL keeps whole, in bytes.
constexpr std::size_t kLongestName = 63;

std::string parameter(int n) { return "$" + std::to_string(n); }

// Two bytes arrays as rows (value, key).
std::string rows(int n) {
    return "unnest(" + parameter(n) + "::bytea[], " + parameter(n + 1) + "::bytea[]) AS d(value, key)";
}

}  // namespace

IndexTable::IndexTable(IndexLayout layout, const std::string& file, int attribute) {
    if (layout == IndexLayout::TablePerAttribute) {
        table_ = "\"" + schema::indexTableName(file, attribute) + "\"";
        columns_ = "(value, key)";
    } else {
        table_ = "tessaran_index";
        selected_ = "file = '" + file + "' AND attribute = " + std::to_string(attribute) + " AND ";
        columns_ = "(file, attribute, value, key)";
        fixed_ = "'" + file + "', " + std::to_string(attribute) + ", ";
    }
}

std::string IndexTable::where(const std::string& condition) const { return " WHERE " + selected_ + condition; }

std::string IndexTable::keysOfValue() const { return "SELECT key FROM " + table_ + where("value = $1") + " ORDER BY key"; }

std::string IndexTable::keysOfRange() const {
    return "SELECT key FROM " + table_ + where("value >= $1 AND value < $2") + " ORDER BY value, key";
}

std::string IndexTable::count() const {
    // In the index's order, so that the server walks the index and stops at the limit: else,
    // reckoning a few hundred entries for any range of a table of its own, it may gather
    // every entry of the range first (a month's 100,000 flows for a count up to 2,000).
    return "SELECT count(*) FROM (SELECT 1 FROM " + table_ + where("value >= $1 AND value <= $2") +
           " ORDER BY value, key LIMIT $3) admitted";
}

std::string IndexTable::highestNumber() const {
    // Walks the index down from its greatest value: the first whole number of the wanted
    // length ends the walk, so the cost does not grow with the history.
    return "SELECT value FROM " + table_ +
           where("length(value) = $1 AND ltrim(encode(value, 'escape'), '0123456789') = ''") +
           " ORDER BY value DESC LIMIT 1";
}

std::string IndexTable::insert(int n) const {
    return "INSERT INTO " + table_ + " " + columns_ + " SELECT " + fixed_ + "d.value, d.key FROM " + rows(n) +
           " ON CONFLICT DO NOTHING";
}

std::string IndexTable::drop(int n) const {
    return "DELETE FROM " + table_ + " i USING " + rows(n) + " WHERE " + selected_ +
           "i.value = d.value AND i.key = d.key";
}

std::string IndexTable::dropKeys(int n) const {
    return "DELETE FROM " + table_ + where("key = ANY(" + parameter(n) + "::bytea[])");
}

std::string IndexTable::analyze() const { return "ANALYZE " + table_; }

std::string IndexTable::clear() const {
    return selected_.empty() ? "DELETE FROM " + table_ : "DELETE FROM " + table_ + where("true");
}

std::string together(const std::vector<std::string>& statements) {
    if (statements.empty()) return {};
    std::string sql;
    for (std::size_t i = 0; i + 1 < statements.size(); ++i)
        sql += (i == 0 ? "WITH w" : ", w") + std::to_string(i) + " AS (" + statements[i] + ")";
    return sql + (sql.empty() ? "" : " ") + statements.back();
}

bool fitsAsTableName(const std::string& name) { return name.size() <= kLongestName; }

}  // namespace tessaran::db::postgres
