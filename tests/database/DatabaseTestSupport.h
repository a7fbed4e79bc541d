#pragma once
// Helpers for the database tests: a select request in its string form, the keys of a result
// list, the code of the error an action raises; and the scratch directory and datasets.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "database/DatabaseError.h"
#include "database/DynamicArray.h"
#include "support/Files.h"

namespace tessaran::db::testing {

using tessaran::testing::TempDir;
using tessaran::testing::testData;

// The code of the database error `action` raises; 0 when it raises none.
inline std::uint32_t codeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& error) {
        return error.code();
    }
    return 0;
}

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
