#include "billing/RunValues.h"

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

double numberOf(std::string_view text) { return platform::leadingNumber(text); }

std::string storedNumber(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
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

void addTo(db::DynamicArray& accumulator, int line, int value, double amount) {
    accumulator.set(line, value, storedNumber(numberOf(accumulator.get(line, value)) + amount));
}

std::string associationTitle(const std::string& code, const std::shared_ptr<db::Record>& fedeassoc) {
    std::string title = code;
    if (fedeassoc && fedeassoc->key() == code && !fedeassoc->get(db::attr::association::kName).empty()) {
        title += " (" + fedeassoc->get(db::attr::association::kName) + ")";
    }
    return title;
}

}  // namespace tessaran::billing
