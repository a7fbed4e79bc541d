#pragma once
// A number read as decimal text, kept as digits and a power of ten so that rounding can be
// done on the decimal digits rather than on a binary double.

#include <optional>
#include <string>
#include <string_view>

namespace tessaran::platform::detail {

// value = (negative ? -1 : 1) * digits * 10^exponent; digits are ASCII '0'..'9', never empty.
struct DecimalText {
    bool negative = false;
    std::string digits = "0";
    long exponent = 0;
};

// Reads "[+-]digits[sep digits][E[+-]digits]" with spaces and tabs around it. `separators`
// lists the accepted decimal separators (",." or "."). At least one mantissa digit is needed.
// The empty (or all-blank) text is not a number here: callers decide what it means.
std::optional<DecimalText> parseDecimal(std::string_view text, std::string_view separators);

// The nearest double; overflow gives an infinity of the right sign, underflow gives 0.
double toDouble(const DecimalText& number);

bool isBlank(std::string_view text);

}  // namespace tessaran::platform::detail
