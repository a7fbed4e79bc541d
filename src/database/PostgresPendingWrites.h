#pragma once
// The record writes of a transaction not yet sent to the server, gathered per file into one
// statement of each kind, whose rows are the elements of array parameters: a batch of writes
// then costs five statements per file, however many records it holds.
//
// Sent in this order, the statements do what the writes one after the other would, as long as
// a key is written at most once in a batch (the caller sends the batch before writing a key
// again): all entries of the records another tool wrote are cleared, the records stored, the
// entries that changed dropped and added, and the other tool's notes forgotten. Each row names
// its key, so the rows of different keys never touch the same entry, record or note. The index
// entries of a batch are grouped by attribute: with a table per attribute, one statement
// writes the tables of all attributes the batch touches.

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "PostgresArray.h"
#include "PostgresConnection.h"
#include "PostgresIndexTable.h"

namespace tessaran::db::postgres {

class PendingWrites : public HeldWrites {
public:
    // The index entries go where `layout` keeps them; see setLayout.
    explicit PendingWrites(IndexLayout layout) : layout_(layout) {}
    // Only between batches: the layout of the held entries is the one they are sent in.
    void setLayout(IndexLayout layout) { layout_ = layout; }

    // True when the batch already writes this key.
    bool holds(const std::string& file, std::string_view key) const;
    // The record of `key` as it is to be stored.
    void store(const std::string& file, std::string_view key, std::string_view record);
    // Every index entry of `key` (its file's indexed attributes being `attributes`), before
    // the entries of its new record are added.
    void clearEntries(const std::string& file, std::string_view key, const std::set<int>& attributes);
    void dropEntry(const std::string& file, int attribute, std::string_view value, std::string_view key);
    void addEntry(const std::string& file, int attribute, std::string_view value, std::string_view key);
    // Another tool's note that it wrote `key`.
    void forgetNote(const std::string& file, std::string_view key);
    // The rows gathered since the last batch was sent.
    std::size_t rows() const { return rows_; }

    void handOver(std::vector<Step>& steps) override;
    void discard() override;

private:
    // The index entries of one attribute as two parallel arrays: value, key.
    struct EntryRows {
        ArrayParameter values{ArrayParameter::Element::Bytes};
        ArrayParameter keys{ArrayParameter::Element::Bytes};
    };
    using EntriesByAttribute = std::map<int, EntryRows>;
    struct FileWrites {
        std::unordered_set<std::string> keys;
        ArrayParameter clearedKeys{ArrayParameter::Element::Bytes};
        std::set<int> clearedAttributes;
        ArrayParameter storedKeys{ArrayParameter::Element::Bytes};
        ArrayParameter storedRecords{ArrayParameter::Element::Bytes};
        EntriesByAttribute dropped;
        EntriesByAttribute added;
        ArrayParameter forgottenKeys{ArrayParameter::Element::Bytes};
    };
    FileWrites& of(const std::string& file);
    void append(EntriesByAttribute& entries, int attribute, std::string_view value, std::string_view key);
    // One statement for the entries of every attribute, `write` giving the statement of one
    // attribute's rows from the number of its first parameter.
    using Write = std::string (IndexTable::*)(int) const;
    Step entriesStep(const std::string& file, EntriesByAttribute& entries, Write write) const;

    IndexLayout layout_;
    std::map<std::string, FileWrites, std::less<>> files_;
    std::size_t rows_ = 0;
};

}  // namespace tessaran::db::postgres
