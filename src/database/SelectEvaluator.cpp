#include "SelectEvaluator.h"

#include <algorithm>

namespace tessaran::db::select {
namespace {

bool matches(const Alternative& alternative, std::string_view text) {
    const bool same = alternative.prefix ? text.substr(0, alternative.text.size()) == alternative.text
                                         : text == alternative.text;
    return same == alternative.equal;
}

std::string_view keyCharacters(const FieldDefinition& field, std::string_view key) {
    const auto first = static_cast<std::size_t>(std::max(field.first, 1) - 1);
    if (first >= key.size()) return {};
    return key.substr(first, static_cast<std::size_t>(std::max(field.length, 0)));
}

}  // namespace

bool Evaluator::holds(const Statement& statement, std::string_view key, const DynamicArray& record) {
    if (statement.groups.empty()) return true;
    for (const AndGroup& group : statement.groups) {
        bool all = true;
        for (const Condition& condition : group.conditions) {
            if (!holds(condition, key, record)) {
                all = false;
                break;
            }
        }
        if (all) return true;
    }
    return false;
}

bool Evaluator::holds(const Condition& condition, std::string_view key, const DynamicArray& record) {
    // A long list of plain values ("= A00 OR = A01 OR ..." for every association of a
    // federation) is searched by halves instead of one by one.
    constexpr std::size_t kListedFrom = 8;
    if (condition.alternatives.size() < kListedFrom) {
        return anyValue(condition.field.definition, key, record, [&](std::string_view text) {
            for (const Alternative& alternative : condition.alternatives)
                if (matches(alternative, text)) return true;
            return false;
        });
    }
    const SortedAlternatives& sorted = sortedAlternatives(condition);
    return anyValue(condition.field.definition, key, record, [&](std::string_view text) {
        if (std::binary_search(sorted.plainValues.begin(), sorted.plainValues.end(), text)) return true;
        for (const Alternative* alternative : sorted.others)
            if (matches(*alternative, text)) return true;
        return false;
    });
}

const Evaluator::SortedAlternatives& Evaluator::sortedAlternatives(const Condition& condition) {
    const auto found = sortedAlternatives_.find(&condition);
    if (found != sortedAlternatives_.end()) return found->second;
    SortedAlternatives sorted;
    for (const Alternative& alternative : condition.alternatives) {
        if (alternative.equal && !alternative.prefix)
            sorted.plainValues.emplace_back(alternative.text);
        else
            sorted.others.push_back(&alternative);
    }
    std::sort(sorted.plainValues.begin(), sorted.plainValues.end());
    return sortedAlternatives_.emplace(&condition, std::move(sorted)).first->second;
}

bool Evaluator::anyValue(const FieldDefinition& field, std::string_view key, const DynamicArray& record,
                         FunctionRef<bool(std::string_view)> visit) {
    switch (field.kind) {
    case FieldDefinition::Kind::Key:
        return visit(key);
    case FieldDefinition::Kind::Characters:
        return visit(keyCharacters(field, key));
    case FieldDefinition::Kind::Attribute:
    case FieldDefinition::Kind::Translation: {
        const bool translated = field.kind == FieldDefinition::Kind::Translation;
        return record.anyValue(field.attribute, [&](std::string_view value) {
            return translated ? visit(translate(field, value)) : visit(value);
        });
    }
    }
    return false;
}

const std::string& Evaluator::translate(const FieldDefinition& field, std::string_view code) {
    // The key is put together in the same string each time: a select translates every record.
    std::string& cacheKey = translationKey_;
    cacheKey = field.targetFile;
    cacheKey += kAttributeMark;
    cacheKey += std::to_string(field.targetAttribute);
    cacheKey += kAttributeMark;
    cacheKey += code;
    auto found = translations_.find(cacheKey);
    if (found != translations_.end()) return found->second;

    std::string translation;
    if (std::optional<std::string> target = lookup_(field.targetFile, std::string(code)))
        translation = DynamicArray(*target).get(field.targetAttribute);
    if (translation.empty()) translation = std::string(code);  // no record or no such attribute: the code
    return translations_.emplace(cacheKey, std::move(translation)).first->second;
}

void Evaluator::appendJoined(std::string& text, const FieldDefinition& field, std::string_view key,
                             const DynamicArray& record, char mark) {
    bool first = true;
    anyValue(field, key, record, [&](std::string_view value) {
        if (!first) text += mark;
        first = false;
        text += value;
        return false;
    });
}

}  // namespace tessaran::db::select
