#pragma once
// What the secondary index holds for a record, whatever the storage: the non-empty values of
// each indexed attribute (absent and empty values are found by scanning), and the entries a
// write must drop and add to go from one version of a record to the next.

#include <set>
#include <string>
#include <vector>

#include "DynamicArray.h"

namespace tessaran::db {

// The non-empty values of one attribute of a record.
std::set<std::string> indexedValues(const DynamicArray& record, int attribute);

struct IndexChange {
    int attribute;
    std::string value;
};

struct IndexChanges {
    std::vector<IndexChange> dropped;
    std::vector<IndexChange> added;
};

// The entries to drop and to add when `before` becomes `after`, for the given attributes.
IndexChanges indexChanges(const std::set<int>& attributes, const DynamicArray& before, const DynamicArray& after);

}  // namespace tessaran::db
