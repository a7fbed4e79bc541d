#include "SelectRunner.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <unordered_set>

#include "DatabaseError.h"
#include "SelectEvaluator.h"
#include "SelectParser.h"
#include "SelectPlanner.h"

namespace tessaran::db::select {
namespace {

// What is kept of a selected record: its key, its sort texts and its row of the result list.
// The parsed record itself is dropped at once, so a large select holds little memory.
struct Match {
    // The sort fields' texts then the key, each written so that comparing the whole bytes
    // compares them in turn (see appendOrderPart).
    std::string order;
    std::string row;
};

// Ends a text just appended to a match's order, from `from`, so that a shorter text sorts
// before any longer one it begins, whatever bytes follow: a zero byte is written as 00 01 and
// each text ends with 00 00.
void endOrderPart(std::string& order, std::size_t from) {
    if (order.find('\0', from) != std::string::npos) {
        const std::string text = order.substr(from);
        order.resize(from);
        for (const char c : text) {
            order += c;
            if (c == '\0') order += '\1';
        }
    }
    order += '\0';
    order += '\0';
}

std::vector<FieldDefinition> requestedFields(const std::string& list, const std::string& file,
                                             const schema::Catalogue& catalogue) {
    std::vector<FieldDefinition> fields;
    std::size_t at = 0;
    while (at < list.size()) {
        if (list[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(list.find(' ', at), list.size());
        const std::string word = list.substr(at, end - at);
        std::optional<FieldDefinition> field = resolveField(word, file, catalogue);
        if (!field)
            throw DatabaseError(error_code::kInvalidRequest,
                                "select request: unknown attribute \"" + word + "\" in the attribute list");
        fields.push_back(std::move(*field));
        at = end;
    }
    if (fields.empty()) fields.push_back(FieldDefinition::key());
    return fields;
}

class Selection {
public:
    Selection(RecordStorage& store, const Statement& statement, std::vector<FieldDefinition> wanted)
        : store_(store),
          statement_(statement),
          wanted_(std::move(wanted)),
          evaluator_([this](const std::string& file, const std::string& key) -> std::optional<std::string> {
              if (!store_.hasFile(file)) return std::nullopt;
              // A translated field reads the same few records again and again (the funding
              // body of every flow): each is read once per select.
              const auto known = translated_.find({file, key});
              if (known != translated_.end()) return known->second;
              return translated_.emplace(std::make_pair(file, key), store_.read(file, key)).first->second;
          }) {}

    // Collects the records that the plan admits and the statement accepts, each once.
    void collect() {
        // Each way of narrowing is weighed by counting what it admits, up to a bound that keeps
        // the weighing cheap next to the select itself.
        static constexpr std::size_t kCountedAtMost = 2000;
        const Estimate estimate = [this](const Lookup& lookup, std::size_t bound) -> std::size_t {
            const std::size_t most = std::min(bound, kCountedAtMost);
            switch (lookup.kind) {
            case Lookup::Kind::KeyEqual: return 1;
            case Lookup::Kind::KeyPrefix: return store_.countKeysWithPrefix(statement_.file, lookup.value, most);
            case Lookup::Kind::IndexEqual:
            case Lookup::Kind::IndexPrefix:
                return store_.countIndexEntries(statement_.file, lookup.attribute, lookup.value,
                                                lookup.kind == Lookup::Kind::IndexPrefix, most);
            }
            return most;
        };
        const Plan access = plan(statement_, store_.indexedAttributes(statement_.file), estimate);
        const auto consider = [this](std::string_view key, std::string_view text) { this->consider(key, text); };
        if (access.scanAll) {
            store_.scan(statement_.file, consider);
            return;
        }
        std::vector<std::string> candidates;
        std::vector<std::size_t> runEnds;  // where the keys of each lookup end among the candidates
        std::unordered_set<std::string> scanned;  // keys already met in a key range
        for (const Lookup& lookup : access.lookups) {
            switch (lookup.kind) {
            case Lookup::Kind::KeyEqual:
                candidates.push_back(lookup.value);
                break;
            case Lookup::Kind::IndexEqual:
            case Lookup::Kind::IndexPrefix:
                store_.indexKeys(statement_.file, lookup.attribute, lookup.value,
                                 lookup.kind == Lookup::Kind::IndexPrefix, candidates);
                break;
            case Lookup::Kind::KeyPrefix:
                store_.scanPrefix(statement_.file, lookup.value, [&](std::string_view key, std::string_view text) {
                    if (scanned.insert(std::string(key)).second) consider(key, text);
                });
                break;
            }
            runEnds.push_back(candidates.size());
        }
        // Records written by another tool may not be indexed yet: look at them whatever the index says.
        store_.changedKeys(statement_.file, candidates);
        runEnds.push_back(candidates.size());

        inKeyOrder(candidates, runEnds);
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        if (!scanned.empty())
            std::erase_if(candidates, [&](const std::string& key) { return scanned.count(key) != 0; });
        store_.readMany(statement_.file, candidates, consider);
    }

    // The result list: the matches ordered by the sort fields, then by key.
    DynamicArray result() {
        std::vector<std::size_t> order(matches_.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(),
                  [this](std::size_t a, std::size_t b) { return matches_[a].order < matches_[b].order; });
        // One attribute per match, set one by one: a list holding a single empty row has the
        // empty text as its string form, but it keeps its attribute.
        DynamicArray list;
        for (std::size_t i = 0; i < order.size(); ++i) list.set(static_cast<int>(i) + 1, matches_[order[i]].row);
        return list;
    }

private:
    // Sorts the candidates, made of runs that each come from one lookup and are mostly in key
    // order already (an index lists the keys of one value in key order): each run is sorted
    // only if it needs it, then the runs are merged, which costs far less than sorting the whole.
    // Many runs (a lookup per value of a long list) are sorted whole: merging each into the
    // ones before would grow with their number.
    static void inKeyOrder(std::vector<std::string>& candidates, const std::vector<std::size_t>& runEnds) {
        constexpr std::size_t kMergedRunsAtMost = 8;
        if (runEnds.size() > kMergedRunsAtMost) {
            if (!std::is_sorted(candidates.begin(), candidates.end())) std::sort(candidates.begin(), candidates.end());
            return;
        }
        const auto at = [&](std::size_t offset) { return candidates.begin() + static_cast<std::ptrdiff_t>(offset); };
        std::size_t sortedEnd = 0;
        for (const std::size_t end : runEnds) {
            if (end == sortedEnd) continue;
            if (!std::is_sorted(at(sortedEnd), at(end))) std::sort(at(sortedEnd), at(end));
            if (sortedEnd != 0 && *at(sortedEnd) < *at(sortedEnd - 1)) std::inplace_merge(at(0), at(sortedEnd), at(end));
            sortedEnd = end;
        }
    }

    void consider(std::string_view key, std::string_view text) {
        // One array for every record considered: it keeps its room from one to the next.
        DynamicArray& record = considered_;
        record.assign(text);
        if (!evaluator_.holds(statement_, key, record)) return;
        Match match;
        match.order.reserve(64);  // grown a character at a time otherwise
        for (const Field& field : statement_.sortFields) {
            const std::size_t from = match.order.size();
            evaluator_.appendJoined(match.order, field.definition, key, record, kValueMark);
            endOrderPart(match.order, from);
        }
        const std::size_t keyFrom = match.order.size();
        match.order += key;
        endOrderPart(match.order, keyFrom);
        for (std::size_t f = 0; f < wanted_.size(); ++f) {
            if (f) match.row += kValueMark;
            evaluator_.appendJoined(match.row, wanted_[f], key, record, kSubvalueMark);
        }
        matches_.push_back(std::move(match));
    }

    RecordStorage& store_;
    const Statement& statement_;
    std::vector<FieldDefinition> wanted_;
    std::map<std::pair<std::string, std::string>, std::optional<std::string>> translated_;
    Evaluator evaluator_;
    DynamicArray considered_;
    std::vector<Match> matches_;
};

}  // namespace

DynamicArray run(RecordStorage& store, std::string_view requestText) {
    const DynamicArray request(requestText);
    const std::string statementText = request.get(1);
    const std::string requestFile = request.get(2);
    if (statementText.empty())
        throw DatabaseError(error_code::kInvalidRequest, "select request: attribute 1 holds no statement");

    const Statement statement = parse(statementText, store.catalogue());
    if (!requestFile.empty() && requestFile != statement.file)
        throw DatabaseError(error_code::kInvalidRequest, "select request: the statement selects from \"" +
                                                             statement.file + "\" but the request names \"" +
                                                             requestFile + "\"");
    Selection selection(store, statement, requestedFields(request.get(3), statement.file, store.catalogue()));
    store.readConsistently([&] { selection.collect(); });
    return selection.result();
}

}  // namespace tessaran::db::select
