#pragma once
// The record writes of a transaction not yet sent to the server, gathered per file into one
// statement of each kind, whose rows are the elements of array parameters: a batch of writes
// then costs five statements per file, however many records it holds.
//
// Sent in this order, the statements do what the writes one after the other would, as long as
// a key is written at most once in a batch (the caller sends the batch before writing a key
// again): all entries of the records another tool wrote are cleared, the records stored, the
// entries that changed dropped and added, and the other tool's notes forgotten. Each row names
// its key, so the rows of different keys never touch the same entry, record or note.

#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "PostgresArray.h"
#include "PostgresConnection.h"

namespace tessaran::db::postgres {

class PendingWrites : public HeldWrites {
public:
    // True when the batch already writes this key.
    bool holds(const std::string& file, std::string_view key) const;
    // The record of `key` as it is to be stored.
    void store(const std::string& file, std::string_view key, std::string_view record);
    // Every index entry of `key`, before the entries of its new record are added.
    void clearEntries(const std::string& file, std::string_view key);
    void dropEntry(const std::string& file, int attribute, std::string_view value, std::string_view key);
    void addEntry(const std::string& file, int attribute, std::string_view value, std::string_view key);
    // Another tool's note that it wrote `key`.
    void forgetNote(const std::string& file, std::string_view key);
    // The rows gathered since the last batch was sent.
    std::size_t rows() const { return rows_; }

    void handOver(std::vector<Step>& steps) override;
    void discard() override;

private:
    // Index entries as three parallel arrays: attribute, value, key.
    struct EntryRows {
        ArrayParameter attributes{ArrayParameter::Element::Integer};
        ArrayParameter values{ArrayParameter::Element::Bytes};
        ArrayParameter keys{ArrayParameter::Element::Bytes};
        void append(int attribute, std::string_view value, std::string_view key) {
            attributes.append(attribute);
            values.append(value);
            keys.append(key);
        }
    };
    struct FileWrites {
        std::unordered_set<std::string> keys;
        ArrayParameter clearedKeys{ArrayParameter::Element::Bytes};
        ArrayParameter storedKeys{ArrayParameter::Element::Bytes};
        ArrayParameter storedRecords{ArrayParameter::Element::Bytes};
        EntryRows dropped;
        EntryRows added;
        ArrayParameter forgottenKeys{ArrayParameter::Element::Bytes};
    };
    FileWrites& of(const std::string& file);

    std::map<std::string, FileWrites, std::less<>> files_;
    std::size_t rows_ = 0;
};

}  // namespace tessaran::db::postgres
