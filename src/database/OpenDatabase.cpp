#include "OpenDatabase.h"

#include <libpq-fe.h>

#include <filesystem>

#include "PostgresDatabase.h"
#include "SqliteDatabase.h"

namespace tessaran::db {

bool isServerLocation(std::string_view location) {
    if (location.starts_with("postgresql://") || location.starts_with("postgres://")) return true;
    // key=value settings begin with a keyword libpq knows ("service=", "host=", ...); a file
    // whose name merely holds '=' is not taken for them.
    const std::size_t equals = location.find('=');
    if (equals == std::string_view::npos || equals == 0) return false;
    const std::string_view keyword = location.substr(0, location.find_first_of("= ", 0));
    if (keyword.find_first_not_of("abcdefghijklmnopqrstuvwxyz_") != std::string_view::npos) return false;
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(std::string(location).c_str(), &error);
    PQfreemem(error);
    if (!options) return false;
    PQconninfoFree(options);
    return true;
}

std::shared_ptr<MultivalueDatabase> openDatabase(const std::string& location) {
    if (isServerLocation(location)) return PostgresDatabase::open(location);
    return SqliteDatabase::open(location);
}

std::shared_ptr<MultivalueDatabase> createDatabase(const std::string& location) {
    if (isServerLocation(location)) return PostgresDatabase::create(location);
    return SqliteDatabase::create(location);
}

void discardNewDatabase(const std::string& location, std::shared_ptr<MultivalueDatabase> database) {
    if (auto server = std::dynamic_pointer_cast<PostgresDatabase>(database)) {
        server->dropEverything();
        return;
    }
    database.reset();  // closes the file before it goes
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(location + suffix, ignored);
}

}  // namespace tessaran::db
