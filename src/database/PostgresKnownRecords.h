#pragma once
// What a write transaction knows of the records it read: their text (none when absent),
// whether another tool wrote them since the index last saw them, and then the record the
// index knows. The record a select returned is then read and written back without a round
// trip to the server. Looked up per file then by key, without building a string for the lookup.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tessaran::db::postgres {

class KnownRecords {
public:
    // What the index holds for a record another tool wrote since the index last saw it.
    struct Noted {
        // The record whose entries the index holds: none when it holds none, or when the notes
        // do not keep it (the entries are then cleared by key).
        std::optional<std::string> indexed;
    };
    struct Known {
        std::optional<std::string> record;
        std::unique_ptr<Noted> editedOutside;  // none when no other tool wrote it
    };

    Known* find(const std::string& file, std::string_view key) {
        const auto records = files_.find(file);
        if (records == files_.end()) return nullptr;
        const auto found = records->second.find(key);
        return found == records->second.end() ? nullptr : &found->second;
    }
    Known& keep(const std::string& file, std::string_view key, Known known) {
        Known& kept = files_[file][std::string(key)];
        kept = std::move(known);
        return kept;
    }
    void clear() { files_.clear(); }

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept { return std::hash<std::string_view>{}(key); }
    };
    using Records = std::unordered_map<std::string, Known, KeyHash, std::equal_to<>>;
    std::map<std::string, Records, std::less<>> files_;
};

}  // namespace tessaran::db::postgres
