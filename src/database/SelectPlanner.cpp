#include "SelectPlanner.h"

#include <algorithm>
#include <optional>
#include <tuple>
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

// The records admitted (when estimated), then the worst kind among the lookups, then their
// number: smaller is narrower.
std::tuple<std::size_t, int, std::size_t> cost(const std::vector<Lookup>& lookups, const Estimate& estimate) {
    std::size_t admitted = 0;
    int worst = 0;
    for (const Lookup& lookup : lookups) {
        if (estimate) admitted += lookup.kind == Lookup::Kind::KeyEqual ? 1 : estimate(lookup);
        worst = std::max(worst, static_cast<int>(lookup.kind));
    }
    return {admitted, worst, lookups.size()};
}

}  // namespace

Plan plan(const Statement& statement, const std::set<int>& indexedAttributes, const Estimate& estimate) {
    Plan result;
    if (statement.groups.empty()) return result;
    for (const AndGroup& group : statement.groups) {
        std::optional<std::vector<Lookup>> best;
        std::tuple<std::size_t, int, std::size_t> bestCost;
        for (const Condition& condition : group.conditions) {
            std::optional<std::vector<Lookup>> candidate = lookupsFor(condition, indexedAttributes);
            if (!candidate) continue;
            const auto candidateCost = cost(*candidate, estimate);
            if (!best || candidateCost < bestCost) {
                best = std::move(candidate);
                bestCost = candidateCost;
            }
        }
        if (!best) return Plan{};  // this group can only be found by looking at every record
        for (Lookup& lookup : *best) result.lookups.push_back(std::move(lookup));
    }
    result.scanAll = false;
    return result;
}

}  // namespace tessaran::db::select
