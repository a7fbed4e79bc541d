// The plain-text rendition: columns and rows from twips, overwriting, trimming, accented
// characters, form feeds between pages.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/TextPageSink.h"

namespace tessaran::platform {
namespace {

TEST(TextGrid, PlacesItemsOnTheCharacterGrid) {
    TextGrid grid;
    grid.put(0, 0, "A");
    grid.put(2 * 120, 0, "BC");
    grid.put(59, 227, "near column 0");    // 59 / 120 rounds down
    grid.put(61, 2 * 227 + 113, "col 1");  // 61 / 120 rounds up; 567 / 227 rounds to 2
    grid.put(0, 4 * 227, "XXXXXX   ");
    grid.put(2 * 120, 4 * 227, "ab");       // overwrites
    grid.put(0, 6 * 227, "      ");        // blanks only: no trailing empty line
    EXPECT_EQ(grid.render(), "A BC\nnear column 0\n col 1\n\nXXabXX");
}

TEST(TextGrid, BlanksOfAnItemBlankWhatTheyCoverAndPaddingKeepsItsColumns) {
    TextGrid grid;
    grid.put(0, 0, "0123456789");
    grid.put(2 * 120, 0, "  ab  ");       // leading and trailing blanks over earlier characters
    grid.put(12 * 120, 0, "   x   ");     // padded past the end of the row
    grid.put(0, 227, "     ");
    grid.put(3 * 120, 227, "  yé  ");
    grid.put(0, 2 * 227, "abcdef");
    grid.put(4 * 120, 2 * 227, "      ");  // blanks only, partly over the row
    EXPECT_EQ(grid.render(), "01  ab  89     x\n     y\xC3\xA9\nabcd");
}

TEST(TextGrid, AccentedCharactersTakeOneColumnAndTheEdgesClip) {
    TextGrid grid;
    grid.put(0, 227, "ÉTAT DE DÉCEMBRE");
    grid.put(0, 2 * 227, "0123456789");
    grid.put(3 * 120, 2 * 227, "é");
    grid.put(-2 * 120, 3 * 227, "abcd");
    grid.put(0, -227, "above the page");
    // A character of four bytes, then one that continuation bytes make longer; "x" replaces "€".
    grid.put(0, 4 * 227, "a€\xF0\x9F\x98\x80" "\x80\x80" "b");
    grid.put(120, 4 * 227, "x");
    EXPECT_EQ(grid.render(), "\nÉTAT DE DÉCEMBRE\n012é456789\ncd\nax\xF0\x9F\x98\x80" "\x80\x80" "b");
    EXPECT_TRUE(TextGrid{}.empty());
}

TEST(TextPageSink, SeparatesPagesWithFormFeedsAndIgnoresRules) {
    std::ostringstream out;
    TextPageSink sink(out);
    sink.drawText(0, 227, "page one", Font{});
    sink.drawLine(0, 0, 19.5 * 567, 0, 3);
    sink.newPage();
    sink.newPage();  // an empty page is still a page
    sink.drawText(5 * 120, 0, "page three", Font{});
    sink.endDocument();
    sink.drawText(0, 0, "after the end", Font{});
    sink.endDocument();
    EXPECT_EQ(out.str(), "\npage one\n\f\f     page three\n");
}

}  // namespace
}  // namespace tessaran::platform
