#include "PendingIndexEntries.h"

namespace tessaran::db {

void PendingIndexEntries::add(IndexTable& table, std::string_view value, std::string_view key) {
    Batch* batch = nullptr;
    for (Batch& each : batches_)
        if (each.table == &table) batch = &each;
    if (batch == nullptr) batch = &batches_.emplace_back(Batch{&table, {}, 0});
    if (batch->used == batch->rows.size()) batch->rows.emplace_back();
    IndexTable::Row& row = batch->rows[batch->used++];
    row.value.assign(value);
    row.key.assign(key);
    ++held_;
    if (batch->used >= IndexTable::kRowsPerStatement) write(*batch);
}

void PendingIndexEntries::write(Batch& batch) {
    struct Clear {  // gone whatever happens
        PendingIndexEntries& entries;
        Batch& batch;
        ~Clear() {
            entries.held_ -= batch.used;
            batch.used = 0;
        }
    } clear{*this, batch};
    batch.table->insert(batch.rows, batch.used);
}

void PendingIndexEntries::flush() {
    if (held_ == 0) return;
    struct Clear {  // all gone whatever happens
        PendingIndexEntries& entries;
        ~Clear() { entries.discard(); }
    } clear{*this};
    for (Batch& batch : batches_)
        if (batch.used != 0) write(batch);
}

void PendingIndexEntries::discard() {
    for (Batch& batch : batches_) batch.used = 0;
    held_ = 0;
}

}  // namespace tessaran::db
