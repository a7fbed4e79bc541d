#include <gtest/gtest.h>

#include "database/DynamicArray.h"

namespace tessaran::db {
namespace {

const std::string FM(1, kAttributeMark);
const std::string VM(1, kValueMark);
const std::string SM(1, kSubvalueMark);

TEST(DynamicArray, StringFormRoundTripsExactly) {
    for (const std::string& text :
         {std::string(), FM, VM, SM, FM + FM, "a" + FM, FM + "a", "a" + VM + VM + "b" + FM + SM + "c" + FM,
          "x" + SM + "y" + VM + "z"}) {
        EXPECT_EQ(DynamicArray(text).str(), text);
    }
}

TEST(DynamicArray, CountsOfMarkOnlyTextsAndReadsOutsideGiveTheEmptyText) {
    EXPECT_TRUE(DynamicArray("").empty());
    EXPECT_FALSE(DynamicArray(VM).empty());
    EXPECT_EQ(DynamicArray("").DCount(), 0);
    EXPECT_EQ(DynamicArray(FM).DCount(), 2);
    EXPECT_EQ(DynamicArray(FM).DCount(1), 0);
    EXPECT_EQ(DynamicArray(VM).DCount(), 1);
    EXPECT_EQ(DynamicArray(VM).DCount(1), 2);
    EXPECT_EQ(DynamicArray("a" + FM + "b" + VM + "c").DCount(2), 2);
    EXPECT_EQ(DynamicArray("a").DCount(7), 0);

    const DynamicArray array("a" + VM + "b" + SM + "c");
    for (const std::string& outside : {array.get(0), array.get(2), array.get(1, 3), array.get(1, 2, 3)})
        EXPECT_EQ(outside, "");
    EXPECT_EQ(array.get(1, 2), "b" + SM + "c");
    EXPECT_EQ(array.get(1, 2, 2), "c");
}

TEST(DynamicArray, AssignmentsPastTheEndExtendWithEmptyPlaces) {
    DynamicArray array;
    array.set(3, 2, "x");
    EXPECT_EQ(array.str(), FM + FM + VM + "x");
    array.set(1, 1, 2, "s");
    EXPECT_EQ(array.str(), SM + "s" + FM + FM + VM + "x");
    array.set(5, "end");
    EXPECT_EQ(array.DCount(), 5);
    EXPECT_EQ(array.get(5), "end");
}

TEST(DynamicArray, TheEmptyTextEmptiesTheElementButKeepsItsPlace) {
    DynamicArray array("a" + FM + "b" + VM + "c" + FM + "d");
    array.set(2, 1, "");
    EXPECT_EQ(array.str(), "a" + FM + VM + "c" + FM + "d");
    array.set(2, "");
    EXPECT_EQ(array.str(), "a" + FM + FM + "d");
    EXPECT_EQ(array.DCount(), 3);
    array.assign("");
    EXPECT_EQ(array.str(), "");
    EXPECT_TRUE(array.empty());
    array.set(1, "");
    EXPECT_EQ(array.DCount(), 0);
    array.Insert(1, "only");  // the emptied array has no place left to push down
    EXPECT_EQ(array.str(), "only");
}

TEST(DynamicArray, InsertMovesLaterAttributesAndValues) {
    DynamicArray array("a" + FM + "b");
    array.Insert(1, "new");
    EXPECT_EQ(array.str(), "new" + FM + "a" + FM + "b");
    array.Insert(3, 2, "v");
    EXPECT_EQ(array.str(), "new" + FM + "a" + FM + "b" + VM + "v");
    array.Insert(3, 1, "w");
    EXPECT_EQ(array.get(3), "w" + VM + "b" + VM + "v");
    EXPECT_EQ(array.DCount(3), 3);

    DynamicArray lines;  // an accumulator that starts empty grows by insertion
    lines.Insert(1, "first");
    EXPECT_EQ(lines.str(), "first");
    lines.Insert(2, 1, "x");
    EXPECT_EQ(lines.str(), "first" + FM + "x");
    lines.Insert(2, 1, "y");
    EXPECT_EQ(lines.get(2), "y" + VM + "x");

    DynamicArray beyond("a");
    beyond.Insert(3, "c");
    EXPECT_EQ(beyond.str(), "a" + FM + FM + "c");
}

TEST(DynamicArray, MarksInsideAssignedTextSplitAsInTheStringForm) {
    DynamicArray array("a" + FM + "b");
    array.set(1, 1, "x" + VM + "y");
    EXPECT_EQ(array.DCount(1), 2);
    EXPECT_EQ(array.get(1, 2), "y");
    array.set(2, "p" + FM + "q");
    EXPECT_EQ(array.DCount(), 3);
    EXPECT_EQ(array.get(3), "q");
    EXPECT_EQ(DynamicArray(array.str()), array);
    array.Insert(1, 1, "m" + VM + "n");
    EXPECT_EQ(array.get(1), "m" + VM + "n" + VM + "x" + VM + "y");
}

}  // namespace
}  // namespace tessaran::db
