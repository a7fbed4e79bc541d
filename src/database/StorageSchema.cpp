#include "StorageSchema.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ApplicationCatalogue.h"
#include "DatabaseError.h"
#include "FormatVersion.h"
#include "SqliteHandle.h"

namespace tessaran::db::schema {
namespace {

constexpr const char* kFormatName = "tessaran-multivalue";
// Version 4 keeps the index entries of each indexed attribute in a table of their own (they
// were all in tessaran_index, whose rows also named the file and the attribute). Version 3
// keeps in tessaran_changed the record as the index knew it, in place of an index of the
// entries by key (version 2 had a table that marked the application's own writes for the
// triggers to skip them; the application now drops the triggers inside its transactions).
// See migrate().
constexpr const char* kFormatVersion = "4";

constexpr const char* kCatalogueTables = R"sql(
CREATE TABLE tessaran_meta (
    name  TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
CREATE TABLE tessaran_files (
    name TEXT PRIMARY KEY
);
CREATE TABLE tessaran_dictionary (
    file             TEXT NOT NULL REFERENCES tessaran_files(name),
    name             TEXT NOT NULL,
    kind             TEXT NOT NULL CHECK (kind IN ('key', 'attribute', 'characters', 'translation')),
    attribute        INTEGER,
    first            INTEGER,
    length           INTEGER,
    target_file      TEXT,
    target_attribute INTEGER,
    PRIMARY KEY (file, name)
);
CREATE TABLE tessaran_indexed (
    file      TEXT NOT NULL REFERENCES tessaran_files(name),
    attribute INTEGER NOT NULL CHECK (attribute > 0),
    PRIMARY KEY (file, attribute)
);
CREATE TABLE tessaran_changed (
    file    TEXT NOT NULL,
    key     TEXT NOT NULL,
    indexed BLOB,
    PRIMARY KEY (file, key)
) WITHOUT ROWID;
CREATE TABLE tessaran_rights (
    user         TEXT NOT NULL,
    function_key TEXT NOT NULL,
    level        INTEGER NOT NULL,
    PRIMARY KEY (user, function_key)
);
)sql";

}  // namespace

// The triggers of a data file's table, which note every key written to it, with the record as
// the index knows it (the one before the first write noted; none for a key that had no
// record). The application clears the note when it has brought the secondary index up to
// date, dropping exactly the entries of that record; a write made with another tool leaves
// it, and selects then look at that key whatever the index says. Inside its own
// transactions the application drops them and puts them back before the commit (see
// RecordStore::write).
std::string fileTriggersSql(const std::string& file) {
    const std::string table = sqlite::quotedIdentifier(file);
    const std::string literal = "'" + file + "'";
    std::string sql;
    const auto trigger = [&](const char* event, const std::string& body) {
        sql += "CREATE TRIGGER " + sqlite::quotedIdentifier(file + "_" + event) + " AFTER " + event + " ON " +
               table + " BEGIN " + body + " END;\n";
    };
    // Written without a conflict clause: the statement that fires a trigger imposes its own.
    // The first note of a key wins: the index still knows the record as it was before it.
    const auto note = [&](const char* which, const char* indexed) {
        return std::string("INSERT INTO tessaran_changed SELECT ") + literal + ", " + which + ", " + indexed +
               " WHERE NOT EXISTS (SELECT 1 FROM tessaran_changed WHERE file = " + literal + " AND key = " + which +
               ");";
    };
    trigger("INSERT", note("NEW.key", "NULL"));
    // A key changed by the update had no record before (keys are unique): nothing indexed.
    trigger("UPDATE", note("OLD.key", "OLD.record") + " " + note("NEW.key", "NULL"));
    trigger("DELETE", note("OLD.key", "OLD.record"));
    return sql;
}

std::string dropFileTriggersSql(const std::string& file) {
    std::string sql;
    for (const char* event : {"INSERT", "UPDATE", "DELETE"})
        sql += "DROP TRIGGER IF EXISTS " + sqlite::quotedIdentifier(file + "_" + event) + ";\n";
    return sql;
}

namespace {

// The table of a data file and its triggers.
std::string fileTableSql(const std::string& file) {
    return "CREATE TABLE " + sqlite::quotedIdentifier(file) +
           " (key TEXT PRIMARY KEY, record BLOB NOT NULL) WITHOUT ROWID;\n" + fileTriggersSql(file);
}

void addField(sqlite3* connection, const std::string& file, const std::string& name, const FieldDefinition& field) {
    sqlite::Statement insert(connection,
                             "INSERT INTO tessaran_dictionary (file, name, kind, attribute, first, length, "
                             "target_file, target_attribute) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    insert.bind(1, file).bind(2, name).bind(3, kindName(field.kind));
    // Each kind stores only its own arguments; the others stay NULL.
    if (field.kind == FieldDefinition::Kind::Characters) {
        insert.bind(5, field.first).bind(6, field.length);
    } else if (field.kind != FieldDefinition::Kind::Key) {
        insert.bind(4, field.attribute);
    }
    if (field.kind == FieldDefinition::Kind::Translation) insert.bind(7, field.targetFile).bind(8, field.targetAttribute);
    insert.run();
}

}  // namespace

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name.size() > 64) return false;
    for (const char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

void create(sqlite3* connection) {
    sqlite::execute(connection, kCatalogueTables);
    {
        sqlite::Statement meta(connection, "INSERT INTO tessaran_meta (name, value) VALUES (?1, ?2)");
        meta.bind(1, "format").bind(2, kFormatName).run();
        meta.bind(1, "version").bind(2, kFormatVersion).run();
    }
    const Catalogue catalogue = applicationCatalogue();
    sqlite::Statement addFile(connection, "INSERT INTO tessaran_files (name) VALUES (?1)");
    for (const std::string& file : catalogue.files) {
        addFile.bind(1, file).run();
        sqlite::execute(connection, fileTableSql(file).c_str());
    }
    for (const auto& [file, fields] : catalogue.dictionary)
        for (const auto& [name, field] : fields) addField(connection, file, name, field);
    sqlite::Statement addIndexed(connection, "INSERT INTO tessaran_indexed (file, attribute) VALUES (?1, ?2)");
    for (const auto& [file, attributes] : catalogue.indexed)
        for (const int attribute : attributes) addIndexed.bind(1, file).bind(2, attribute).run();
    shapeIndexTables(connection, catalogue.indexed);
}

std::string createIndexTableSql(std::string_view file, int attribute) {
    // Ordered by value then key: the keys of a value, or of the values of a prefix, are one
    // range, and a value greater than all others (a new invoice number) goes at the end.
    return "CREATE TABLE IF NOT EXISTS " + sqlite::quotedIdentifier(indexTableName(file, attribute)) +
           " (value TEXT NOT NULL, key TEXT NOT NULL, PRIMARY KEY (value, key)) WITHOUT ROWID";
}

std::map<std::string, std::set<int>> indexedRows(sqlite3* connection) {
    std::map<std::string, std::set<int>> indexed;
    sqlite::Statement rows(connection, "SELECT file, attribute FROM tessaran_indexed");
    while (rows.step()) {
        const long long attribute = rows.integer(1);
        if (isPlainFileName(rows.text(0)) && attribute > 0 && attribute <= kMaxAttributeNumber)
            indexed[std::string(rows.text(0))].insert(static_cast<int>(attribute));
    }
    return indexed;
}

namespace {

// The names of the tables of the layout by table per attribute that the database holds.
std::set<std::string> indexTables(sqlite3* connection) {
    std::set<std::string> names;
    sqlite::Statement tables(connection,
                             "SELECT name FROM sqlite_schema WHERE type = 'table' AND substr(name, 1, ?1) = ?2");
    const std::string prefix(kIndexTablePrefix);
    tables.bind(1, static_cast<long long>(prefix.size())).bind(2, prefix);
    while (tables.step()) names.emplace(tables.text(0));
    return names;
}

}  // namespace

void shapeIndexTables(sqlite3* connection, const std::map<std::string, std::set<int>>& indexed) {
    std::set<std::string> unlisted = indexTables(connection);
    for (const auto& [file, attributes] : indexed) {
        for (const int attribute : attributes) {
            sqlite::execute(connection, createIndexTableSql(file, attribute).c_str());
            unlisted.erase(indexTableName(file, attribute));
        }
    }
    for (const std::string& table : unlisted)
        sqlite::execute(connection, ("DROP TABLE " + sqlite::quotedIdentifier(table)).c_str());
}

bool isOurs(sqlite3* connection) {
    try {
        sqlite::Statement format(connection, "SELECT value FROM tessaran_meta WHERE name = 'format'");
        return format.step() && format.text(0) == kFormatName;
    } catch (const DatabaseError& error) {
        // A database without our catalogue; a busy or unusable one is reported as what it is.
        if (error.code() != error_code::kStorage) throw;
        return false;
    }
}

namespace {

std::string formatVersion(sqlite3* connection) {
    sqlite::Statement version(connection, "SELECT value FROM tessaran_meta WHERE name = 'version'");
    return version.step() ? std::string(version.text(0)) : std::string();
}

// Brings a database of version 1 or 2 to the layout of version 3, inside the caller's transaction.
void upgradeNotes(sqlite3* connection) {
    if (!notesKeepRecords(connection)) {
        // The keys noted so far do not say what the index knew of them: their entries go now,
        // while the index by key still finds them. Selects keep looking at those keys directly
        // until the application writes them, and then has nothing of theirs left to drop.
        sqlite::execute(connection,
                        "DELETE FROM tessaran_index WHERE (file, key) IN (SELECT file, key FROM tessaran_changed);"
                        "ALTER TABLE tessaran_changed ADD COLUMN indexed BLOB");
    }
    sqlite::execute(connection, "DROP INDEX IF EXISTS tessaran_index_by_key");
    std::vector<std::string> files;
    {
        sqlite::Statement names(connection, "SELECT name FROM tessaran_files");
        while (names.step())
            if (isPlainFileName(names.text(0))) files.emplace_back(names.text(0));
    }
    for (const std::string& file : files)
        sqlite::execute(connection, (dropFileTriggersSql(file) + fileTriggersSql(file)).c_str());
    sqlite::execute(connection, "DROP TABLE IF EXISTS tessaran_own_writes");
}

// Moves the entries of the shared index table into a table per indexed attribute, in their
// order, and drops the shared table (with the entries of attributes no longer listed).
void moveIndexIntoTables(sqlite3* connection) {
    const std::map<std::string, std::set<int>> indexed = indexedRows(connection);
    shapeIndexTables(connection, indexed);
    for (const auto& [file, attributes] : indexed) {
        for (const int attribute : attributes) {
            const std::string table = sqlite::quotedIdentifier(indexTableName(file, attribute));
            sqlite::Statement move(connection, "INSERT INTO " + table +
                                                   " (value, key) SELECT value, key FROM tessaran_index "
                                                   "WHERE file = ?1 AND attribute = ?2 ORDER BY value, key");
            move.bind(1, file).bind(2, attribute).run();
        }
    }
    // Emptied first: a table dropped whole has each of its pages kept in the statement's
    // journal (in memory here, some 40 MB for 100,000 flows); emptied, they are let go at once.
    sqlite::execute(connection, "DELETE FROM tessaran_index; DROP TABLE tessaran_index");
}

// Brings a database of version 1, 2 or 3 to the current version, inside the caller's transaction.
void upgrade(sqlite3* connection, const std::string& version) {
    if (version != "3") upgradeNotes(connection);
    moveIndexIntoTables(connection);
    const std::string setVersion = std::string("UPDATE tessaran_meta SET value = '") + kFormatVersion +
                                   "' WHERE name = 'version'";
    sqlite::execute(connection, setVersion.c_str());
}

bool olderLayout(const std::string& version) { return version == "1" || version == "2" || version == "3"; }

}  // namespace

IndexLayout indexLayout(sqlite3* connection) {
    return olderLayout(formatVersion(connection)) ? IndexLayout::SharedTable : IndexLayout::TablePerAttribute;
}

bool notesKeepRecords(sqlite3* connection) {
    sqlite::Statement columns(connection, "SELECT 1 FROM pragma_table_info('tessaran_changed') WHERE name = 'indexed'");
    return columns.step();
}

void requireKnownFormat(sqlite3* connection, const std::string& shownPath) {
    const std::string version = formatVersion(connection);
    if (newerFormat(version, kFormatVersion))
        throw DatabaseError(error_code::kNoDatabase, "\"" + shownPath + "\" is of a newer Tessaran format (version " +
                                                         version + ") than this program knows (version " +
                                                         kFormatVersion + "): open it with an up-to-date Tessaran");
}

void migrate(sqlite3* connection, int busyTimeoutMs) {
    const std::string version = formatVersion(connection);
    if (!olderLayout(version)) return;  // current
    if (sqlite3_db_readonly(connection, "main") == 1) return;  // nothing can be written through it anyway
    // A run writing the database now would hold the opening for the whole busy timeout: the
    // upgrade waits a moment only, and the connection gets its own timeout back afterwards.
    constexpr int kUpgradeWaitMs = 250;
    struct Wait {
        sqlite3* connection;
        int restored;
        ~Wait() { sqlite3_busy_timeout(connection, restored); }
    } wait{connection, busyTimeoutMs};
    sqlite3_busy_timeout(connection, std::min(kUpgradeWaitMs, busyTimeoutMs));
    try {
        sqlite::execute(connection, "BEGIN IMMEDIATE");
    } catch (const DatabaseError& error) {
        // Another process writes to it: the database works in its own layout, and is brought
        // up to date at a later opening.
        if (error.code() == error_code::kBusy) return;
        throw;
    }
    try {
        upgrade(connection, version);
        sqlite::execute(connection, "COMMIT");
    } catch (...) {
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

Catalogue load(sqlite3* connection) {
    Catalogue catalogue;
    sqlite::Statement files(connection, "SELECT name FROM tessaran_files");
    while (files.step()) {
        const std::string name(files.text(0));
        if (isPlainFileName(name)) catalogue.files.insert(name);
    }
    sqlite::Statement fields(connection,
                             "SELECT file, name, kind, attribute, first, length, target_file, target_attribute "
                             "FROM tessaran_dictionary");
    while (fields.step()) {
        FieldDefinition field;
        field.kind = kindNamed(fields.text(2));
        field.attribute = static_cast<int>(fields.integer(3));
        field.first = fields.isNull(4) ? 1 : static_cast<int>(fields.integer(4));
        field.length = static_cast<int>(fields.integer(5));
        field.targetFile = std::string(fields.text(6));
        field.targetAttribute = static_cast<int>(fields.integer(7));
        catalogue.dictionary[std::string(fields.text(0))][std::string(fields.text(1))] = field;
    }
    catalogue.indexed = indexedRows(connection);
    if (indexLayout(connection) == IndexLayout::TablePerAttribute) {
        const std::set<std::string> tables = indexTables(connection);
        for (auto& [file, attributes] : catalogue.indexed)
            std::erase_if(attributes,
                          [&](int attribute) { return tables.count(indexTableName(file, attribute)) == 0; });
        std::erase_if(catalogue.indexed, [](const auto& file) { return file.second.empty(); });
    }
    return catalogue;
}

}  // namespace tessaran::db::schema
