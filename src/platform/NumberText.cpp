#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
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
    // The significant digits, without the trailing zeros; the text is built in place, in a
    // buffer: amounts are printed by the hundred thousand.
    char digits[kSignificantDigits + 1];
    int count = 0;
    for (const char c : text.substr(0, ePos)) {
        if (c >= '0' && c <= '9' && count < kSignificantDigits) digits[count++] = c;
    }
    while (count > 0 && digits[count - 1] == '0') --count;
    if (count == 0) return "0";  // never "-0"
    int exponent = 0;
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);

    char out[64];
    std::size_t size = 0;
    const auto put = [&](char c) { out[size++] = c; };
    const auto putDigits = [&](int from, int to) {
        for (int i = from; i < to; ++i) put(digits[i]);
    };
    if (negative) put('-');
    if (exponent < kLowestPlainExponent || exponent > kHighestPlainExponent) {
        put(digits[0]);
        if (count > 1) {
            put(',');
            putDigits(1, count);
        }
        put('E');
        put(exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) put('0');
        const auto written = std::to_chars(out + size, out + sizeof out, magnitude);
        size = static_cast<std::size_t>(written.ptr - out);
    } else if (exponent < 0) {
        put('0');
        put(',');
        for (int i = 0; i < -exponent - 1; ++i) put('0');
        putDigits(0, count);
    } else if (exponent + 1 >= count) {
        putDigits(0, count);
        for (int i = 0; i < exponent + 1 - count; ++i) put('0');
    } else {
        putDigits(0, exponent + 1);
        put(',');
        putDigits(exponent + 1, count);
    }
    return std::string(out, size);
}

namespace {

// A plain decimal (blanks around it, a sign, at most 15 digits with one comma or period among
// them) read directly: the digits make a whole number a double holds exactly, and dividing it
// by an exact power of ten rounds once, to the double nearest the decimal, as the general
// reading gives. Anything else is left to the general reading.
std::optional<double> plainDecimal(std::string_view text) {
    constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    long long whole = 0;
    int digits = 0;
    int fractionDigits = -1;  // -1: no separator yet
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c >= '0' && c <= '9') {
            if (++digits > 15) return std::nullopt;
            whole = whole * 10 + (c - '0');
            if (fractionDigits >= 0) ++fractionDigits;
        } else if ((c == ',' || c == '.') && fractionDigits < 0) {
            fractionDigits = 0;
        } else {
            break;
        }
    }
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    if (digits == 0 || at != text.size()) return std::nullopt;
    if (whole == 0) return 0.0;  // zero whatever its sign
    const double value = static_cast<double>(whole) / kPowersOfTen[std::max(fractionDigits, 0)];
    return negative ? -value : value;
}

}  // namespace

double textToNumber(std::string_view text) {
    if (const std::optional<double> plain = plainDecimal(text)) return *plain;
    if (detail::isBlank(text)) return 0.0;
    const auto number = detail::parseDecimal(text, ",.");
    if (!number) throw std::invalid_argument("not a number: \"" + std::string(text) + "\"");
    const double value = detail::toDouble(*number);
    if (std::isinf(value)) throw std::invalid_argument("number too large: \"" + std::string(text) + "\"");
    return value;
}

bool leadsWithNonZero(double value) {
    // The amounts met are whole hundredths or zero: their answer needs no text. Near the
    // edges (a fraction that rounds up to one, the smallest plain fractions) the text decides.
    const double magnitude = std::fabs(value);
    if (std::isfinite(value)) {
        if (magnitude == 0) return false;
        if (magnitude >= 1) return true;
        if (magnitude >= 1e-14 && magnitude < 0.5) return false;
    }
    return leadingNumber(numberToText(value)) != 0;
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
