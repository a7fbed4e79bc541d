#include "DecimalText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tessaran::platform::detail {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Exponents beyond this are saturated: no double or printable field gets anywhere near.
constexpr long kExponentLimit = 100000;

}  // namespace

bool isBlank(std::string_view text) {
    for (const char c : text) {
        if (!isSpace(c)) return false;
    }
    return true;
}

std::optional<DecimalText> parseDecimal(std::string_view text, std::string_view separators) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);

    DecimalText number;
    number.digits.clear();
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    long fractionDigits = 0;
    bool seenSeparator = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            number.digits += c;
            if (seenSeparator) ++fractionDigits;
        } else if (!seenSeparator && separators.find(c) != std::string_view::npos) {
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (number.digits.empty()) return std::nullopt;

    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i == text.size() || !isDigit(text[i])) return std::nullopt;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            if (exponent < kExponentLimit) exponent = exponent * 10 + (text[i] - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;

    // Drop leading zeros (keeping one digit) so that the digit count measures the magnitude.
    const std::size_t firstSignificant = number.digits.find_first_not_of('0');
    number.digits.erase(0, std::min(firstSignificant, number.digits.size() - 1));
    number.exponent = exponent - fractionDigits;
    return number;
}

double toDouble(const DecimalText& number) {
    if (number.digits.find_first_not_of('0') == std::string::npos) return 0.0;
    const std::string scientific = number.digits + "e" + std::to_string(number.exponent);
    double value = 0.0;
    const auto [end, error] = std::from_chars(scientific.data(), scientific.data() + scientific.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const long magnitude = static_cast<long>(number.digits.size()) + number.exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return number.negative ? -value : value;
}

}  // namespace tessaran::platform::detail
