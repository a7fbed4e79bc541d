#include "StoredFile.h"

#include "RecordStorage.h"

namespace tessaran::db {

StoredFile::StoredFile(std::shared_ptr<Database> database, RecordStorage& storage, std::string name)
    : database_(std::move(database)), storage_(storage), name_(std::move(name)) {}

std::shared_ptr<Record> StoredFile::Read(const std::string& key) {
    std::optional<std::string> stored = storage_.read(name_, key);
    if (!stored)
        throw DatabaseError(error_code::kNotFound, "no record \"" + key + "\" in file " + name_);
    return std::make_shared<Record>(shared_from_this(), key, DynamicArray(*stored));
}

std::shared_ptr<Record> StoredFile::NewRecord(const std::string& key) {
    return std::make_shared<Record>(shared_from_this(), key);
}

void StoredFile::write(const std::string& key, const DynamicArray& contents) { storage_.write(name_, key, contents); }

}  // namespace tessaran::db
