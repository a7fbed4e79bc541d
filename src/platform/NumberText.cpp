#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "DecimalText.h"

namespace tessaran::platform {

namespace {

constexpr int kSignificantDigits = 15;
// Numbers whose decimal exponent falls outside [-15, 15) are written as "1,5E+20": a plain
// layout would run to dozens of zeros. Amounts, hours and rates never get there.
constexpr int kLowestPlainExponent = -15;
constexpr int kHighestPlainExponent = 14;

}  // namespace

std::string numberToText(double value) {
    if (!std::isfinite(value)) throw std::invalid_argument("numberToText: not a finite number");

    // d.dddddddddddddde±XX: 15 significant digits, locale-independent.
    char buffer[40];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, kSignificantDigits - 1);
    if (error != std::errc()) throw std::invalid_argument("numberToText: conversion failed");
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));

    const bool negative = text.front() == '-';
    const std::size_t ePos = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, ePos)) {
        if (c >= '0' && c <= '9') digits += c;
    }
    int exponent = 0;
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);

    const std::size_t lastSignificant = digits.find_last_not_of('0');
    if (lastSignificant == std::string::npos) return "0";  // never "-0"
    digits.erase(lastSignificant + 1);

    std::string result = negative ? "-" : "";
    const int count = static_cast<int>(digits.size());
    if (exponent < kLowestPlainExponent || exponent > kHighestPlainExponent) {
        result += digits.front();
        if (count > 1) result += ',' + digits.substr(1);
        result += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) result += '0';
        result += std::to_string(magnitude);
    } else if (exponent < 0) {
        result += "0," + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (exponent + 1 >= count) {
        result += digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent + 1);
        result += digits.substr(0, integerDigits) + ',' + digits.substr(integerDigits);
    }
    return result;
}

double textToNumber(std::string_view text) {
    if (detail::isBlank(text)) return 0.0;
    const auto number = detail::parseDecimal(text, ",.");
    if (!number) throw std::invalid_argument("not a number: \"" + std::string(text) + "\"");
    const double value = detail::toDouble(*number);
    if (std::isinf(value)) throw std::invalid_argument("number too large: \"" + std::string(text) + "\"");
    return value;
}

double leadingNumber(std::string_view text) {
    // Blanks are skipped wherever they are ("1 234.5" reads 1234.5); reading stops at the
    // first other character that cannot continue the number.
    std::string cleaned;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') cleaned += c;
    }
    std::size_t end = 0;
    if (end < cleaned.size() && (cleaned[end] == '+' || cleaned[end] == '-')) ++end;
    const auto isDigit = [&](std::size_t i) { return i < cleaned.size() && cleaned[i] >= '0' && cleaned[i] <= '9'; };
    const std::size_t mantissaStart = end;
    while (isDigit(end)) ++end;
    if (end < cleaned.size() && cleaned[end] == '.') {
        ++end;
        while (isDigit(end)) ++end;
    }
    if (end - mantissaStart == 0 || cleaned.substr(mantissaStart, end - mantissaStart) == ".") return 0.0;
    // An exponent counts only when digits follow it ("2E3" is 2000, "2E" is 2).
    if (end < cleaned.size() && (cleaned[end] == 'e' || cleaned[end] == 'E')) {
        std::size_t exponentEnd = end + 1;
        if (exponentEnd < cleaned.size() && (cleaned[exponentEnd] == '+' || cleaned[exponentEnd] == '-')) ++exponentEnd;
        if (isDigit(exponentEnd)) {
            while (isDigit(exponentEnd)) ++exponentEnd;
            end = exponentEnd;
        }
    }
    const auto number = detail::parseDecimal(std::string_view(cleaned).substr(0, end), ".");
    return number ? detail::toDouble(*number) : 0.0;
}

}  // namespace tessaran::platform
