// The utility component: fixed-width number fields, day numbers, printer choice.

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/NumberText.h"
#include "platform/ScriptedPrinterChoice.h"
#include "platform/Utility.h"

namespace tessaran::platform {
namespace {

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
