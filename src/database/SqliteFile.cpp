#include "SqliteFile.h"

#include "RecordStore.h"
#include "SqliteDatabase.h"

namespace tessaran::db {

SqliteFile::SqliteFile(std::shared_ptr<SqliteDatabase> database, RecordStore& store, std::string name)
    : database_(std::move(database)), store_(store), name_(std::move(name)) {}

std::shared_ptr<Record> SqliteFile::Read(const std::string& key) {
    std::optional<std::string> stored = store_.read(name_, key);
    if (!stored)
        throw DatabaseError(error_code::kNotFound, "no record \"" + key + "\" in file " + name_);
    return std::make_shared<Record>(shared_from_this(), key, DynamicArray(*stored));
}

std::shared_ptr<Record> SqliteFile::NewRecord(const std::string& key) {
    return std::make_shared<Record>(shared_from_this(), key);
}

void SqliteFile::write(const std::string& key, const DynamicArray& contents) { store_.write(name_, key, contents); }

}  // namespace tessaran::db
