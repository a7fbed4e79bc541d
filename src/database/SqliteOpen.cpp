#include "SqliteOpen.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "DatabaseError.h"
#include "SqliteErrors.h"

namespace tessaran::db::sqlite {
namespace {

namespace fs = std::filesystem;

bool exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

// Whether this process may write `path` (with its effective identity, as open() checks).
bool mayWrite(const std::string& path, int more = 0) {
    return faccessat(AT_FDCWD, path.c_str(), W_OK | more, AT_EACCESS) == 0;
}

enum class Access { ReadWrite, ReadShared, ReadImmutable };

// How to open a database: read-write when this process can write it and create or use its
// write-ahead log and shared memory. Otherwise read-only: through the shared memory of the
// connections that have it open when there is one, else as a file that does not change
// (SQLite then creates nothing beside it), which needs a log with no changes left in it.
Access accessFor(const std::string& path) {
    const std::string wal = path + "-wal";
    const std::string shm = path + "-shm";
    const bool companions = exists(wal) && exists(shm);
    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    const bool writable =
        mayWrite(path) && (companions ? mayWrite(wal) && mayWrite(shm) : mayWrite(folder, X_OK));
    if (writable) return Access::ReadWrite;
    if (companions) return Access::ReadShared;
    std::error_code ignored;
    if (exists(wal) && fs::file_size(wal, ignored) > 0 && !ignored)
        throw DatabaseError(error_code::kReadOnly,
                            readOnlyMessage(path) + ", and its write-ahead log \"" + wal +
                                "\" holds changes not yet written into it: open it once with write access");
    return Access::ReadImmutable;
}

// A URI naming the file, for the read-only parameters.
std::string fileUri(const std::string& path, const char* parameters) {
    std::string uri = "file:";
    for (const char c : fs::absolute(path).string()) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            uri += c;
            continue;
        }
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
        uri += escaped;
    }
    return uri + "?" + parameters;
}

// SQLite counts every allocation it makes for its memory statistics, under a global mutex;
// nothing here reads them. Only possible before SQLite first starts in the process: later
// the call is refused and the counting simply goes on.
void withoutMemoryStatistics() {
    static std::once_flag once;
    std::call_once(once, [] { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); });
}

ConnectionHandle connect(const std::string& path, const std::string& target, int flags, int busyMs) {
    withoutMemoryStatistics();
    sqlite3* raw = nullptr;
    // A connection serves one thread at a time (the one that runs the control), so SQLite need
    // not take its connection mutex on every call: a run makes millions of them.
    const int rc = sqlite3_open_v2(target.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    ConnectionHandle connection(raw);  // closed whatever happens next
    if (rc != SQLITE_OK)
        throw errorFor({rc, raw ? sqlite3_system_errno(raw) : 0, "opening the database", path,
                        raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)});
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, busyMs);
    return connection;
}

}  // namespace

ConnectionHandle openExisting(const std::string& path, int busyMs) {
    std::error_code error;
    if (!fs::exists(path, error) && !error)
        throw DatabaseError(error_code::kNoDatabase, "no database at \"" + path + "\"");
    ConnectionHandle connection;
    switch (accessFor(path)) {
    case Access::ReadWrite:
        connection = connect(path, path, SQLITE_OPEN_READWRITE, busyMs);
        break;
    case Access::ReadShared:
        connection = connect(path, fileUri(path, "mode=ro"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, busyMs);
        break;
    case Access::ReadImmutable:
        connection = connect(path, fileUri(path, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, busyMs);
        break;
    }
    // SQLite reads the file only when asked to: read its schema now.
    const int rc = sqlite3_exec(connection.get(), "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw errorFor({rc, sqlite3_system_errno(connection.get()), "opening the database", path,
                        sqlite3_errmsg(connection.get())});
    return connection;
}

ConnectionHandle openNew(const std::string& path, int busyMs) {
    return connect(path, path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, busyMs);
}

}  // namespace tessaran::db::sqlite
