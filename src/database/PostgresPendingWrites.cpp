#include "PostgresPendingWrites.h"

namespace tessaran::db::postgres {

PendingWrites::FileWrites& PendingWrites::of(const std::string& file) { return files_.try_emplace(file).first->second; }

bool PendingWrites::holds(const std::string& file, std::string_view key) const {
    const auto found = files_.find(file);
    return found != files_.end() && found->second.keys.count(std::string(key)) != 0;
}

void PendingWrites::store(const std::string& file, std::string_view key, std::string_view record) {
    FileWrites& writes = of(file);
    writes.keys.emplace(key);
    writes.storedKeys.append(key);
    writes.storedRecords.append(record);
    ++rows_;
}

void PendingWrites::clearEntries(const std::string& file, std::string_view key) {
    of(file).clearedKeys.append(key);
    ++rows_;
}

void PendingWrites::dropEntry(const std::string& file, int attribute, std::string_view value, std::string_view key) {
    of(file).dropped.append(attribute, value, key);
    ++rows_;
}

void PendingWrites::addEntry(const std::string& file, int attribute, std::string_view value, std::string_view key) {
    of(file).added.append(attribute, value, key);
    ++rows_;
}

void PendingWrites::forgetNote(const std::string& file, std::string_view key) {
    of(file).forgottenKeys.append(key);
    ++rows_;
}

void PendingWrites::handOver(std::vector<Step>& steps) {
    for (auto& [file, writes] : files_) {
        if (!writes.clearedKeys.empty())
            steps.push_back({"DELETE FROM tessaran_index WHERE file = $1 AND key = ANY($2::bytea[])",
                             std::move(Parameters().text(file).array(writes.clearedKeys))});
        if (!writes.storedKeys.empty())
            steps.push_back({"INSERT INTO \"" + file +
                                 "\" (key, record) SELECT * FROM unnest($1::bytea[], $2::bytea[]) "
                                 "ON CONFLICT (key) DO UPDATE SET record = excluded.record",
                             std::move(Parameters().array(writes.storedKeys).array(writes.storedRecords))});
        if (!writes.dropped.keys.empty())
            steps.push_back(
                {"DELETE FROM tessaran_index i USING unnest($2::integer[], $3::bytea[], $4::bytea[]) "
                 "AS d(attribute, value, key) WHERE i.file = $1 AND i.attribute = d.attribute "
                 "AND i.value = d.value AND i.key = d.key",
                 std::move(Parameters()
                               .text(file)
                               .array(writes.dropped.attributes)
                               .array(writes.dropped.values)
                               .array(writes.dropped.keys))});
        if (!writes.added.keys.empty())
            steps.push_back(
                {"INSERT INTO tessaran_index (file, attribute, value, key) SELECT $1, d.attribute, d.value, d.key "
                 "FROM unnest($2::integer[], $3::bytea[], $4::bytea[]) AS d(attribute, value, key) "
                 "ON CONFLICT DO NOTHING",
                 std::move(Parameters()
                               .text(file)
                               .array(writes.added.attributes)
                               .array(writes.added.values)
                               .array(writes.added.keys))});
        if (!writes.forgottenKeys.empty())
            steps.push_back({"DELETE FROM tessaran_changed WHERE file = $1 AND key = ANY($2::bytea[])",
                             std::move(Parameters().text(file).array(writes.forgottenKeys))});
    }
    discard();
}

void PendingWrites::discard() {
    files_.clear();
    rows_ = 0;
}

}  // namespace tessaran::db::postgres
