#pragma once
// French month names and the period formats the control uses. Pure functions, no locale:
// "mmmm yyyy" gives "mars 2002", and the documents print it in capitals ("MARS 2002").

#include <optional>
#include <string>
#include <string_view>

namespace tessaran::platform {

struct YearMonth {
    int year = 0;
    int month = 0;
};

// "janvier" .. "décembre" for 1..12.
std::string frenchMonthName(int month);
// "mmmm yyyy" in lower case ("mars 2002") and upper case ("MARS 2002").
std::string periodInWords(const YearMonth& ym);
std::string periodInCapitals(const YearMonth& ym);
// The period as "yyyymm" ("200203").
std::string periodDigits(const YearMonth& ym);
// "yyyymm" text to its year and month; nullopt when it is not six digits with a valid month.
std::optional<YearMonth> parsePeriod(std::string_view yyyymm);
// Reads a period name as shown in the combo box ("MARS 2002") back as "200203".
std::optional<std::string> periodFromCapitals(std::string_view text);
// Upper case of a UTF-8 text, accented French letters included ("décembre" -> "DÉCEMBRE").
std::string toUpperFrench(std::string_view text);

}  // namespace tessaran::platform
