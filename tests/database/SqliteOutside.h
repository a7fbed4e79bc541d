#pragma once
// The database file seen from outside the application, as the sqlite3 shell sees it: SQL run
// through a connection of its own, the index entries as stored, and a database laid out as an
// earlier version of the format left it.

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "database/DynamicArray.h"

namespace tessaran::db::testing {

// Runs `sql` on the database file through its own connection, as another tool would.
inline int outsideEdit(const std::string& path, const std::string& sql) {
    sqlite3* shell = nullptr;
    int rc = sqlite3_open(path.c_str(), &shell);
    if (rc == SQLITE_OK) rc = sqlite3_exec(shell, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(shell);
    return rc;
}

// The rows of a one-column query, read through a connection of its own.
inline std::vector<std::string> outsideRows(const std::string& path, const std::string& sql) {
    std::vector<std::string> rows;
    sqlite3* shell = nullptr;
    if (sqlite3_open(path.c_str(), &shell) == SQLITE_OK) {
        sqlite3_exec(
            shell, sql.c_str(),
            [](void* into, int, char** values, char**) {
                static_cast<std::vector<std::string>*>(into)->emplace_back(values[0] ? values[0] : "");
                return 0;
            },
            &rows, nullptr);
    }
    sqlite3_close(shell);
    return rows;
}

// The SQL literal of a record's stored form.
inline std::string blob(const DynamicArray& record) {
    std::string literal = "x'";
    for (const unsigned char byte : record.str()) literal += {"0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 15]};
    return literal + "'";
}

// The indexed attributes as "FILE attribute".
inline std::vector<std::string> indexedAttributeRows(const std::string& path) {
    return outsideRows(path, "SELECT file || ' ' || attribute FROM tessaran_indexed ORDER BY 1");
}

// The table of an indexed attribute ("FILE attribute") in the layout of version 4.
inline std::string indexTableOf(const std::string& indexed) {
    std::string name = indexed;
    std::replace(name.begin(), name.end(), ' ', '_');
    return "\"tessaran_index_" + name + "\"";
}

// Every index entry the file holds, "FILE attribute value key" sorted, in either layout.
inline std::vector<std::string> storedIndexEntries(const std::string& path) {
    if (outsideRows(path, "SELECT value FROM tessaran_meta WHERE name = 'version'") == std::vector<std::string>{"3"})
        return outsideRows(path, "SELECT file || ' ' || attribute || ' ' || value || ' ' || key FROM tessaran_index "
                                 "ORDER BY 1");
    std::vector<std::string> entries;
    for (const std::string& indexed : indexedAttributeRows(path))
        for (const std::string& entry :
             outsideRows(path, "SELECT value || ' ' || key FROM " + indexTableOf(indexed)))
            entries.push_back(indexed + " " + entry);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Lays a database of the current format out as version 3, 2 or 1 of the format left it.
// Version 3: the entries of every indexed attribute in one shared table. Versions 1 and 2
// also: an index of the entries by key, and triggers that note the keys another tool wrote
// without the record the index knew (version 2's skip the application's own writes, marked
// in a table of their own).
inline void makeEarlierVersion(const std::string& path, int version) {
    std::string sql = "CREATE TABLE tessaran_index (file TEXT NOT NULL, attribute INTEGER NOT NULL, "
                      "value TEXT NOT NULL, key TEXT NOT NULL, PRIMARY KEY (file, attribute, value, key))"
                      " WITHOUT ROWID;";
    for (const std::string& indexed : indexedAttributeRows(path)) {
        const std::size_t space = indexed.find(' ');
        sql += "INSERT INTO tessaran_index SELECT '" + indexed.substr(0, space) + "', " + indexed.substr(space + 1) +
               ", value, key FROM " + indexTableOf(indexed) + "; DROP TABLE " + indexTableOf(indexed) + ";";
    }
    if (version < 3) {
        sql += "CREATE INDEX tessaran_index_by_key ON tessaran_index (file, key);"
               "DROP TABLE tessaran_changed;"
               "CREATE TABLE tessaran_changed (file TEXT NOT NULL, key TEXT NOT NULL, PRIMARY KEY (file, key))"
               " WITHOUT ROWID;";
        if (version == 2) sql += "CREATE TABLE tessaran_own_writes (id INTEGER PRIMARY KEY CHECK (id = 1));";
        const std::string when = version == 2 ? " WHEN NOT EXISTS (SELECT 1 FROM tessaran_own_writes)" : "";
        for (const std::string event : {"INSERT", "UPDATE", "DELETE"}) {
            const std::string key = event == "INSERT" ? "NEW.key" : "OLD.key";
            sql += "DROP TRIGGER ACTIVITES_" + event + "; CREATE TRIGGER ACTIVITES_" + event + " AFTER " + event +
                   " ON ACTIVITES" + when + " BEGIN INSERT INTO tessaran_changed SELECT 'ACTIVITES', " + key +
                   " WHERE NOT EXISTS (SELECT 1 FROM tessaran_changed WHERE file = 'ACTIVITES' AND key = " + key +
                   "); END;";
        }
    }
    ASSERT_EQ(outsideEdit(path, sql + "UPDATE tessaran_meta SET value = '" + std::to_string(version) +
                                    "' WHERE name = 'version'"),
              SQLITE_OK);
}

}  // namespace tessaran::db::testing
