#pragma once
// Turns a parsed condition into the reads that can narrow it: for each OR group, the one
// condition that the key or a secondary index answers with the fewest records. The records those reads admit
// are then checked against the whole condition, so the plan only has to admit a superset.
// When some group has no such condition every record must be looked at.

#include <cstddef>
#include <functional>
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

// How many records a lookup admits, as far as the storage can tell cheaply: it may stop
// counting at `bound` (a way that admits that many has lost already) or at a bound of its own.
using Estimate = std::function<std::size_t(const Lookup& lookup, std::size_t bound)>;

// Without an estimate a group is narrowed by the best kind of lookup (key before index, equal
// before prefix); with one, by the lookups that admit the fewest records, so that a key range
// of one association's sector wins over a month's worth of an index. The key's ways are
// counted first, and each later way only as far as the best so far: a month's worth of an
// index is not counted through once a key range of a few records is known.
Plan plan(const Statement& statement, const std::set<int>& indexedAttributes, const Estimate& estimate = {});

}  // namespace tessaran::db::select
