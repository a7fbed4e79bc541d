#include "MultivalueDatabase.h"

#include "RecordStorage.h"
#include "SelectRunner.h"
#include "StoredFile.h"

namespace tessaran::db {

std::shared_ptr<File> MultivalueDatabase::OpenFile(const std::string& name) {
    storage().requireFile(name);
    return std::make_shared<StoredFile>(shared_from_this(), storage(), name);
}

DynamicArray MultivalueDatabase::Select(const std::string& request, const std::string& /*option*/) {
    return select::run(storage(), request);
}

std::optional<std::string> MultivalueDatabase::highestNumber(const std::string& file, int attribute, int digits) {
    return storage().highestNumber(file, attribute, digits);
}

std::vector<std::string> MultivalueDatabase::fileNames() const {
    const auto& files = storage().catalogue().files;
    return {files.begin(), files.end()};
}

std::vector<std::pair<std::string, DynamicArray>> MultivalueDatabase::records(const std::string& fileName) const {
    std::vector<std::pair<std::string, DynamicArray>> result;
    storage().scan(fileName, [&](std::string_view key, std::string_view record) {
        result.emplace_back(std::string(key), DynamicArray(record));
    });
    return result;
}

void MultivalueDatabase::scan(const std::string& fileName, const RecordVisitor& visit) const {
    storage().scan(fileName, visit);
}

void MultivalueDatabase::readConsistently(const std::function<void()>& reads) const {
    storage().readConsistently(reads);
}

void MultivalueDatabase::atomically(const std::function<void()>& change) { storage().atomically(change); }

void MultivalueDatabase::rebuildIndexes() { storage().rebuildIndexes(); }

void MultivalueDatabase::failWriteAfter(int count) { storage().failWriteAfter(count); }

}  // namespace tessaran::db
