#include "SqliteErrors.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "SqliteHandle.h"

namespace tessaran::db::sqlite {
namespace {

std::string named(std::string_view file) {
    return file.empty() ? std::string("the database") : "the database \"" + std::string(file) + "\"";
}

}  // namespace

std::string readOnlyMessage(std::string_view file) {
    return named(file) + " cannot be written: the file, its folder or its disk is read-only";
}

DatabaseError errorFor(const Failure& failure) {
    const int primary = failure.resultCode & 0xFF;
    // The system error only explains failures that come from the file system.
    const int system = primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN ? failure.systemError : 0;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return DatabaseError(error_code::kBusy, kBusyMessage);
    if (primary == SQLITE_FULL || system == ENOSPC || system == EDQUOT || system == EFBIG)
        return DatabaseError(error_code::kDiskFull,
                             "no room to write " + named(failure.file) +
                                 ": its disk is full, or a quota or file size limit was reached");
    if (primary == SQLITE_READONLY || system == EROFS)
        return DatabaseError(error_code::kReadOnly, readOnlyMessage(failure.file));
    if (primary == SQLITE_PERM || primary == SQLITE_AUTH || system == EACCES || system == EPERM)
        return DatabaseError(error_code::kNoAccess, "no permission to use " + named(failure.file) +
                                                        " (check the rights on the file and on its folder)");
    if (primary == SQLITE_NOTADB)
        return DatabaseError(error_code::kNoDatabase,
                             "\"" + std::string(failure.file) + "\" is not a Tessaran database");
    if (primary == SQLITE_CANTOPEN && system == ENOENT)
        return DatabaseError(error_code::kNoDatabase, "no database at \"" + std::string(failure.file) + "\"");
    std::string message = "storage failure while ";
    message += failure.doing;
    message += ": ";
    message += failure.message;
    if (system != 0) message += std::string(" (") + std::strerror(system) + ")";
    return DatabaseError(error_code::kStorage, message);
}

}  // namespace tessaran::db::sqlite
