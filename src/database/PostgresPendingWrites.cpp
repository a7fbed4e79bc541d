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

void PendingWrites::clearEntries(const std::string& file, std::string_view key, const std::set<int>& attributes) {
    FileWrites& writes = of(file);
    writes.clearedKeys.append(key);
    writes.clearedAttributes.insert(attributes.begin(), attributes.end());
    ++rows_;
}

void PendingWrites::append(EntriesByAttribute& entries, int attribute, std::string_view value,
                           std::string_view key) {
    EntryRows& rows = entries[attribute];
    rows.values.append(value);
    rows.keys.append(key);
    ++rows_;
}

void PendingWrites::dropEntry(const std::string& file, int attribute, std::string_view value, std::string_view key) {
    append(of(file).dropped, attribute, value, key);
}

void PendingWrites::addEntry(const std::string& file, int attribute, std::string_view value, std::string_view key) {
    append(of(file).added, attribute, value, key);
}

Step PendingWrites::entriesStep(const std::string& file, EntriesByAttribute& entries, Write write) const {
    std::vector<std::string> statements;
    Parameters parameters;
    int next = 1;
    for (auto& [attribute, rows] : entries) {
        statements.push_back((IndexTable(layout_, file, attribute).*write)(next));
        parameters.array(rows.values).array(rows.keys);
        next += 2;
    }
    return {together(statements), std::move(parameters)};
}

void PendingWrites::forgetNote(const std::string& file, std::string_view key) {
    of(file).forgottenKeys.append(key);
    ++rows_;
}

void PendingWrites::handOver(std::vector<Step>& steps) {
    for (auto& [file, writes] : files_) {
        if (!writes.clearedKeys.empty()) {
            // Every statement takes the same array of keys.
            std::vector<std::string> statements;
            for (const int attribute : writes.clearedAttributes)
                statements.push_back(IndexTable(layout_, file, attribute).dropKeys(1));
            steps.push_back({together(statements), std::move(Parameters().array(writes.clearedKeys))});
        }
        if (!writes.storedKeys.empty())
            steps.push_back({"INSERT INTO \"" + file +
                                 "\" (key, record) SELECT * FROM unnest($1::bytea[], $2::bytea[]) "
                                 "ON CONFLICT (key) DO UPDATE SET record = excluded.record",
                             std::move(Parameters().array(writes.storedKeys).array(writes.storedRecords))});
        if (!writes.dropped.empty()) steps.push_back(entriesStep(file, writes.dropped, &IndexTable::drop));
        if (!writes.added.empty()) steps.push_back(entriesStep(file, writes.added, &IndexTable::insert));
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
