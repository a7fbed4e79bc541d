#pragma once
// Helpers for the database tests: a scratch directory removed afterwards, a select request
// in its string form, and the keys of a result list.

#include <atomic>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "database/DynamicArray.h"

namespace tessaran::db::testing {

class ScratchDirectory {
public:
    ScratchDirectory() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tessaran-db-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string request(const std::string& statement, const std::string& file, const std::string& attributes = "0") {
    DynamicArray array;
    array.set(1, statement);
    array.set(2, file);
    array.set(3, attributes);
    return array.str();
}

// Value 1 of every attribute of a result list.
inline std::vector<std::string> firstValues(const DynamicArray& result) {
    std::vector<std::string> values;
    for (int i = 1; i <= result.DCount(); ++i) values.push_back(result.get(i, 1));
    return values;
}

}  // namespace tessaran::db::testing
