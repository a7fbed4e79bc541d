#include "billing/RunValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "database/Attributes.h"

#include "platform/NumberText.h"
#include "platform/Utility.h"

namespace tessaran::billing {

std::string mid(std::string_view text, std::size_t first, std::size_t count) {
    if (first == 0 || first > text.size()) return {};
    return std::string(text.substr(first - 1, count));
}

std::string periodOfDay(std::string_view dayNumber) {
    const std::string date = platform::Utility::FormateDate(dayNumber);  // dd/mm/yyyy
    if (date.size() < 10) return {};
    return date.substr(6, 4) + date.substr(3, 2);
}

namespace {

// At most this many digits make a whole number that a double holds exactly and that 15
// significant digits write out in full.
constexpr std::size_t kWholeDigits = 15;
constexpr double kWholeBound = 1e15;

}  // namespace

double numberOf(std::string_view text) {
    // The accumulators and the records mostly hold whole numbers of hundredths: digits alone
    // (a minus sign before them) read as the same whole number without the general reading.
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    const bool whole = digits.size() <= kWholeDigits && !(negative && digits.empty()) &&
                       std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!whole) return platform::leadingNumber(text);
    long long value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    // Zero reads as zero whatever its sign, as the general reading gives it.
    return negative && value != 0 ? -static_cast<double>(value) : static_cast<double>(value);
}

std::string storedNumber(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    // A whole number below 10^15 is its digits: what 15 significant digits give, written
    // without the general conversion.
    if (std::fabs(value) < kWholeBound && value == std::trunc(value)) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value));
        return std::string(digits, end.ptr);
    }
    // Always a decimal point, whatever the desktop's locale: a French desk's decimal comma
    // would end the number there when it is read back.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, written.ptr);
}

std::string invoiceNumberText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%010lld", static_cast<long long>(std::llround(value)));
    return buffer;
}

double wholePart(double value) { return std::floor(value); }

double readBack(double value) {
    // A whole number below 10^15 is written as its digits and read back as itself; zero,
    // whatever its sign, as "0", which reads as zero.
    if (std::fabs(value) < kWholeBound && value == std::trunc(value)) return value == 0 ? 0.0 : value;
    if (!std::isfinite(value)) return 0;  // written as "0"
    // Otherwise the text is a correctly rounded decimal of 15 digits at most, and the general
    // reading of it is the nearest double to that decimal: what reading it directly gives.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double reading = 0;
    std::from_chars(buffer, written.ptr, reading);
    return reading;
}

std::string associationTitle(const std::string& code, const std::shared_ptr<db::Record>& fedeassoc) {
    std::string title = code;
    if (fedeassoc && fedeassoc->key() == code && !fedeassoc->get(db::attr::association::kName).empty()) {
        title += " (" + fedeassoc->get(db::attr::association::kName) + ")";
    }
    return title;
}

}  // namespace tessaran::billing
