#include "StoredFile.h"

#include <algorithm>

#include "RecordStorage.h"

namespace tessaran::db {

StoredFile::StoredFile(std::shared_ptr<Database> database, RecordStorage& storage, std::string name)
    : database_(std::move(database)), storage_(storage), name_(std::move(name)) {}

std::shared_ptr<Record> StoredFile::Read(const std::string& key) {
    if (ReadAhead* ahead = readAheadOf(key)) {
        ahead->handedOut = true;
        storage_.handedOut(name_, key, ahead->record);
        return std::make_shared<Record>(shared_from_this(), key, DynamicArray(ahead->record));
    }
    const std::optional<std::string> stored = storage_.read(name_, key);
    if (!stored)
        throw DatabaseError(error_code::kNotFound, "no record \"" + key + "\" in file " + name_);
    return std::make_shared<Record>(shared_from_this(), key, DynamicArray(*stored));
}

std::shared_ptr<Record> StoredFile::NewRecord(const std::string& key) {
    return std::make_shared<Record>(shared_from_this(), key);
}

void StoredFile::write(const std::string& key, const DynamicArray& contents) {
    // Out of the batch before the write, so that a write that fails leaves nothing stale either.
    if (ReadAhead* ahead = readAheadOf(key)) ahead->handedOut = true;
    storage_.write(name_, key, contents);
}

void StoredFile::readAhead(std::span<const std::string> keys) {
    batchSize_ = 0;
    nextGuess_ = 0;
    if (keys.empty()) return;
    wanted_.resize(keys.size());
    std::copy(keys.begin(), keys.end(), wanted_.begin());
    std::sort(wanted_.begin(), wanted_.end());
    wanted_.erase(std::unique(wanted_.begin(), wanted_.end()), wanted_.end());
    // Inside a transaction the batch is what the transaction sees, its own writes included.
    // Outside one, a record handed out is as old as its batch: the moments the caller takes
    // to read its way through it.
    batchInTransaction_ = database_->inTransaction();
    try {
        storage_.readMany(name_, wanted_, [this](std::string_view key, std::string_view record) {
            if (batchSize_ == batch_.size()) batch_.emplace_back();
            ReadAhead& entry = batch_[batchSize_++];
            entry.key.assign(key);
            entry.record.assign(record);
            entry.handedOut = false;
        });
    } catch (const DatabaseError&) {
        // Only a hint: each Read then goes to the storage and meets whatever stopped the batch.
        batchSize_ = 0;
    }
}

StoredFile::ReadAhead* StoredFile::readAheadOf(std::string_view key) {
    if (batchSize_ == 0) return nullptr;
    // A batch read in another transaction, or outside one, may no longer be what the
    // transaction now open sees: it is dropped.
    if (database_->inTransaction() != batchInTransaction_) {
        batchSize_ = 0;
        return nullptr;
    }
    // The walk asks for the keys in the batch's order, and writes back the one it last read:
    // the entry after the last one found, then that one, are tried first.
    for (const std::size_t guess : {nextGuess_, nextGuess_ - 1}) {
        if (guess < batchSize_ && batch_[guess].key == key) {
            nextGuess_ = guess + 1;
            return batch_[guess].handedOut ? nullptr : &batch_[guess];
        }
    }
    const auto end = batch_.begin() + static_cast<std::ptrdiff_t>(batchSize_);
    // Keys compare as bytes, as the storage orders them.
    const auto found = std::lower_bound(batch_.begin(), end, key,
                                        [](const ReadAhead& entry, std::string_view wanted) { return entry.key < wanted; });
    if (found == end || found->key != key) return nullptr;
    nextGuess_ = static_cast<std::size_t>(found - batch_.begin()) + 1;
    return found->handedOut ? nullptr : &*found;
}

}  // namespace tessaran::db
