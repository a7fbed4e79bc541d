#include "billing/RunValues.h"

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
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
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
