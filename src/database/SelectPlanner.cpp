#include "SelectPlanner.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tessaran::db::select {
namespace {

// The lookups that admit every record satisfying `condition`, or nothing when the key and
// the indexes cannot narrow it: a "#" admits almost anything, and empty values are not indexed.
std::optional<std::vector<Lookup>> lookupsFor(const Condition& condition, const std::set<int>& indexed) {
    const FieldDefinition& field = condition.field.definition;
    const bool onKey = field.kind == FieldDefinition::Kind::Key;
    const bool onIndex = field.kind == FieldDefinition::Kind::Attribute && indexed.count(field.attribute) != 0;
    if (!onKey && !onIndex) return std::nullopt;
    std::vector<Lookup> lookups;
    for (const Alternative& alternative : condition.alternatives) {
        if (!alternative.equal || alternative.text.empty()) return std::nullopt;
        Lookup lookup;
        if (onKey)
            lookup.kind = alternative.prefix ? Lookup::Kind::KeyPrefix : Lookup::Kind::KeyEqual;
        else
            lookup.kind = alternative.prefix ? Lookup::Kind::IndexPrefix : Lookup::Kind::IndexEqual;
        lookup.attribute = field.attribute;
        lookup.value = alternative.text;
        lookups.push_back(std::move(lookup));
    }
    return lookups;
}

// Worst kind among the lookups, then their number: smaller is narrower.
std::pair<int, std::size_t> cost(const std::vector<Lookup>& lookups) {
    int worst = 0;
    for (const Lookup& lookup : lookups) worst = std::max(worst, static_cast<int>(lookup.kind));
    return {worst, lookups.size()};
}

}  // namespace

Plan plan(const Statement& statement, const std::set<int>& indexedAttributes) {
    Plan result;
    if (statement.groups.empty()) return result;
    for (const AndGroup& group : statement.groups) {
        std::optional<std::vector<Lookup>> best;
        for (const Condition& condition : group.conditions) {
            std::optional<std::vector<Lookup>> candidate = lookupsFor(condition, indexedAttributes);
            if (candidate && (!best || cost(*candidate) < cost(*best))) best = std::move(candidate);
        }
        if (!best) return Plan{};  // this group can only be found by looking at every record
        for (Lookup& lookup : *best) result.lookups.push_back(std::move(lookup));
    }
    result.scanAll = false;
    return result;
}

}  // namespace tessaran::db::select
