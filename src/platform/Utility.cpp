#include "Utility.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>

#include "DecimalText.h"
#include "PrinterChoice.h"

namespace tessaran::platform {

namespace {

// Days from 1 January 1970 in the proleptic Gregorian calendar (era-based computation).
long daysFromCivil(long year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct Civil {
    long year;
    int month;
    int day;
};

Civil civilFromDays(long days) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool isLeapYear(long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(long year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Day 0 is 31 December 1967.
const long kDayZero = daysFromCivil(1967, 12, 31);
constexpr long kFirstYear = 1;
constexpr long kLastYear = 9999;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Reads 1 to `maxDigits` digits as a whole field; nullopt otherwise.
std::optional<long> numberField(std::string_view field, std::size_t maxDigits) {
    if (field.empty() || field.size() > maxDigits) return std::nullopt;
    long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return value;
}

// The digits of a decimal text split at the decimal point: value = integer.fraction.
struct FixedPoint {
    std::string integer;
    std::string fraction;
};

FixedPoint toFixedPoint(const detail::DecimalText& number) {
    const std::string& digits = number.digits;
    if (number.exponent >= 0) return {digits + std::string(static_cast<std::size_t>(number.exponent), '0'), ""};
    const auto fractionLength = static_cast<std::size_t>(-number.exponent);
    if (digits.size() <= fractionLength) return {"0", std::string(fractionLength - digits.size(), '0') + digits};
    const std::size_t integerLength = digits.size() - fractionLength;
    return {digits.substr(0, integerLength), digits.substr(integerLength)};
}

// Adds one unit in the last place of a string of digits.
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// Beyond this many places the text cannot be an amount; refusing it bounds the work.
constexpr long kLargestExponent = 400;

// The field of a plain decimal text ("-123,456", "7", ",5": a sign, digits, one separator and
// digits after it), worked out in a buffer: the statements print such numbers by the hundred
// thousand. Anything else (blanks, exponent, "+", long texts) is left to the general reading:
// nothing is returned.
std::optional<std::string> plainField(std::string_view number, std::size_t places, std::size_t fieldWidth) {
    constexpr std::size_t kMostDigits = 18;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t at = 0;
    const bool negative = !number.empty() && number.front() == '-';
    if (negative) ++at;
    const std::size_t integerStart = at;
    while (at < number.size() && isDigit(number[at])) ++at;
    const std::string_view integer = number.substr(integerStart, at - integerStart);
    std::string_view fraction;
    if (at < number.size() && (number[at] == ',' || number[at] == '.')) {
        const std::size_t fractionStart = ++at;
        while (at < number.size() && isDigit(number[at])) ++at;
        fraction = number.substr(fractionStart, at - fractionStart);
        if (fraction.empty()) return std::nullopt;
    }
    if (at != number.size() || (integer.empty() && fraction.empty()) || integer.size() > kMostDigits ||
        fraction.size() > kMostDigits || places > kMostDigits)
        return std::nullopt;

    // The digits kept, integer then `places` of the fraction, one place ahead for a carry.
    char digits[2 * kMostDigits + 8];
    std::size_t count = 0;
    digits[count++] = '0';
    if (integer.empty()) digits[count++] = '0';
    for (const char c : integer) digits[count++] = c;
    const std::size_t integerEnd = count;
    for (std::size_t i = 0; i < places; ++i) digits[count++] = i < fraction.size() ? fraction[i] : '0';
    // Half away from zero, on the decimal digits themselves.
    if (fraction.size() > places && fraction[places] >= '5') {
        std::size_t i = count;
        while (digits[--i] == '9') digits[i] = '0';
        ++digits[i];
    }
    std::size_t first = 0;
    while (first + 1 < integerEnd && digits[first] == '0') ++first;
    bool isZero = true;
    for (std::size_t i = first; i < count; ++i) isZero = isZero && digits[i] == '0';

    char text[2 * kMostDigits + 8];
    std::size_t size = 0;
    if (negative && !isZero) text[size++] = '-';
    for (std::size_t i = first; i < integerEnd; ++i) text[size++] = digits[i];
    if (places > 0) {
        text[size++] = ',';
        for (std::size_t i = integerEnd; i < count; ++i) text[size++] = digits[i];
    }
    std::string field(fieldWidth > size ? fieldWidth - size : 0, ' ');
    field.append(text, size);
    return field;
}

}  // namespace

std::string Utility::ChoixImprimante(const std::string& /*unused*/) {
    const PrinterPick pick = printers_.choose();
    if (pick.index < 0) return "-1";
    copies_ = static_cast<std::int16_t>(std::clamp(pick.copies, 1, static_cast<int>(std::numeric_limits<std::int16_t>::max())));
    return std::to_string(pick.index);
}

std::string Utility::DateEnJours(std::string_view date) {
    const std::string_view text = trimmed(date);
    if (text.empty()) return "";
    const std::size_t firstSlash = text.find('/');
    const std::size_t secondSlash = firstSlash == std::string_view::npos ? firstSlash : text.find('/', firstSlash + 1);
    if (secondSlash == std::string_view::npos) {
        throw std::invalid_argument("not a dd/mm/yyyy date: \"" + std::string(date) + "\"");
    }
    const auto day = numberField(text.substr(0, firstSlash), 2);
    const auto month = numberField(text.substr(firstSlash + 1, secondSlash - firstSlash - 1), 2);
    const auto year = numberField(text.substr(secondSlash + 1), 4);
    if (!day || !month || !year || *year < kFirstYear || *month < 1 || *month > 12 || *day < 1 ||
        *day > daysInMonth(*year, static_cast<int>(*month))) {
        throw std::invalid_argument("not a valid date: \"" + std::string(date) + "\"");
    }
    return std::to_string(daysFromCivil(*year, static_cast<int>(*month), static_cast<int>(*day)) - kDayZero);
}

std::string Utility::FormateDate(std::string_view dayNumber) {
    std::string_view text = trimmed(dayNumber);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long days = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), days);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return "";
    return FormateDate(days);
}

std::string Utility::FormateDate(long dayNumber) {
    // Outside years 1 to 9999 there is no dd/mm/yyyy text; checked before any arithmetic.
    constexpr long kRange = 4'000'000;
    if (dayNumber < -kRange || dayNumber > kRange) return "";
    const Civil date = civilFromDays(dayNumber + kDayZero);
    if (date.year < kFirstYear || date.year > kLastYear) return "";
    // dd/mm/yyyy, written digit by digit: a print run turns a rate date into its period for
    // every flow, and a formatted print costs more than the rest of the conversion.
    const auto digit = [](long value) { return static_cast<char>('0' + value % 10); };
    const long day = date.day;
    const long month = date.month;
    const long year = date.year;
    const char text[] = {digit(day / 10),   digit(day),        '/',          digit(month / 10), digit(month), '/',
                         digit(year / 1000), digit(year / 100), digit(year / 10), digit(year)};
    return std::string(text, sizeof text);
}

std::string Utility::FormateNombre(std::string_view number, std::int32_t width, std::int32_t decimals,
                                   std::int32_t /*option*/) {
    const auto places = static_cast<std::size_t>(std::max(decimals, 0));
    const auto fieldWidth = static_cast<std::size_t>(std::max(width, 0)) + 1 + places;
    if (std::optional<std::string> field = plainField(number, places, fieldWidth)) return std::move(*field);

    const auto parsed = detail::isBlank(number) ? std::optional<detail::DecimalText>(detail::DecimalText{})
                                                : detail::parseDecimal(number, ",.");
    if (!parsed) throw std::invalid_argument("FormateNombre: not a number: \"" + std::string(number) + "\"");
    if (parsed->exponent > kLargestExponent || parsed->exponent < -kLargestExponent) {
        throw std::invalid_argument("FormateNombre: number out of range: \"" + std::string(number) + "\"");
    }

    // Round half away from zero on the decimal digits themselves: "0,125" gives "0,13".
    FixedPoint value = toFixedPoint(*parsed);
    const bool roundUp = value.fraction.size() > places && value.fraction[places] >= '5';
    value.fraction.resize(places, '0');
    if (roundUp) {
        std::string all = value.integer + value.fraction;
        incrementDigits(all);
        value.integer = all.substr(0, all.size() - places);
        value.fraction = all.substr(all.size() - places);
    }
    value.integer.erase(0, std::min(value.integer.find_first_not_of('0'), value.integer.size() - 1));
    const bool isZero = value.integer == "0" && value.fraction.find_first_not_of('0') == std::string::npos;

    std::string text = parsed->negative && !isZero ? "-" : "";
    text += value.integer;
    if (places > 0) text += ',' + value.fraction;
    if (text.size() >= fieldWidth) return text;  // too wide: printed whole
    return std::string(fieldWidth - text.size(), ' ') + text;
}

}  // namespace tessaran::platform
