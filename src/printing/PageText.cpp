#include "printing/PageText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "database/Attributes.h"
#include "platform/DateText.h"
#include "platform/NumberText.h"
#include "platform/Printer.h"
#include "platform/Utility.h"

namespace tessaran::printing {

std::string spaces(int count) { return std::string(static_cast<std::size_t>(std::max(count, 0)), ' '); }

std::string firstCharacters(std::string_view utf8, int count) {
    int seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == count) return std::string(utf8.substr(0, i));
    }
    return std::string(utf8);
}

std::string padded(std::string_view utf8, int width) {
    std::string text = firstCharacters(utf8, width);
    return text + spaces(width - platform::Printer::characterCount(text));
}

std::string numberField(double value, int width) {
    // The figures printed are mostly whole hundredths, give or take what adding doubles leaves.
    // Within a millionth of a cent of one, the number's text (15 significant digits) rounds at
    // two decimals to that very cent, far from any half cent: the field is written from it
    // directly. Anything else (a half cent, a huge or odd number) takes the general way.
    const double cents = value * 100;
    const double whole = std::nearbyint(cents);
    if (std::isfinite(cents) && std::fabs(cents - whole) <= 1e-6 && std::fabs(whole) < 1e13) {
        const auto count = static_cast<long long>(std::fabs(whole));
        char text[32];
        std::size_t size = 0;
        if (whole < 0) text[size++] = '-';
        const auto units = std::to_chars(text + size, text + sizeof text, count / 100);
        size = static_cast<std::size_t>(units.ptr - text);
        text[size++] = ',';
        text[size++] = static_cast<char>('0' + count % 100 / 10);
        text[size++] = static_cast<char>('0' + count % 10);
        const auto fieldWidth = static_cast<std::size_t>(std::max(width, 0)) + 3;
        std::string field(size < fieldWidth ? fieldWidth - size : 0, ' ');
        field.append(text, size);
        return field;
    }
    return platform::Utility::FormateNombre(platform::numberToText(value), width, 2, 0);
}

double printedValue(std::string_view field) { return platform::textToNumber(field); }

double storedNumber(std::string_view text) {
    std::string normalised(text);
    std::replace(normalised.begin(), normalised.end(), ',', '.');
    return platform::leadingNumber(normalised);
}

bool showsAsNonZero(double value) { return platform::leadsWithNonZero(value * 100); }

std::string addressText(const db::DynamicArray& record) {
    std::string text;
    for (int attribute = db::attr::address::kFirstPart; attribute <= db::attr::address::kLastPart; ++attribute) {
        const std::string part = record.get(attribute);
        if (!part.empty()) text += part + " ";
    }
    return text;
}

std::string postcodeTownText(const db::DynamicArray& record) {
    return record.get(db::attr::address::kPostcode) + " " + record.get(db::attr::address::kTown);
}

std::string periodText(std::string_view yyyymm) {
    if (const auto period = platform::parsePeriod(yyyymm)) return platform::periodInCapitals(*period);
    return firstCharacters(yyyymm, 15);
}

std::string dateText(const platform::CalendarDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.day % 100, date.month % 100, date.year % 10000);
    return text;
}

}  // namespace tessaran::printing
