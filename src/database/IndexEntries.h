#pragma once
// What the secondary index holds for a record, whatever the storage: the non-empty values of
// each indexed attribute (absent and empty values are found by scanning), and the entries a
// write must drop and add to go from one version of a record to the next.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "DynamicArray.h"

namespace tessaran::db {

struct IndexChange {
    int attribute;
    std::string value;
};

struct IndexChanges {
    std::vector<IndexChange> dropped;
    std::vector<IndexChange> added;
};

// The entries to drop and to add when `before` becomes `after`, for the given attributes;
// `before` may be given as its stored text, which is then read without building its array.
IndexChanges indexChanges(const std::set<int>& attributes, std::string_view before, const DynamicArray& after);
IndexChanges indexChanges(const std::set<int>& attributes, const DynamicArray& before, const DynamicArray& after);

}  // namespace tessaran::db
