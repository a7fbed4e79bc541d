#include "PostgresSchema.h"

#include "ApplicationCatalogue.h"
#include "DatabaseError.h"
#include "FormatVersion.h"
#include "PostgresIndexTable.h"
#include "StorageSchema.h"

namespace tessaran::db::postgres {
namespace {

constexpr const char* kFormatName = "tessaran-multivalue";
// Version 2 keeps in tessaran_changed the record as the index knew it, in place of an index of
// the entries by key, which every entry written had to be added to. Version 3 keeps the index
// entries of each indexed attribute in a table of their own instead of one shared table. See
// upgrade().
constexpr const char* kFormatVersion = "3";

constexpr const char* kCatalogueTables = R"sql(
CREATE TABLE tessaran_meta (
    name  text PRIMARY KEY,
    value text NOT NULL
);
CREATE TABLE tessaran_files (
    name text PRIMARY KEY
);
CREATE TABLE tessaran_dictionary (
    file             text NOT NULL REFERENCES tessaran_files(name),
    name             text NOT NULL,
    kind             text NOT NULL CHECK (kind IN ('key', 'attribute', 'characters', 'translation')),
    attribute        integer,
    first            integer,
    length           integer,
    target_file      text,
    target_attribute integer,
    PRIMARY KEY (file, name)
);
CREATE TABLE tessaran_indexed (
    file      text NOT NULL REFERENCES tessaran_files(name),
    attribute integer NOT NULL CHECK (attribute > 0),
    PRIMARY KEY (file, attribute)
);
CREATE TABLE tessaran_changed (
    file    text NOT NULL,
    key     bytea NOT NULL,
    indexed bytea,
    PRIMARY KEY (file, key)
);
CREATE TABLE tessaran_rights (
    user_name    text NOT NULL,
    function_key text NOT NULL,
    level        integer NOT NULL,
    PRIMARY KEY (user_name, function_key)
);
)sql";

// The function of the triggers that note the keys another tool writes, with the record as the
// index knows it: the one before the first write noted (none for a key that had no record).
// Tessaran drops exactly that record's entries when it next writes the key, then forgets the
// note; until then selects look at the key whatever the index says.
constexpr const char* kNoteChange = R"sql(
CREATE OR REPLACE FUNCTION tessaran_note_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP IN ('UPDATE', 'DELETE') THEN
        EXECUTE format('INSERT INTO %I.tessaran_changed (file, key, indexed) VALUES ($1, $2, $3) '
                       'ON CONFLICT DO NOTHING', TG_TABLE_SCHEMA)
            USING TG_TABLE_NAME, OLD.key, OLD.record;
    END IF;
    IF TG_OP = 'INSERT' OR (TG_OP = 'UPDATE' AND NEW.key <> OLD.key) THEN
        EXECUTE format('INSERT INTO %I.tessaran_changed (file, key, indexed) VALUES ($1, $2, NULL) '
                       'ON CONFLICT DO NOTHING', TG_TABLE_SCHEMA)
            USING TG_TABLE_NAME, NEW.key;
    END IF;
    RETURN NULL;
END
$$;
)sql";


std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// The flows are written once more after they are stored: a print run completes each one it
// invoices. Pages kept 30 % free let the server write that new version of a record beside the
// old one (a "HOT" update) without a new entry in the key's index: at 100,000 flows the
// print's writes of records took about a quarter less of the server's time. The table takes
// about 45 % more room on disk.
constexpr const char* kFlowsFile = "FLUXCOMPTABLES";
constexpr const char* kFlowsStorage = "fillfactor = 70";

// The table of a data file and the trigger that notes the keys another tool writes. The
// name is a plain file name (capitals, digits, underscores), so it can name a table.
std::string fileTableSql(const std::string& file) {
    const std::string storage = file == kFlowsFile ? std::string(" WITH (") + kFlowsStorage + ")" : std::string();
    return "CREATE TABLE " + quoted(file) + " (key bytea PRIMARY KEY, record bytea NOT NULL)" + storage + ";\n" +
           "CREATE TRIGGER " + quoted(file + "_changes") + " AFTER INSERT OR UPDATE OR DELETE ON " + quoted(file) +
           " FOR EACH ROW WHEN (current_setting('" + kApplicationSetting +
           "', true) IS DISTINCT FROM 'on') EXECUTE FUNCTION tessaran_note_change();\n";
}

