#pragma once
// Text pieces of the printed documents. The documents are drawn in a fixed-pitch font, so a
// column is a character count: texts are padded with spaces and numbers are fixed-width
// fields with a decimal comma. Character counts are in characters (UTF-8 code points), the
// unit in which the printer advances.

#include <string>
#include <string_view>

#include "database/DynamicArray.h"
#include "platform/Clock.h"

namespace tessaran::printing {

// `count` spaces; none when `count` is 0 or less.
std::string spaces(int count);

// The first `count` characters of a UTF-8 text (the whole text when it is shorter).
std::string firstCharacters(std::string_view utf8, int count);

// The text cut to `width` characters, then padded with spaces to exactly `width` characters.
std::string padded(std::string_view utf8, int width);

// A number field: the value as number text, right-aligned in width + 3 characters with two
// decimals after a comma ("     12,50" for 12.5 and width 6).
std::string numberField(double value, int width);

// The value a printed number field reads as; running totals add these, so a total is the
// sum of the rounded figures on the page.
double printedValue(std::string_view field);

// A figure stored in a record or an accumulator, read as the number at its start; a decimal
// comma is read like a period, and the empty text is 0.
double storedNumber(std::string_view text);

// True when a hundredths figure shows as something other than zero: the value times 100,
// written as number text and read back by the leading-number reader.
bool showsAsNonZero(double value);

// The address parts of a name-and-address record (attributes 3 to 6): each part that is not
// empty followed by one space; "" when all are empty.
std::string addressText(const db::DynamicArray& record);

// The postcode and town line (attributes 8 and 9 joined by one space).
std::string postcodeTownText(const db::DynamicArray& record);

// A billed period "yyyymm" as the month name and year in capitals ("NOVEMBRE 2026"). A text
// that is not such a period is shown as it is, cut to 15 characters.
std::string periodText(std::string_view yyyymm);

// A calendar date as "dd/mm/yyyy".
std::string dateText(const platform::CalendarDate& date);

}  // namespace tessaran::printing
