#include "SelectPlanner.h"

#include <algorithm>
#include <limits>
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

// The records admitted (when estimated, counted no further than `bound`), then the worst kind
// among the lookups, then their number: smaller is narrower.
std::tuple<std::size_t, int, std::size_t> cost(const std::vector<Lookup>& lookups, const Estimate& estimate,
                                               std::size_t bound) {
    std::size_t admitted = 0;
    int worst = 0;
    for (const Lookup& lookup : lookups) {
        worst = std::max(worst, static_cast<int>(lookup.kind));
        if (!estimate || admitted >= bound) continue;
        admitted += lookup.kind == Lookup::Kind::KeyEqual ? 1 : estimate(lookup, bound - admitted);
    }
    return {admitted, worst, lookups.size()};
}

bool onKey(const std::vector<Lookup>& lookups) {
    return std::all_of(lookups.begin(), lookups.end(), [](const Lookup& lookup) {
        return lookup.kind == Lookup::Kind::KeyEqual || lookup.kind == Lookup::Kind::KeyPrefix;
    });
}

}  // namespace

Plan plan(const Statement& statement, const std::set<int>& indexedAttributes, const Estimate& estimate) {
    Plan result;
    if (statement.groups.empty()) return result;
    for (const AndGroup& group : statement.groups) {
        std::vector<std::vector<Lookup>> candidates;
        for (const Condition& condition : group.conditions)
            if (std::optional<std::vector<Lookup>> candidate = lookupsFor(condition, indexedAttributes))
                candidates.push_back(std::move(*candidate));
        // Key ranges first: they are mostly narrow, and bound the counting of the others.
        std::stable_partition(candidates.begin(), candidates.end(), onKey);
        std::optional<std::vector<Lookup>> best;
        std::tuple<std::size_t, int, std::size_t> bestCost;
        for (std::vector<Lookup>& candidate : candidates) {
            // Counting one past the best so far tells whether this way admits more.
            const std::size_t bound = best ? std::get<0>(bestCost) + 1 : std::numeric_limits<std::size_t>::max();
            const auto candidateCost = cost(candidate, estimate, bound);
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
