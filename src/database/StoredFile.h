#pragma once
// A data file of a database, on whichever storage holds it. It keeps its database alive, so
// the application may release its references in any order.
//
// Told which keys will be read next, it fetches their records in one batch and hands each
// out once, at its Read; a key written through the file in the meantime is read afresh.

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
    void readAhead(std::span<const std::string> keys) override;

private:
    struct ReadAhead {
        std::string key;
        std::string record;
        bool handedOut = false;  // or written since: no longer to be handed out
    };
    // The record of the batch under `key` not handed out yet; nullptr when there is none.
    ReadAhead* readAheadOf(std::string_view key);

    std::shared_ptr<Database> database_;
    RecordStorage& storage_;
    std::string name_;
    // The batch, in key order: the first batchSize_ entries (the strings of the others are
    // kept for the next batch to reuse), and whether it was read inside a transaction.
    std::vector<std::string> wanted_;
    std::vector<ReadAhead> batch_;
    std::size_t batchSize_ = 0;
    std::size_t nextGuess_ = 0;  // the entry after the last one found
    bool batchInTransaction_ = false;
};

}  // namespace tessaran::db
