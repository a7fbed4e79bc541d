#pragma once
// Small value helpers of the runs: pieces of flow keys, periods of
// stored dates, numbers as the accumulators and the records keep them, invoice numbers.

#include <memory>
#include <string>
#include <string_view>

#include "database/Database.h"

namespace tessaran::billing {

inline constexpr const char* kMessageTitle = "Message VELORANDE";
inline constexpr const char* kNoFundingBody = "000";
inline constexpr const char* kServiceRateLabel = "TAUX PRESTATION";

// `count` characters of `text` from character `first` (counted from 1), as many as there are.
std::string mid(std::string_view text, std::size_t first, std::size_t count);

// Parts of a flow key: association code, sector code, period of the flow.
inline std::string associationOfKey(std::string_view key) { return mid(key, 6, 3); }
inline std::string sectorOfKey(std::string_view key) { return mid(key, 9, 3); }
inline std::string periodOfKey(std::string_view key) { return mid(key, 12, 6); }

// "yyyymm" of a stored date (a day number); "" for an empty or unreadable one.
std::string periodOfDay(std::string_view dayNumber);

// A record value taken as a number: its leading number, the empty text giving 0.
double numberOf(std::string_view text);

// A number as the accumulators and the records keep it: a decimal point, at most 15
// significant digits, no exponent for the amounts met here; "0" for zero.
std::string storedNumber(double value);

// An invoice number: the whole number left-padded with "0" to ten digits.
std::string invoiceNumberText(double value);

// Int(x): the largest whole number not greater than x.
double wholePart(double value);

// What a value written as storedNumber(value) reads back as: numberOf(storedNumber(value)),
// without writing the text when the value is a whole number that 15 digits hold.
double readBack(double value);

// "Association 001 (name)": how the messages of the runs name an association.
std::string associationTitle(const std::string& code, const std::shared_ptr<db::Record>& fedeassoc);

}  // namespace tessaran::billing
