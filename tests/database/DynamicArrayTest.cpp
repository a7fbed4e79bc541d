#include <gtest/gtest.h>

#include <random>

#include "database/DynamicArray.h"

namespace tessaran::db {
namespace {

const std::string FM(1, kAttributeMark);
const std::string VM(1, kValueMark);
const std::string SM(1, kSubvalueMark);

TEST(DynamicArray, StringFormRoundTripsExactlyAndReadsOutsideGiveTheEmptyText) {
    // Each text with its number of attributes.
    for (const auto& [text, attributes] : std::vector<std::pair<std::string, int>>{
             {"", 0}, {FM, 2}, {VM, 1}, {SM, 1}, {FM + FM, 3}, {"a" + FM, 2}, {FM + "a", 2},
             {"a" + VM + VM + "b" + FM + SM + "c" + FM, 3}, {"x" + SM + "y" + VM + "z", 1}}) {
        const DynamicArray array(text);
        EXPECT_EQ(array.str(), text);
        EXPECT_EQ(array.DCount(), attributes) << array.str().size() << " bytes";
        EXPECT_EQ(array.empty(), text.empty());
    }
    EXPECT_EQ(DynamicArray(FM).DCount(1), 0);
    EXPECT_EQ(DynamicArray(VM).DCount(1), 2);
    EXPECT_EQ(DynamicArray("a" + FM + "b" + VM + "c").DCount(2), 2);
    EXPECT_EQ(DynamicArray("a").DCount(7), 0);
    std::string long_;  // more attributes than a record has
    for (int a = 1; a <= 200; ++a) long_ += (a > 1 ? FM : "") + std::to_string(a);
    const DynamicArray list(long_);
    EXPECT_EQ(list.DCount(), 200);
    for (const int a : {1, 63, 64, 65, 66, 200}) EXPECT_EQ(list.get(a), std::to_string(a));

    const DynamicArray array("a" + VM + "b" + SM + "c");
    for (const std::string& outside : {array.get(0), array.get(2), array.get(1, 3), array.get(1, 2, 3)})
        EXPECT_EQ(outside, "");
    EXPECT_EQ(array.get(1, 2), "b" + SM + "c");
    EXPECT_EQ(array.get(1, 2, 2), "c");
}

TEST(DynamicArray, AssignmentsExtendWithEmptyPlacesKeepEmptiedPlacesAndSplitMarks) {
    DynamicArray array;
    array.set(3, 2, "x");
    EXPECT_EQ(array.str(), FM + FM + VM + "x");
    array.set(1, 1, 2, "s");
    array.set(5, "end");
    EXPECT_EQ(array.str(), SM + "s" + FM + FM + VM + "x" + FM + FM + "end");

    // The empty text empties the element but keeps its place.
    array.assign("a" + FM + "b" + VM + "c" + FM + "d");
    array.set(2, 1, "");
    EXPECT_EQ(array.str(), "a" + FM + VM + "c" + FM + "d");
    EXPECT_EQ(array.get(3), "d");  // a shorter element moves what follows it
    array.set(2, "");
    EXPECT_EQ(array.str(), "a" + FM + FM + "d");
    array.set(1, 1, 3, "long");
    EXPECT_EQ(array.get(3), "d");
    EXPECT_EQ(array.get(1, 1, 3), "long");
    array.assign("");
    array.set(1, "");
    EXPECT_EQ(array.DCount(), 0);
    array.Insert(1, "only");  // the emptied array has no place left to push down
    EXPECT_EQ(array.str(), "only");

    // Marks inside assigned or inserted text split as in the string form.
    array.assign("a" + FM + "b");
    array.set(1, 1, "x" + VM + "y");
    array.set(2, "p" + FM + "q");
    EXPECT_EQ(array.DCount(1), 2);
    EXPECT_EQ(array.DCount(), 3);
    array.Insert(1, 1, "m" + VM + "n");
    EXPECT_EQ(array.DCount(1), 4);
    EXPECT_EQ(array.str(), "m" + VM + "n" + VM + "x" + VM + "y" + FM + "p" + FM + "q");
    EXPECT_EQ(array.get(3), "q");
}

// Random texts of a few pieces, marks among them.
struct RandomText {
    explicit RandomText(unsigned seed) : random(seed) {}
    std::string operator()(int most) {
        const std::string pieces[] = {"", "a", "bc", FM, VM, SM};
        std::string made;
        for (int n = std::uniform_int_distribution<int>(0, most)(random); n > 0; --n)
            made += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        return made;
    }
    std::mt19937 random;
};

TEST(DynamicArray, AttributesAssignedTogetherGiveWhatOneByOneGives) {
    RandomText text(61206);
    std::mt19937& random = text.random;
    for (int round = 0; round < 3000; ++round) {
        const std::string start = text(10);
        std::vector<std::pair<int, std::string>> given;  // attributes from 0, repeated ones too
        for (int n = std::uniform_int_distribution<int>(1, 4)(random); n > 0; --n)
            given.emplace_back(std::uniform_int_distribution<int>(0, 8)(random), round % 3 ? text(2) : "x");
        DynamicArray oneByOne(start);
        for (const auto& [attribute, value] : given) oneByOne.set(attribute, value);
        DynamicArray together(start);
        switch (given.size()) {
        case 1: together.setAttributes({{given[0].first, given[0].second}}); break;
        case 2: together.setAttributes({{given[0].first, given[0].second}, {given[1].first, given[1].second}}); break;
        case 3:
            together.setAttributes({{given[0].first, given[0].second},
                                    {given[1].first, given[1].second},
                                    {given[2].first, given[2].second}});
            break;
        default:
            together.setAttributes({{given[0].first, given[0].second},
                                    {given[1].first, given[1].second},
                                    {given[2].first, given[2].second},
                                    {given[3].first, given[3].second}});
        }
        ASSERT_EQ(together, oneByOne) << "from [" << start << "]";
        ASSERT_EQ(together.attributeCount(), oneByOne.attributeCount());
        for (int attribute = 1; attribute <= together.attributeCount(); ++attribute)
            ASSERT_EQ(together.view(attribute), oneByOne.view(attribute));
    }
    // A value assigned in place or past the end, against the string form edited by hand.
    const auto split = [](const std::string& text, char mark) {
        std::vector<std::string> parts(1);
        for (const char c : text) {
            if (c == mark)
                parts.emplace_back();
            else
                parts.back().push_back(c);
        }
        return parts;
    };
    const auto join = [](const std::vector<std::string>& parts, char mark) {
        std::string text;
        for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? std::string(1, mark) : "") + parts[i];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string start = text(10);
        const int attribute = std::uniform_int_distribution<int>(1, 5)(random);
        const int value = std::uniform_int_distribution<int>(1, 5)(random);
        const std::string given = text(2);
        std::vector<std::string> attributes = split(start, kAttributeMark);
        attributes.resize(std::max<std::size_t>(attributes.size(), static_cast<std::size_t>(attribute)));
        std::vector<std::string> values = split(attributes[static_cast<std::size_t>(attribute - 1)], kValueMark);
        values.resize(std::max<std::size_t>(values.size(), static_cast<std::size_t>(value)));
        values[static_cast<std::size_t>(value - 1)] = given;
        attributes[static_cast<std::size_t>(attribute - 1)] = join(values, kValueMark);
        DynamicArray array(start);
        array.set(attribute, value, given);
        ASSERT_EQ(array.str(), join(attributes, kAttributeMark)) << "from [" << start << "]";
        ASSERT_EQ(array.get(attribute, value), DynamicArray(array.str()).get(attribute, value));
    }

