// The index entries a write drops and adds, read from the stored text of the record before
// and the array after, against a plain model built value by value.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>

#include "database/IndexEntries.h"

namespace tessaran::db {
namespace {

const std::string FM(1, kAttributeMark);
const std::string VM(1, kValueMark);
const std::string SM(1, kSubvalueMark);

using Entries = std::set<std::pair<int, std::string>>;

// What the index holds for a record: each non-empty value of each indexed attribute.
Entries modelEntries(const DynamicArray& record, const std::set<int>& attributes) {
    Entries entries;
    for (const int attribute : attributes)
        for (int value = 1; value <= std::max(1, record.DCount(attribute)); ++value)
            if (!record.get(attribute, value).empty()) entries.emplace(attribute, record.get(attribute, value));
    return entries;
}

Entries asEntries(const std::vector<IndexChange>& changes) {
    Entries entries;
    for (const IndexChange& change : changes) EXPECT_TRUE(entries.emplace(change.attribute, change.value).second);
    return entries;
}

void expectModel(const std::set<int>& attributes, const std::string& before, const std::string& after) {
    const Entries old = modelEntries(DynamicArray(before), attributes);
    const Entries now = modelEntries(DynamicArray(after), attributes);
    Entries dropped;
    Entries added;
    for (const auto& entry : old)
        if (now.count(entry) == 0) dropped.insert(entry);
    for (const auto& entry : now)
        if (old.count(entry) == 0) added.insert(entry);
    const IndexChanges changes = indexChanges(attributes, std::string_view(before), DynamicArray(after));
    EXPECT_EQ(asEntries(changes.dropped), dropped) << "before [" << before << "] after [" << after << "]";
    EXPECT_EQ(asEntries(changes.added), added) << "before [" << before << "] after [" << after << "]";
}

TEST(IndexEntries, ChangesFollowTheValuesOfEachIndexedAttribute) {
    const std::set<int> attributes{1, 3, 5};
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", ""},
        {"", "a" + FM + "b" + FM + "c"},                       // a new record: every value added
        {"a" + FM + "b" + FM + "c", ""},                       // emptied: every value dropped
        {"a" + FM + "x" + FM + "c", "a" + FM + "y" + FM + "c"},  // an attribute not indexed changed
        {"a", "a" + FM + FM + FM + FM + "e"},                  // past the end of the record before
        {"a" + FM + FM + FM + FM + "e", "a"},                  // past the end of the record after
        {"k" + VM + "m" + VM + "k", "m" + VM + "n"},           // repeated and moved values
        {"k" + VM + VM + "m", "k" + VM + "m" + VM},            // empty values are not indexed
        {"s" + SM + "t", "s" + SM + "u"},                      // subvalues belong to their value
        {FM + FM + "0000000001", FM + FM + "0000000002"},      // the invoice number of a flow
    };
    for (const auto& [before, after] : cases) expectModel(attributes, before, after);
}

TEST(IndexEntries, GeneratedRecordsAgreeWithTheModel) {
    std::mt19937 random(20261206);
    const std::string pieces[] = {"", "a", "b", "ab", FM, FM, VM, VM, SM};
    const auto record = [&] {
        std::string text;
        for (int n = std::uniform_int_distribution<int>(0, 12)(random); n > 0; --n)
            text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        return text;
    };
    for (int round = 0; round < 2000; ++round) expectModel({1, 2, 4, 7}, record(), record());
}

}  // namespace
}  // namespace tessaran::db
