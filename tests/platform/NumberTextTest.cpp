// Number text in the French convention, the strict reader and the leading-number reader.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/NumberText.h"

namespace tessaran::platform {
namespace {

TEST(NumberToText, UsesADecimalCommaAndNoNeedlessDigits) {
    EXPECT_EQ(numberToText(12.5), "12,5");
    EXPECT_EQ(numberToText(3), "3");
    EXPECT_EQ(numberToText(-1234.56), "-1234,56");
    EXPECT_EQ(numberToText(0.125), "0,125");
    EXPECT_EQ(numberToText(0.001), "0,001");
    EXPECT_EQ(numberToText(123456789012.34), "123456789012,34");
}

TEST(NumberToText, RoundsToFifteenSignificantDigitsAndNeverPrintsMinusZero) {
    // Hundredths divided by 100 carry binary noise; 15 digits hide it.
    EXPECT_EQ(numberToText(0.1 + 0.2), "0,3");
    EXPECT_EQ(numberToText(1234567 / 100.0), "12345,67");
    EXPECT_EQ(numberToText(1.005), "1,005");
    EXPECT_EQ(numberToText(-0.0), "0");
    EXPECT_EQ(numberToText(999999999999999.0), "999999999999999");
    EXPECT_EQ(numberToText(1e20), "1E+20");
    EXPECT_EQ(numberToText(-2.5e-20), "-2,5E-20");
    EXPECT_THROW(numberToText(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    EXPECT_THROW(numberToText(std::numeric_limits<double>::infinity()), std::invalid_argument);
}

TEST(TextToNumber, ReadsCommaOrPeriodAndRejectsAnythingElse) {
    EXPECT_DOUBLE_EQ(textToNumber("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(textToNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(textToNumber("  -0,75 "), -0.75);
    EXPECT_DOUBLE_EQ(textToNumber(",5"), 0.5);
    EXPECT_DOUBLE_EQ(textToNumber(""), 0);
    EXPECT_DOUBLE_EQ(textToNumber("   "), 0);
    EXPECT_DOUBLE_EQ(textToNumber("1,5E+20"), 1.5e20);
    for (const char* bad : {"abc", "12a", "1,2,3", "1.2,3", "-", ",", "1 234", "1E", "--1", "1e999"}) {
        EXPECT_THROW(textToNumber(bad), std::invalid_argument) << bad;
    }
}

TEST(TextToNumber, ReadsBackWhatNumberToTextWrites) {
    for (const double value : {0.0, 1.0, -1.0, 0.01, 123.45, -98765.43, 1e-7, 3.25e18, 1e21, 1234567.891}) {
        EXPECT_DOUBLE_EQ(textToNumber(numberToText(value)), value) << value;
    }
}

TEST(LeadingNumber, ReadsThePeriodFormAndStopsAtTheFirstUnreadableCharacter) {
    EXPECT_DOUBLE_EQ(leadingNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("12,5"), 12);  // a comma ends the number
    EXPECT_DOUBLE_EQ(leadingNumber("   -3.25 francs"), -3.25);
    EXPECT_DOUBLE_EQ(leadingNumber("1 234.5"), 1234.5);  // blanks are skipped anywhere
    EXPECT_DOUBLE_EQ(leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("2E3"), 2000);
    EXPECT_DOUBLE_EQ(leadingNumber("2E"), 2);
    EXPECT_DOUBLE_EQ(leadingNumber("2Ex"), 2);
    EXPECT_DOUBLE_EQ(leadingNumber("1.2.3"), 1.2);
}

TEST(LeadingNumber, GivesZeroWhenNoNumberStartsTheText) {
    for (const char* text : {"", "   ", "abc", "-", "+", ".", "-.", ",5", "E5"}) {
        EXPECT_EQ(leadingNumber(text), 0.0) << text;
    }
    EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
    EXPECT_EQ(leadingNumber("1e-999"), 0.0);
}

}  // namespace
}  // namespace tessaran::platform
