#pragma once
// Turns a parsed condition into the reads that can narrow it: for each OR group, the one
// condition that the key or a secondary index answers best. The records those reads admit
// are then checked against the whole condition, so the plan only has to admit a superset.
// When some group has no such condition every record must be looked at.

#include <set>
#include <string>
#include <vector>

#include "SelectTree.h"

namespace tessaran::db::select {

struct Lookup {
    enum class Kind { KeyEqual, IndexEqual, KeyPrefix, IndexPrefix };  // best first
    Kind kind = Kind::KeyEqual;
    int attribute = 0;  // for the index kinds
    std::string value;  // the key, the key prefix, the value or the value prefix
};

struct Plan {
    bool scanAll = true;
    std::vector<Lookup> lookups;  // when not scanAll: their union admits every match
};

Plan plan(const Statement& statement, const std::set<int>& indexedAttributes);

}  // namespace tessaran::db::select
