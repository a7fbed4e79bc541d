#include "DateText.h"

#include <array>
#include <cstdio>
#include <stdexcept>

namespace tessaran::platform {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {
    "janvier", "février", "mars",      "avril",   "mai",      "juin",
    "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};

std::string fourDigitYear(int year) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d", year);
    return buffer;
}

// Replaces the accented capitals of the month names by plain letters, so that a period
// typed without accents ("FEVRIER 2001") is recognised too.
std::string withoutAccents(std::string_view upper) {
    std::string result;
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const auto lead = static_cast<unsigned char>(upper[i]);
        if (lead == 0xC3 && i + 1 < upper.size()) {
            const auto next = static_cast<unsigned char>(upper[i + 1]);
            if (next >= 0x80 && next <= 0x85) { result += 'A'; ++i; continue; }
            if (next >= 0x88 && next <= 0x8B) { result += 'E'; ++i; continue; }
            if (next >= 0x8C && next <= 0x8F) { result += 'I'; ++i; continue; }
            if (next >= 0x92 && next <= 0x96) { result += 'O'; ++i; continue; }
            if (next >= 0x99 && next <= 0x9C) { result += 'U'; ++i; continue; }
            if (next == 0x87) { result += 'C'; ++i; continue; }
        }
        result += upper[i];
    }
    return result;
}

}  // namespace

std::string frenchMonthName(int month) {
    if (month < 1 || month > 12) throw std::out_of_range("month " + std::to_string(month) + " is not 1 to 12");
    return kMonthNames[static_cast<std::size_t>(month - 1)];
}

std::string periodInWords(const YearMonth& ym) { return frenchMonthName(ym.month) + " " + fourDigitYear(ym.year); }

std::string periodInCapitals(const YearMonth& ym) { return toUpperFrench(periodInWords(ym)); }

std::optional<YearMonth> parsePeriod(std::string_view yyyymm) {
    if (yyyymm.size() != 6) return std::nullopt;
    for (const char c : yyyymm) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    const auto digitsValue = [&](std::size_t from, std::size_t count) {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) value = value * 10 + (yyyymm[i] - '0');
        return value;
    };
    const YearMonth ym{digitsValue(0, 4), digitsValue(4, 2)};
    if (ym.month < 1 || ym.month > 12) return std::nullopt;
    return ym;
}

std::optional<std::string> periodFromCapitals(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const std::size_t space = text.rfind(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const std::string_view year = text.substr(space + 1);
    if (year.size() != 4 || year.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    std::string_view name = text.substr(0, space);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);

    const std::string wanted = withoutAccents(toUpperFrench(name));
    for (int month = 1; month <= 12; ++month) {
        if (withoutAccents(toUpperFrench(frenchMonthName(month))) == wanted) {
            char monthDigits[16];
            std::snprintf(monthDigits, sizeof monthDigits, "%02d", month);
            return std::string(year) + monthDigits;
        }
    }
    return std::nullopt;
}

std::string toUpperFrench(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte >= 'a' && byte <= 'z') {
            result += static_cast<char>(byte - 'a' + 'A');
        } else if (byte == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) {
            // Latin-1 small letters à..þ (÷ excepted) sit 0x20 above their capitals.
            result += static_cast<char>(0xC3);
            result += static_cast<char>(next - 0x20);
            ++i;
        } else if (byte == 0xC3 && next == 0xBF) {  // ÿ -> Ÿ (U+0178)
            result += "\xC5\xB8";
            ++i;
        } else if (byte == 0xC5 && next == 0x93) {  // œ -> Œ
            result += "\xC5\x92";
            ++i;
        } else {
            result += static_cast<char>(byte);
        }
    }
    return result;
}

std::string periodDigits(const YearMonth& ym) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d", ym.year % 10000, ym.month % 100);
    return text;
}

}  // namespace tessaran::platform
