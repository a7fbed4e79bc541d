// Number text in the French convention, the strict reader and the leading-number reader.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/DecimalText.h"
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

// The layout spelled out on strings, for any double.
std::string modelText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const std::string text(buffer);
    const std::size_t e = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, e))
        if (c >= '0' && c <= '9') digits += c;
    const int exponent = std::stoi(text.substr(e + 1));
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.empty()) return "0";
    std::string result = value < 0 ? "-" : "";
    const int count = static_cast<int>(digits.size());
    if (exponent < -15 || exponent > 14) {
        result += digits.substr(0, 1) + (count > 1 ? "," + digits.substr(1) : "");
        result += std::string(exponent < 0 ? "E-" : "E+") + (std::abs(exponent) < 10 ? "0" : "") +
                  std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        result += "0," + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (exponent + 1 >= count) {
        result += digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
    } else {
        result += digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "," +
                  digits.substr(static_cast<std::size_t>(exponent + 1));
    }
    return result;
}

TEST(NumberToText, AgreesWithTheLayoutSpelledOutOverManyMagnitudes) {
    std::mt19937_64 random(1206);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-40, 40);
    for (int round = 0; round < 20000; ++round) {
        const double value = round % 4 == 0 ? std::round(mantissa(random) * 1e6) / 100  // hundredths
                                            : mantissa(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(numberToText(value), modelText(value)) << value;
    }
    for (const double value : {1e300, -1e-300, 5e-324, 1e15, 1e-15, 9.999999999999999e14})
        EXPECT_EQ(numberToText(value), modelText(value)) << value;
}

// Whether a number's text leads with a non-zero number is what writing it and reading its
// leading number gives, at the edges too: fractions that round up to one, the smallest plain
// fractions and the tiny ones written with an exponent.
TEST(LeadsWithNonZero, IsTheLeadingNumberOfTheText) {
    std::mt19937_64 random(61206);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-20, 20);
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, 0.4999999999999999, 0.9999999999999999,
                                  0.99999999999999994, 0.999999999999999, 1e-14, 9.99999999999999e-15, 1e-15,
                                  1.000000000000001e-15, 9.999999999999999e-16, 1e-16, 5e-324, 1e15, 2.9e15};
    for (int round = 0; round < 20000; ++round)
        values.push_back(round % 2 == 0 ? std::round(mantissa(random) * 1e4) / 100
                                        : mantissa(random) * std::pow(10.0, exponent(random)));
    for (const double value : values) {
        for (const double signed_ : {value, -value})
            ASSERT_EQ(leadsWithNonZero(signed_), leadingNumber(numberToText(signed_)) != 0) << signed_;
    }
    EXPECT_THROW(leadsWithNonZero(std::numeric_limits<double>::infinity()), std::invalid_argument);
    EXPECT_THROW(leadsWithNonZero(std::nan("")), std::invalid_argument);
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

// Plain decimals are read by a shorter way: whatever the text, the answer (or the refusal)
// is the general reading's, to the last bit.
TEST(TextToNumber, AgreesWithTheGeneralReadingOnAnyText) {
    std::mt19937 random(20261206);
    const std::string pieces[] = {" ", "\t", "-", "+", ",", ".", "0", "1", "5", "9", "e", "x", "00", "123456789"};
    for (int round = 0; round < 30000; ++round) {
        std::string text;
        for (int n = std::uniform_int_distribution<int>(0, 8)(random); n > 0; --n)
            text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        std::optional<double> general;
        if (detail::isBlank(text)) {
            general = 0.0;
        } else if (const auto number = detail::parseDecimal(text, ",."); number && !std::isinf(detail::toDouble(*number))) {
            general = detail::toDouble(*number);
        }
        if (!general) {
            EXPECT_THROW(textToNumber(text), std::invalid_argument) << "[" << text << "]";
            continue;
        }
        const double read = textToNumber(text);
        ASSERT_EQ(read, *general) << "[" << text << "]";
        ASSERT_EQ(std::signbit(read), std::signbit(*general)) << "[" << text << "]";
    }
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
