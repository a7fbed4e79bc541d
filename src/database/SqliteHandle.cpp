#include "SqliteHandle.h"

#include <cerrno>

#include "DatabaseError.h"
#include "SqliteErrors.h"

namespace tessaran::db::sqlite {

void fail(sqlite3* connection, int resultCode, std::string_view doing) {
    // SQLite keeps the system error of some failures only (not of a failed commit); errno
    // still holds it then, which is where SQLite's own unix layer reads it too.
    const int lastErrno = errno;
    const int recorded = connection ? sqlite3_system_errno(connection) : 0;
    const char* file = connection ? sqlite3_db_filename(connection, "main") : nullptr;
    throw errorFor({resultCode, recorded != 0 ? recorded : lastErrno, doing, file ? file : "",
                    connection ? sqlite3_errmsg(connection) : sqlite3_errstr(resultCode)});
}

void execute(sqlite3* connection, const char* sql) {
    const int rc = sqlite3_exec(connection, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(connection, rc, sql);
}

Statement::Statement(sqlite3* connection, std::string_view sql) : connection_(connection) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(connection, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    statement_.reset(raw);
    if (rc != SQLITE_OK) fail(connection, rc, "preparing a statement");
}

Statement& Statement::bindText(int index, std::string_view text, sqlite3_destructor_type lifetime) {
    const int rc = sqlite3_bind_text64(statement_.get(), index, text.data(), text.size(), lifetime, SQLITE_UTF8);
    if (rc != SQLITE_OK) fail(connection_, rc, "binding a value");
    return *this;
}

Statement& Statement::bindBytes(int index, std::string_view bytes, sqlite3_destructor_type lifetime) {
    // A zero-length blob must still be a blob, not NULL: give SQLite a valid pointer.
    static constexpr char kNothing = 0;
    const int rc =
        sqlite3_bind_blob64(statement_.get(), index, bytes.empty() ? &kNothing : bytes.data(), bytes.size(), lifetime);
    if (rc != SQLITE_OK) fail(connection_, rc, "binding a value");
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) { return bindText(index, text, SQLITE_TRANSIENT); }

Statement& Statement::bindBlob(int index, std::string_view bytes) { return bindBytes(index, bytes, SQLITE_TRANSIENT); }

Statement& Statement::bindInPlace(int index, std::string_view text) { return bindText(index, text, SQLITE_STATIC); }

Statement& Statement::bindBlobInPlace(int index, std::string_view bytes) {
    return bindBytes(index, bytes, SQLITE_STATIC);
}

Statement& Statement::bind(int index, long long number) {
    const int rc = sqlite3_bind_int64(statement_.get(), index, number);
    if (rc != SQLITE_OK) fail(connection_, rc, "binding a value");
    return *this;
}

Statement& Statement::bindNull(int index) {
    const int rc = sqlite3_bind_null(statement_.get(), index);
    if (rc != SQLITE_OK) fail(connection_, rc, "binding a value");
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(statement_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int lastErrno = errno;  // what fail() reports, whatever the reset does
    sqlite3_reset(statement_.get());
    errno = lastErrno;
    fail(connection_, rc, "running a statement");
}

void Statement::run() {
    StatementUse use(*this);
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(statement_.get());
    sqlite3_clear_bindings(statement_.get());
}

std::string_view Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), column));
    const int size = sqlite3_column_bytes(statement_.get(), column);
    return data ? std::string_view(data, static_cast<std::size_t>(size)) : std::string_view();
}

std::string_view Statement::blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_.get(), column));
    const int size = sqlite3_column_bytes(statement_.get(), column);
    return data ? std::string_view(data, static_cast<std::size_t>(size)) : std::string_view();
}

long long Statement::integer(int column) const { return sqlite3_column_int64(statement_.get(), column); }

bool Statement::isNull(int column) const {
    return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
}

std::string quotedIdentifier(std::string_view name) {
    std::string quoted = "\"";
    quoted += name;
    quoted += '"';
    return quoted;
}

}  // namespace tessaran::db::sqlite
