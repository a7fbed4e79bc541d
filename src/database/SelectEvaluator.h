#pragma once
// Evaluates fields and conditions of a select statement on one parsed record. Dictionary
// translations read other files through the lookup given, and are remembered for the life
// of the evaluator (one select), so each code is looked up once.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "DynamicArray.h"
#include "FunctionRef.h"
#include "SelectTree.h"

namespace tessaran::db::select {

// The stored string form of the record `key` of `file`, or nothing.
using RecordLookup = std::function<std::optional<std::string>(const std::string& file, const std::string& key)>;

class Evaluator {
public:
    explicit Evaluator(RecordLookup lookup) : lookup_(std::move(lookup)) {}

    // The statement's whole condition (true when it has none).
    bool holds(const Statement& statement, std::string_view key, const DynamicArray& record);
    // True when some value of the field satisfies some alternative of the condition; an
    // absent or empty attribute counts as one empty value.
    bool holds(const Condition& condition, std::string_view key, const DynamicArray& record);

    // Appends the field's values joined by `mark` to `text`: the value mark makes its text for
    // sorting, the subvalue mark its value in a result list.
    void appendJoined(std::string& text, const FieldDefinition& field, std::string_view key,
                      const DynamicArray& record, char mark);

private:
    // Calls `visit` with each value of the field until it returns true; returns whether one did.
    bool anyValue(const FieldDefinition& field, std::string_view key, const DynamicArray& record,
                  FunctionRef<bool(std::string_view)> visit);
    const std::string& translate(const FieldDefinition& field, std::string_view code);
    // The alternatives of a condition with many of them: its plain values sorted, the others.
    struct SortedAlternatives {
        std::vector<std::string_view> plainValues;
        std::vector<const Alternative*> others;
    };
    const SortedAlternatives& sortedAlternatives(const Condition& condition);

    RecordLookup lookup_;
    std::unordered_map<std::string, std::string> translations_;
    std::string translationKey_;
    // Built on first use, for the statement the evaluator's select runs (it outlives them).
    std::unordered_map<const Condition*, SortedAlternatives> sortedAlternatives_;
};

}  // namespace tessaran::db::select
