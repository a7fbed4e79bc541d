// French month names, period texts in words and capitals, and their reading back.

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/DateText.h"

namespace tessaran::platform {
namespace {

TEST(DateText, PeriodsInWordsAndInCapitalsKeepTheirAccents) {
    EXPECT_EQ(periodInWords({2002, 3}), "mars 2002");
    EXPECT_EQ(periodInCapitals({2001, 12}), "DÉCEMBRE 2001");
    EXPECT_EQ(periodInCapitals({2002, 8}), "AOÛT 2002");
    EXPECT_THROW(frenchMonthName(0), std::out_of_range);
    EXPECT_THROW(frenchMonthName(13), std::out_of_range);
    EXPECT_EQ(toUpperFrench("éèêëàâäîïôöùûüçœæÿ"), "ÉÈÊËÀÂÄÎÏÔÖÙÛÜÇŒÆŸ");
    EXPECT_EQ(toUpperFrench("Réedition n°3 ÷ 2"), "RÉEDITION N°3 ÷ 2");
}

TEST(DateText, ReadsSixDigitPeriodsAndPeriodNamesBack) {
    ASSERT_TRUE(parsePeriod("200203"));
    EXPECT_EQ(parsePeriod("200203")->year, 2002);
    EXPECT_EQ(parsePeriod("200203")->month, 3);
    for (const char* bad : {"", "20023", "2002031", "200200", "200213", "2002a3", " 20023"})
        EXPECT_FALSE(parsePeriod(bad)) << bad;

    EXPECT_EQ(periodFromCapitals("décembre 2001"), "200112");
    EXPECT_EQ(periodFromCapitals("FEVRIER 2001"), "200102");
    EXPECT_EQ(periodFromCapitals(" AOÛT 2002 "), "200208");
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(periodFromCapitals(periodInCapitals({1999, month})), std::to_string(199900 + month));
    for (const char* bad : {"", "MARS", "2002", "MARCH 2002", "MARS 02", "MARS 20O2", "MARSS 2002"})
        EXPECT_FALSE(periodFromCapitals(bad)) << bad;
}

}  // namespace
}  // namespace tessaran::platform