bool tableExists(Connection& connection, const std::string& name) {
    const Result found = connection.run("SELECT to_regclass(quote_ident($1)) IS NOT NULL", Parameters().text(name));
    return found.value(0, 0) == "t";
}

// The names of the index tables of the layout by table per attribute in the current schema.
std::set<std::string> indexTables(Connection& connection) {
    const Result tables = connection.run(
        "SELECT tablename FROM pg_tables WHERE schemaname = current_schema() AND starts_with(tablename, $1)",
        Parameters().text(std::string(schema::kIndexTablePrefix)));
    std::set<std::string> names;
    for (int row = 0; row < tables.rows(); ++row) names.emplace(tables.value(row, 0));
    return names;
}

// Gives `table` the privileges the other roles have on the table of the file it indexes:
// whoever may read or write a file's records may read or write its index.
void grantAsOnFile(Connection& connection, const std::string& file, const std::string& table) {
    const Result granted = connection.run(
        "SELECT a.privilege_type, CASE WHEN a.grantee = 0 THEN 'PUBLIC' ELSE quote_ident(r.rolname) END, "
        "a.is_grantable FROM pg_class c CROSS JOIN LATERAL aclexplode(c.relacl) a LEFT JOIN pg_roles r "
        "ON r.oid = a.grantee WHERE c.oid = to_regclass(quote_ident($1)) AND a.grantee <> c.relowner",
        Parameters().text(file));
    for (int row = 0; row < granted.rows(); ++row)
        connection.execute("GRANT " + std::string(granted.value(row, 0)) + " ON " + quoted(table) + " TO " +
                           std::string(granted.value(row, 1)) +
                           (granted.value(row, 2) == "t" ? " WITH GRANT OPTION" : ""));
}

std::string formatVersion(Connection& connection) {
    const Result version = connection.run("SELECT value FROM tessaran_meta WHERE name = 'version'");
    return version.rows() == 1 ? std::string(version.value(0, 0)) : std::string();
}

bool sharedIndexVersion(const std::string& version) { return version == "1" || version == "2"; }

// Brings the notes of a database of version 1 to those of version 2, inside the caller's transaction.
void keepIndexedInNotes(Connection& connection) {
    connection.execute("ALTER TABLE tessaran_changed ADD COLUMN indexed bytea");
    // The keys noted so far do not say what the index knew of them: their entries go now,
    // while the index by key still finds them. Selects keep looking at those keys directly
    // until Tessaran writes them, and then has nothing of theirs left to drop.
    connection.execute("DELETE FROM tessaran_index i USING tessaran_changed c WHERE i.file = c.file AND i.key = c.key");
    connection.execute("DROP INDEX IF EXISTS tessaran_index_by_key");
    connection.execute(kNoteChange);
}

// Moves the entries of the shared index table into a table per indexed attribute, in their
// order, and drops the shared table (with the entries of attributes no longer listed).
void moveIndexIntoTables(Connection& connection) {
    for (const auto& [file, attributes] : shapeIndexTables(connection, indexedRows(connection))) {
        for (const int attribute : attributes) {
            connection.run("INSERT INTO " + quoted(schema::indexTableName(file, attribute)) +
                               " (value, key) SELECT value, key FROM tessaran_index WHERE file = $1 "
                               "AND attribute = $2 ORDER BY value, key",
                           Parameters().text(file).number(attribute));
            connection.execute(IndexTable(IndexLayout::TablePerAttribute, file, attribute).analyze());
        }
    }
    connection.execute("DROP TABLE tessaran_index");
}

}  // namespace

