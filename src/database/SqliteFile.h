#pragma once
// A data file of a SqliteDatabase. It keeps its database alive, so the application may
// release its references in any order.

#include <memory>
#include <string>

#include "Database.h"

namespace tessaran::db {

class RecordStore;
class SqliteDatabase;

class SqliteFile : public File {
public:
    SqliteFile(std::shared_ptr<SqliteDatabase> database, RecordStore& store, std::string name);

    const std::string& name() const override { return name_; }
    std::shared_ptr<Record> Read(const std::string& key) override;
    std::shared_ptr<Record> NewRecord(const std::string& key) override;
    void write(const std::string& key, const DynamicArray& contents) override;

private:
    std::shared_ptr<SqliteDatabase> database_;
    RecordStore& store_;
    std::string name_;
};

}  // namespace tessaran::db