    // The texts given may be read from the array itself.
    DynamicArray array("a" + FM + "b");
    array.setAttributes({{5, array.view(1)}, {1, array.view(2)}});
    EXPECT_EQ(array.str(), "b" + FM + "b" + FM + FM + FM + "a");
}

// After any assignment or insertion, marks in the texts given included, the array reads as
// its string form read afresh: the same attributes, starting at the same places.
TEST(DynamicArray, ChangesReadAsTheirStringFormReadAfresh) {
    RandomText text(20261206);
    std::mt19937& random = text.random;
    for (int round = 0; round < 500; ++round) {
        DynamicArray array(text(12));
        for (int step = 0; step < 12; ++step) {
            const int attribute = std::uniform_int_distribution<int>(1, 6)(random);
            const int value = std::uniform_int_distribution<int>(1, 3)(random);
            const std::string given = text(3);
            switch (std::uniform_int_distribution<int>(0, 3)(random)) {
            case 0: array.set(attribute, given); break;
            case 1: array.set(attribute, value, given); break;
            case 2: array.Insert(attribute, given); break;
            default: array.Insert(attribute, value, given);
            }
            const DynamicArray afresh(array.str());
            // An array emptied by assignment keeps its one place; read afresh, "" has none.
            if (!array.str().empty()) {
                ASSERT_EQ(array.attributeCount(), afresh.attributeCount()) << round << " " << step;
            }
            for (int each = 1; each <= afresh.attributeCount(); ++each)
                ASSERT_EQ(array.view(each), afresh.view(each)) << round << " " << step;
        }
    }
}

TEST(DynamicArray, InsertMovesLaterAttributesAndValues) {
    DynamicArray array("a" + FM + "b");
    array.Insert(1, "new");
    EXPECT_EQ(array.str(), "new" + FM + "a" + FM + "b");
    array.Insert(3, 2, "v");
    array.Insert(3, 1, "w");
    EXPECT_EQ(array.str(), "new" + FM + "a" + FM + "w" + VM + "b" + VM + "v");

    DynamicArray lines;  // an accumulator that starts empty grows by insertion
    lines.Insert(1, "first");
    lines.Insert(2, 1, "x");
    EXPECT_EQ(lines.str(), "first" + FM + "x");
    lines.Insert(2, 1, "y");
    EXPECT_EQ(lines.get(2), "y" + VM + "x");

    DynamicArray beyond("a");
    beyond.Insert(3, "c");
    EXPECT_EQ(beyond.str(), "a" + FM + FM + "c");
}

}  // namespace
}  // namespace tessaran::db