std::map<std::string, std::set<int>> indexedRows(Connection& connection) {
    std::map<std::string, std::set<int>> indexed;
    const Result rows = connection.run("SELECT file, attribute FROM tessaran_indexed");
    for (int row = 0; row < rows.rows(); ++row) {
        const std::string file(rows.value(row, 0));
        const long long attribute = rows.integer(row, 1);
        if (schema::isPlainFileName(file) && attribute > 0 && attribute <= kMaxAttributeNumber)
            indexed[file].insert(static_cast<int>(attribute));
    }
    return indexed;
}

std::map<std::string, std::set<int>> shapeIndexTables(Connection& connection,
                                                      const std::map<std::string, std::set<int>>& indexed) {
    std::map<std::string, std::set<int>> tabled;
    std::set<std::string> unlisted = indexTables(connection);
    for (const auto& [file, attributes] : indexed) {
        for (const int attribute : attributes) {
            const std::string table = schema::indexTableName(file, attribute);
            if (!fitsAsTableName(table)) continue;
            tabled[file].insert(attribute);
            // Ordered by value then key: the keys of a value, or of the values of a prefix,
            // are one range, and a value greater than all others (a new invoice number) goes
            // to the rightmost leaf, where the server adds it without a search from the root.
            if (unlisted.erase(table) == 0) {
                connection.execute("CREATE TABLE " + quoted(table) +
                                   " (value bytea NOT NULL, key bytea NOT NULL, PRIMARY KEY (value, key))");
                grantAsOnFile(connection, file, table);
            }
        }
    }
    for (const std::string& table : unlisted) connection.execute("DROP TABLE " + quoted(table));
    return tabled;
}

void create(Connection& connection) {
    const Result encoding = connection.run("SELECT current_setting('server_encoding')");
    if (encoding.value(0, 0) != "UTF8")
        throw DatabaseError(error_code::kNoDatabase,
                            "the database " + connection.shownLocation() + " is encoded in " +
                                std::string(encoding.value(0, 0)) + "; Tessaran needs a UTF8 database "
                                "(createdb -E UTF8 -T template0)");
    const schema::Catalogue catalogue = schema::applicationCatalogue();
    // An index table left there would be taken for the new database's own.
    const bool holdsIndex = !indexTables(connection).empty();
    for (const char* name : {"tessaran_meta", "tessaran_index"}) {
        if (holdsIndex || tableExists(connection, name))
            throw DatabaseError(error_code::kNoDatabase, "the database " + connection.shownLocation() +
                                                             " already holds a Tessaran database; a new one needs "
                                                             "an empty database or schema");
    }
    for (const std::string& file : catalogue.files) {
        if (tableExists(connection, file))
            throw DatabaseError(error_code::kNoDatabase, "the database " + connection.shownLocation() +
                                                             " already has a table named " + file +
                                                             "; a new one needs an empty database or schema");
    }
    connection.execute(kCatalogueTables);
    connection.execute(kNoteChange);
    connection.run("INSERT INTO tessaran_meta (name, value) VALUES ('format', $1), ('version', $2)",
                   Parameters().text(kFormatName).text(kFormatVersion));
    for (const std::string& file : catalogue.files) {
        connection.run("INSERT INTO tessaran_files (name) VALUES ($1)", Parameters().text(file));
        connection.execute(fileTableSql(file));
    }
    for (const auto& [file, fields] : catalogue.dictionary) {
        for (const auto& [name, field] : fields) {
            connection.run("INSERT INTO tessaran_dictionary (file, name, kind, attribute, first, length, "
                           "target_file, target_attribute) VALUES ($1, $2, $3, NULLIF($4, 0), NULLIF($5, 0), "
                           "NULLIF($6, 0), NULLIF($7, ''), NULLIF($8, 0))",
                           Parameters()
                               .text(file)
                               .text(name)
                               .text(schema::kindName(field.kind))
                               .number(field.kind == FieldDefinition::Kind::Characters ? 0 : field.attribute)
                               .number(field.kind == FieldDefinition::Kind::Characters ? field.first : 0)
                               .number(field.kind == FieldDefinition::Kind::Characters ? field.length : 0)
                               .text(field.targetFile)
                               .number(field.targetAttribute));
        }
    }
    for (const auto& [file, attributes] : catalogue.indexed) {
        for (const int attribute : attributes)
            connection.run("INSERT INTO tessaran_indexed (file, attribute) VALUES ($1, $2)",
                           Parameters().text(file).number(attribute));
    }
    shapeIndexTables(connection, catalogue.indexed);
}

