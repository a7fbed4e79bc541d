#pragma once
// Conversions between numbers and text. The application converts for display in the French
// convention (decimal comma); the leading-number reader serves wherever the number that
// starts a text is meant, whatever follows it.

#include <string>
#include <string_view>

namespace tessaran::platform {

// Shortest decimal text that reads back to `value` (at most 15 significant digits), with a
// decimal comma, no thousands separator, "-" for negatives: 12.5 gives "12,5", 3 gives "3".
std::string numberToText(double value);

// Whether the number at the start of numberToText(value) is other than zero: a number of at
// least one shows a whole part, a fraction below one shows "0,..." (a tiny one, written with
// an exponent, reads as itself). Throws as numberToText does.
bool leadsWithNonZero(double value);

// Reads a number written with a decimal comma (or a period), surrounding spaces allowed;
// the empty text gives 0. Throws std::invalid_argument for any other text.
double textToNumber(std::string_view text);

// The number at the start of a text: period as the decimal separator, spaces skipped, stops at
// the first character it cannot read; the empty text (or one with no number) gives 0.
double leadingNumber(std::string_view text);

}  // namespace tessaran::platform
