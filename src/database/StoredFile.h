#pragma once
// A data file of a database, on whichever storage holds it. It keeps its database alive, so
// the application may release its references in any order.

#include <memory>
#include <string>

#include "Database.h"

namespace tessaran::db {

class RecordStorage;

class StoredFile : public File {
public:
    StoredFile(std::shared_ptr<Database> database, RecordStorage& storage, std::string name);

    const std::string& name() const override { return name_; }
    std::shared_ptr<Record> Read(const std::string& key) override;
    std::shared_ptr<Record> NewRecord(const std::string& key) override;
    void write(const std::string& key, const DynamicArray& contents) override;

private:
    std::shared_ptr<Database> database_;
    RecordStorage& storage_;
    std::string name_;
};

}  // namespace tessaran::db
