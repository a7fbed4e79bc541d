// Number text in the French convention, the strict reader and the leading-number reader.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/NumberText.h"

namespace tessaran::platform {
namespace {

TEST(NumberToText, DecimalCommaFifteenSignificantDigitsAndNoMinusZero) {
    const std::pair<double, const char*> cases[] = {
        {12.5, "12,5"}, {3, "3"}, {-1234.56, "-1234,56"}, {0.001, "0,001"}, {123456789012.34, "123456789012,34"},
        // Hundredths divided by 100 carry binary noise; 15 digits hide it.
        {0.1 + 0.2, "0,3"}, {1234567 / 100.0, "12345,67"}, {1.005, "1,005"}, {-0.0, "0"},
        {999999999999999.0, "999999999999999"}, {1e20, "1E+20"}, {-2.5e-20, "-2,5E-20"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(numberToText(value), text) << value;
    EXPECT_THROW(numberToText(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    EXPECT_THROW(numberToText(std::numeric_limits<double>::infinity()), std::invalid_argument);
}

TEST(TextToNumber, ReadsCommaOrPeriodAndWhatNumberToTextWritesAndRejectsAnythingElse) {
    const std::pair<const char*, double> cases[] = {{"12,5", 12.5}, {"12.5", 12.5}, {"  -0,75 ", -0.75}, {",5", 0.5},
                                                    {"", 0},        {"   ", 0},     {"1,5E+20", 1.5e20}};
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(textToNumber(text), value) << text;
    for (const double value : {0.0, 1.0, -1.0, 0.01, 123.45, -98765.43, 1e-7, 3.25e18, 1e21, 1234567.891})
        EXPECT_DOUBLE_EQ(textToNumber(numberToText(value)), value) << value;
    for (const char* bad : {"abc", "12a", "1,2,3", "1.2,3", "-", ",", "1 234", "1E", "--1", "1e999"})
        EXPECT_THROW(textToNumber(bad), std::invalid_argument) << bad;
}

TEST(LeadingNumber, ReadsThePeriodFormUpToTheFirstUnreadableCharacter) {
    const std::pair<const char*, double> cases[] = {
        {"12.5", 12.5}, {"12,5", 12},  // a comma ends the number
        {"   -3.25 francs", -3.25}, {"1 234.5", 1234.5},  // blanks are skipped anywhere
        {".5", 0.5}, {"2E3", 2000}, {"2E", 2}, {"2Ex", 2}, {"1.2.3", 1.2}, {"1e-999", 0},
        {"", 0}, {"   ", 0}, {"abc", 0}, {"-", 0}, {"+", 0}, {".", 0}, {"-.", 0}, {",5", 0}, {"E5", 0}};
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(leadingNumber(text), value) << text;
    EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
}

}  // namespace
}  // namespace tessaran::platform
