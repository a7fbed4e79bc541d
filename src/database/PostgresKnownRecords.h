#pragma once
// What a write transaction knows of the records it read: their text (none when absent) and
// whether another tool wrote them since the index last saw them. The record a select
// returned is then read and written back without a round trip to the server. Looked up per
// file then by key, without building a string for the lookup.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tessaran::db::postgres {

class KnownRecords {
public:
    struct Known {
        std::optional<std::string> record;
        bool editedOutside = false;
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
