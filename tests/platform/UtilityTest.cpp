// The utility component: fixed-width number fields, day numbers, printer choice.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include "platform/DecimalText.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPrinterChoice.h"
#include "platform/Utility.h"

namespace tessaran::platform {
namespace {

// The field worked out on strings from the decimal reading: digits shifted by the exponent,
// rounded half away from zero on the digits, leading zeros dropped, padded on the left.
std::string modelField(std::string_view number, int width, int decimals) {
    const auto parsed = detail::isBlank(number) ? std::optional(detail::DecimalText{})  // blank: zero
                                                : detail::parseDecimal(number, ",.");
    if (!parsed) return "refused";
    std::string integer = parsed->digits;
    std::string fraction;
    if (parsed->exponent >= 0) {
        integer += std::string(static_cast<std::size_t>(parsed->exponent), '0');
    } else {
        const auto shift = static_cast<std::size_t>(-parsed->exponent);
        if (integer.size() <= shift) integer.insert(0, shift - integer.size() + 1, '0');
        fraction = integer.substr(integer.size() - shift);
        integer.erase(integer.size() - shift);
    }
    const auto places = static_cast<std::size_t>(decimals);
    std::string all = integer + (fraction + std::string(places, '0')).substr(0, places);
    if (fraction.size() > places && fraction[places] >= '5') {
        std::size_t i = all.size();
        while (i > 0 && all[i - 1] == '9') all[--i] = '0';
        if (i == 0)
            all.insert(0, "1");
        else
            ++all[i - 1];
    }
    std::string whole = all.substr(0, all.size() - places);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    const bool zero = all.find_first_not_of('0') == std::string::npos;
    std::string text = (parsed->negative && !zero ? "-" : "") + whole;
    if (places > 0) text += "," + all.substr(all.size() - places);
    const std::size_t field = static_cast<std::size_t>(width) + 1 + places;
    return text.size() >= field ? text : std::string(field - text.size(), ' ') + text;
}

TEST(FormateNombre, PlainDecimalsAgreeWithTheDecimalReading) {
    std::mt19937 random(1206);
    const auto digits = [&](int most) {
        std::string text;
        for (int n = std::uniform_int_distribution<int>(0, most)(random); n > 0; --n)
            text += static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(random));
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string number = round % 3 == 0 ? "-" : "";
        number += round % 7 == 0 ? std::string("0") + digits(3) : digits(round % 5 == 0 ? 20 : 8);
        if (round % 2 == 0) number += std::string(round % 4 == 0 ? "," : ".") + (round % 11 == 0 ? "" : digits(6));
        if (round % 9 == 0) number = std::string(static_cast<std::size_t>(round % 5), '9') + ",995";
        const int width = std::uniform_int_distribution<int>(0, 10)(random);
        const int decimals = std::uniform_int_distribution<int>(0, 4)(random);
        std::string field;
        try {
            field = Utility::FormateNombre(number, width, decimals, 0);
        } catch (const std::invalid_argument&) {
            field = "refused";
        }
        ASSERT_EQ(field, modelField(number, width, decimals)) << "[" << number << "] " << width << " " << decimals;
    }
}

TEST(FormateNombre, WidthsRoundingSignsAndValuesTooWide) {
    struct Case {
        const char* number;
        int width;
        const char* field;
    };
    const Case cases[] = {
        {"12,5", 6, "    12,50"}, {"1234,56", 8, "    1234,56"}, {"98765,4", 9, "    98765,40"},
        {"0", 6, "     0,00"}, {"", 9, "        0,00"}, {"123456", 6, "123456,00"},  // exactly full
        {"12.5", 6, "    12,50"}, {"  0012,30 ", 6, "    12,30"}, {"2,5E-1", 6, "     0,25"},
        // Half away from zero on the decimal text: the doubles of 2.675 and 1.005 lie below it.
        {"0,125", 6, "     0,13"}, {"2,675", 6, "     2,68"}, {"1,005", 6, "     1,01"}, {"-0,125", 6, "    -0,13"},
        {"99,995", 6, "   100,00"}, {"999999,999", 6, "1000000,00"},  // the carry runs into the integer part
        {"-12,5", 6, "   -12,50"}, {"-0,004", 6, "     0,00"},          // rounds to zero: no sign
        // Too wide: whole, never cut; the sign counts in the width.
        {"1234567", 6, "1234567,00"}, {"-123456", 6, "-123456,00"}, {"1E+12", 6, "1000000000000,00"},
    };
    for (const Case& c : cases) EXPECT_EQ(Utility::FormateNombre(c.number, c.width, 2, 0), c.field) << c.number;
    EXPECT_EQ(Utility::FormateNombre(numberToText(1234567 / 100.0), 8, 2, 0), "   12345,67");
    EXPECT_THROW(Utility::FormateNombre("douze", 6, 2, 0), std::invalid_argument);
    EXPECT_THROW(Utility::FormateNombre("12,5 F", 6, 2, 0), std::invalid_argument);
    EXPECT_EQ(Utility::FormateNombre("2,5", 4, 0, 0), "    3");  // width + 1 characters, no comma
    EXPECT_EQ(Utility::FormateNombre("2,4999", 3, 3, 7), "  2,500");
}

TEST(DayNumbers, KnownDaysLeapYearsAndCenturies) {
    const std::pair<const char*, long> known[] = {{"31/12/1967", 0},    {"01/01/1968", 1},   {"30/12/1967", -1},
                                                  {"01/01/1967", -364}, {"01/01/1970", 732}, {"01/01/2000", 11689}};
    for (const auto& [date, day] : known) {
        EXPECT_EQ(Utility::DateEnJours(date), std::to_string(day)) << date;
        EXPECT_EQ(Utility::FormateDate(day), date) << day;
    }
    const auto days = [](const char* date) { return std::stol(Utility::DateEnJours(date)); };
    // 2000 is a leap year, 1900 and 2100 are not.
    EXPECT_EQ(Utility::FormateDate(days("28/02/2000") + 1), "29/02/2000");
    EXPECT_EQ(days("01/03/1900") - days("28/02/1900"), 1);
    EXPECT_EQ(days("01/03/2100") - days("28/02/2100"), 1);
    EXPECT_THROW(Utility::DateEnJours("29/02/1900"), std::invalid_argument);
    EXPECT_THROW(Utility::DateEnJours("29/02/2100"), std::invalid_argument);
    EXPECT_EQ(days("01/01/2000") - days("01/01/1600"), 146097);  // 400 Gregorian years
}

TEST(DayNumbers, EveryDayRoundTripsAcrossCenturies) {
    for (long day = -700000; day <= 800000; day += 97) {
        const std::string date = Utility::FormateDate(day);
        ASSERT_EQ(date.size(), 10u) << day;
        ASSERT_EQ(Utility::DateEnJours(date), std::to_string(day)) << date;
    }
}

TEST(DayNumbers, UnreadableTextsAndLenientForms) {
    for (const char* bad : {"", "  ", "abc", "12x", "1.5", "99999999999"}) EXPECT_EQ(Utility::FormateDate(bad), "");
    EXPECT_EQ(Utility::FormateDate(" 12486 "), Utility::FormateDate(12486L));
    EXPECT_EQ(Utility::DateEnJours(""), "");
    EXPECT_EQ(Utility::DateEnJours("1/3/2002"), Utility::DateEnJours("01/03/2002"));
    for (const char* bad : {"01-03-2002", "32/01/2002", "01/13/2002", "00/01/2002", "01/01/0000", "1/1/"})
        EXPECT_THROW(Utility::DateEnJours(bad), std::invalid_argument) << bad;
}

TEST(ChoixImprimante, ReturnsTheIndexAndRemembersTheCopies) {
    ScriptedPrinterChoice printers({1, 4}, {"a", "b"});
    Utility utility(printers);
    EXPECT_EQ(utility.ChoixImprimante(""), "1");
    EXPECT_EQ(utility.NbExemplaires(), 4);

    ScriptedPrinterChoice cancelling({-1, 9});
    Utility other(cancelling);
    EXPECT_EQ(other.ChoixImprimante(""), "-1");
    EXPECT_EQ(other.NbExemplaires(), 1);
}

}  // namespace
}  // namespace tessaran::platform