Format storedFormat(Connection& connection) {
    const Result column = connection.run(
        "SELECT 1 FROM pg_attribute WHERE attrelid = to_regclass('tessaran_changed') AND attname = 'indexed' "
        "AND NOT attisdropped");
    Format format;
    format.notesKeepIndexed = column.rows() == 1;
    format.index = sharedIndexVersion(formatVersion(connection)) ? IndexLayout::SharedTable
                                                                  : IndexLayout::TablePerAttribute;
    return format;
}

void requireKnownFormat(Connection& connection) {
    const std::string version = formatVersion(connection);
    if (newerFormat(version, kFormatVersion))
        throw DatabaseError(error_code::kNoDatabase, "the database " + connection.shownLocation() +
                                                         " is of a newer Tessaran format (version " + version +
                                                         ") than this program knows (version " + kFormatVersion +
                                                         "): open it with an up-to-date Tessaran");
}

bool upgrade(Connection& connection) {
    const std::string version = formatVersion(connection);
    if (!sharedIndexVersion(version)) return false;
    // Only the owner of the tables may change them: for anyone else this fails at once, and
    // the database works as it is.
    if (version == "1") keepIndexedInNotes(connection);
    moveIndexIntoTables(connection);
    // For the pages written from now on; those already full stay as they are.
    if (tableExists(connection, kFlowsFile))
        connection.execute("ALTER TABLE " + quoted(kFlowsFile) + " SET (" + kFlowsStorage + ")");
    connection.run("UPDATE tessaran_meta SET value = $1 WHERE name = 'version'", Parameters().text(kFormatVersion));
    return true;
}

bool isOurs(Connection& connection) {
    if (!tableExists(connection, "tessaran_meta")) return false;
    const Result format = connection.run("SELECT value FROM tessaran_meta WHERE name = 'format'");
    return format.rows() == 1 && format.value(0, 0) == kFormatName;
}

schema::Catalogue load(Connection& connection) {
    schema::Catalogue catalogue;
    const Result files = connection.run("SELECT name FROM tessaran_files");
    for (int row = 0; row < files.rows(); ++row) {
        const std::string name(files.value(row, 0));
        if (schema::isPlainFileName(name)) catalogue.files.insert(name);
    }
    const Result fields = connection.run(
        "SELECT file, name, kind, coalesce(attribute, 0), first, coalesce(length, 0), coalesce(target_file, ''), "
        "coalesce(target_attribute, 0) FROM tessaran_dictionary");
    for (int row = 0; row < fields.rows(); ++row) {
        FieldDefinition field;
        field.kind = schema::kindNamed(fields.value(row, 2));
        field.attribute = static_cast<int>(fields.integer(row, 3));
        field.first = fields.isNull(row, 4) ? 1 : static_cast<int>(fields.integer(row, 4));
        field.length = static_cast<int>(fields.integer(row, 5));
        field.targetFile = std::string(fields.value(row, 6));
        field.targetAttribute = static_cast<int>(fields.integer(row, 7));
        catalogue.dictionary[std::string(fields.value(row, 0))][std::string(fields.value(row, 1))] = field;
    }
    catalogue.indexed = indexedRows(connection);
    if (storedFormat(connection).index == IndexLayout::TablePerAttribute) {
        // An attribute listed since the last rebuild has no table yet: it is not taken as
        // indexed, and selects on it read the records.
        const std::set<std::string> tables = indexTables(connection);
        for (auto& [file, attributes] : catalogue.indexed)
            std::erase_if(attributes, [&](int attribute) {
                return tables.count(schema::indexTableName(file, attribute)) == 0;
            });
        std::erase_if(catalogue.indexed, [](const auto& file) { return file.second.empty(); });
    }
    return catalogue;
}

}  // namespace tessaran::db::postgres
