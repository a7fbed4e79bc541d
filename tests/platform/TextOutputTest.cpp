// The plain-text rendition: columns and rows from twips, overwriting, trimming, accented
// characters, form feeds between pages; and the recording output tests share.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/Printer.h"
#include "platform/RecordingPageSink.h"
#include "platform/ScriptedPrinterChoice.h"
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

TEST(TextGrid, AccentedCharactersTakeOneColumnAndTheEdgesClip) {
    TextGrid grid;
    grid.put(0, 227, "ÉTAT DE DÉCEMBRE");
    grid.put(0, 2 * 227, "0123456789");
    grid.put(3 * 120, 2 * 227, "é");
    grid.put(-2 * 120, 3 * 227, "abcd");
    grid.put(0, -227, "above the page");
    EXPECT_EQ(grid.render(), "\nÉTAT DE DÉCEMBRE\n012é456789\ncd");
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

TEST(RecordingOutputs, KeepOperationsPerPageAndOutliveThePrinter) {
    ScriptedPrinterChoice choice({1, 3}, {"first", "second"});
    EXPECT_EQ(choice.lastOutput(), nullptr);
    const PrinterPick pick = choice.choose();
    EXPECT_EQ(pick.copies, 3);
    EXPECT_EQ(choice.timesAsked(), 1);
    {
        Printer printer(choice.open(pick.index), "second");
        printer.print("un", true);
        printer.line(1, 2, 3, 4);
        printer.newPage();
        printer.setFontBold(true);
        printer.print("deux", true);
        printer.endDoc();
    }
    const auto output = choice.lastOutput();
    ASSERT_NE(output, nullptr);
    ASSERT_EQ(output->ops().size(), 5u);
    EXPECT_EQ(output->ops()[1].kind, RecordedOp::Kind::Line);
    EXPECT_EQ(output->ops()[3].page, 1);
    EXPECT_TRUE(output->ops()[3].font.bold);
    EXPECT_TRUE(output->ended());
    EXPECT_EQ(output->pagesAsText(), (std::vector<std::string>{"un", "deux"}));

    choice.open(0)->drawText(0, 0, "other", Font{});  // a new document, a new recording
    EXPECT_EQ(choice.lastOutput()->pagesAsText(), std::vector<std::string>{"other"});
    EXPECT_THROW(choice.open(2), std::out_of_range);
}

}  // namespace
}  // namespace tessaran::platform
