#pragma once
// A Tessaran database on the test server as another tool sees it, through a connection of its
// own: what the index tables hold, the keys noted as written outside, the format; and the
// layouts of the earlier formats, made from the current one.

#include <algorithm>
#include <string>
#include <vector>

#include "DatabaseTestSupport.h"
#include "database/PostgresConnection.h"

namespace tessaran::db::testing {

inline std::vector<std::string> column(const postgres::Result& rows) {
    std::vector<std::string> values;
    for (int row = 0; row < rows.rows(); ++row) values.emplace_back(rows.value(row, 0));
    return values;
}

inline DynamicArray ofKind(const std::string& kind) {
    DynamicArray record;
    record.set(12, kind);  // the activity's kind, indexed
    return record;
}

struct ServerView {
    explicit ServerView(const std::string& location) : connection(location) {}
    bool sharedIndex() {
        return connection.run("SELECT to_regclass('tessaran_index') IS NOT NULL").value(0, 0) == "t";
    }
    // Every index entry, "FILE attribute value key" sorted, in either layout.
    std::vector<std::string> entries() {
        const std::string entry = "convert_from(value, 'UTF8') || ' ' || convert_from(key, 'UTF8')";
        std::vector<std::string> rows;
        if (sharedIndex()) {
            rows = column(connection.run("SELECT file || ' ' || attribute || ' ' || " + entry + " FROM tessaran_index"));
        } else {
            for (const std::string& table : indexTables()) {
                std::string indexed = table.substr(std::string("tessaran_index_").size());  // FILE_attribute
                indexed[indexed.rfind('_')] = ' ';
                for (const std::string& row : column(connection.run("SELECT " + entry + " FROM \"" + table + "\"")))
                    rows.push_back(indexed + " " + row);
            }
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    std::vector<std::string> indexTables() {
        return column(connection.run("SELECT tablename FROM pg_tables WHERE schemaname = current_schema() AND "
                                     "starts_with(tablename, 'tessaran_index_') ORDER BY 1"));
    }
    // The activities of a kind, as the index of attribute 12 holds them.
    std::vector<std::string> indexed(const std::string& kind) {
        std::vector<std::string> keys;
        for (const std::string& entry : entries())
            if (entry.starts_with("ACTIVITES 12 " + kind + " ")) keys.push_back(entry.substr(entry.rfind(' ') + 1));
        return keys;
    }
    std::vector<std::string> noted() {
        return column(connection.run("SELECT convert_from(key, 'UTF8') FROM tessaran_changed ORDER BY key"));
    }
    std::string version() {
        return std::string(connection.run("SELECT value FROM tessaran_meta WHERE name = 'version'").value(0, 0));
    }
    bool hasIndexByKey() {
        return connection.run("SELECT to_regclass('tessaran_index_by_key') IS NOT NULL").value(0, 0) == "t";
    }
    // Another tool makes an activity of the given kind.
    void makeOfKind(const std::string& key, const std::string& kind) {
        connection.run("UPDATE \"ACTIVITES\" SET record = convert_to(repeat(chr(254), 11) || $2, 'LATIN1') "
                       "WHERE key = convert_to($1, 'UTF8')",
                       postgres::Parameters().text(key).text(kind));
    }
    postgres::Connection connection;
};

// Brings a database back to the layout of version 2: the entries of every indexed attribute in
// one shared table.
inline void makeVersionTwo(postgres::Connection& connection) {
    connection.execute(
        "DO $$ DECLARE t text; BEGIN "
        "CREATE TABLE tessaran_index (file text NOT NULL, attribute integer NOT NULL, value bytea NOT NULL, "
        "key bytea NOT NULL, PRIMARY KEY (file, attribute, value, key)); "
        "FOR t IN SELECT tablename FROM pg_tables WHERE schemaname = current_schema() "
        "AND starts_with(tablename, 'tessaran_index_') LOOP "
        "EXECUTE format('INSERT INTO tessaran_index SELECT %L, %s, value, key FROM %I', "
        "substring(t FROM '^tessaran_index_(.*)_[0-9]+$'), substring(t FROM '_([0-9]+)$'), t); "
        "EXECUTE format('DROP TABLE %I', t); END LOOP; "
        "UPDATE tessaran_meta SET value = '2' WHERE name = 'version'; END $$");
}

// Brings a database back to the layout of version 1: that of version 2, with an index of the
// entries by key, and notes of the keys alone.
inline void makeVersionOne(postgres::Connection& connection) {
    makeVersionTwo(connection);
    connection.execute(
        "CREATE INDEX tessaran_index_by_key ON tessaran_index (file, key);"
        "ALTER TABLE tessaran_changed DROP COLUMN indexed;"
        "CREATE OR REPLACE FUNCTION tessaran_note_change() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
        "IF TG_OP IN ('UPDATE', 'DELETE') THEN EXECUTE format('INSERT INTO %I.tessaran_changed VALUES ($1, $2) "
        "ON CONFLICT DO NOTHING', TG_TABLE_SCHEMA) USING TG_TABLE_NAME, OLD.key; END IF; "
        "IF TG_OP IN ('INSERT', 'UPDATE') THEN EXECUTE format('INSERT INTO %I.tessaran_changed VALUES ($1, $2) "
        "ON CONFLICT DO NOTHING', TG_TABLE_SCHEMA) USING TG_TABLE_NAME, NEW.key; END IF; RETURN NULL; END $$;"
        "UPDATE tessaran_meta SET value = '1' WHERE name = 'version'");
}

}  // namespace tessaran::db::testing
