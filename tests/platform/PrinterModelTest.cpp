// The position model: where the next item goes, line heights, rules and page starts.

#include <gtest/gtest.h>

#include <memory>

#include "platform/Printer.h"
#include "platform/RecordingPageSink.h"

namespace tessaran::platform {
namespace {

constexpr double cm(double centimetres) { return centimetres * kTwipsPerCm; }

class PrinterModel : public ::testing::Test {
protected:
    RecordingPageSink* recording = new RecordingPageSink;  // owned by the printer
    Printer printer{std::unique_ptr<PageSink>(recording), "test"};
};

TEST_F(PrinterModel, ItemsContinueOrEndTheLine) {
    printer.print(" ", true);  // a blank line moves down one line
    printer.setCurrentY(cm(0.4));  // 10-point lines are 227 twips high, characters 120 wide
    const std::string name = "FÉDÉRATION DES SERVICES";  // 23 characters, 25 bytes
    printer.setFontUnderline(true);
    printer.print(name, false);
    EXPECT_DOUBLE_EQ(printer.currentX(), 23 * 120.0);
    printer.setFontUnderline(false);
    printer.print(std::string(70 - 23, ' ') + "Date : 05/03/2002", true);
    EXPECT_DOUBLE_EQ(printer.currentX(), 0);
    EXPECT_DOUBLE_EQ(printer.currentY(), cm(0.4) + 227);

    // The date starts at character 70 of the first heading line; each item keeps its font.
    const auto& ops = recording->ops();
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_DOUBLE_EQ(ops[2].x + (70 - 23) * 120.0, 70 * 120.0);
    EXPECT_DOUBLE_EQ(ops[2].y, cm(0.4));
    EXPECT_TRUE(ops[1].font.underline);
    EXPECT_FALSE(ops[2].font.underline);

    // A 14-point title line is 317 twips high and its characters 168 wide.
    printer.setFontSize(14);
    printer.print("ÉTÉ", false);
    EXPECT_DOUBLE_EQ(printer.currentX(), 3 * 168.0);
    printer.print("", true);
    EXPECT_DOUBLE_EQ(printer.currentY(), cm(0.4) + 227 + 317);
    EXPECT_EQ(ops.size(), 4u) << "an empty item draws nothing";
}

TEST_F(PrinterModel, RulesLeaveThePositionAtTheirEndAndPagesStartAtOrigin) {
    printer.setDrawWidth(3);
    printer.line(cm(0.1), cm(6.7), cm(19.5), cm(6.7));
    EXPECT_DOUBLE_EQ(printer.currentX(), cm(19.5));
    EXPECT_DOUBLE_EQ(printer.currentY(), cm(6.7));
    EXPECT_EQ(recording->ops().back().width, 3);

    printer.newPage();
    EXPECT_DOUBLE_EQ(printer.currentX(), 0);
    EXPECT_DOUBLE_EQ(printer.currentY(), 0);
    printer.print("page 2", true);
    EXPECT_EQ(recording->ops().back().page, 1);

    printer.endDoc();
    printer.endDoc();  // ending twice ends once
    int ends = 0;
    for (const auto& op : recording->ops()) ends += op.kind == RecordedOp::Kind::EndDocument;
    EXPECT_EQ(ends, 1);
}

// A new page reaches the output with what is put on it: one left empty at the end is not part
// of the document; two in a row give the blank page between them.
TEST_F(PrinterModel, ADocumentDoesNotEndWithAnEmptyNewPage) {
    printer.print("page 1", true);
    printer.newPage();
    printer.newPage();
    printer.setCurrentY(cm(2));
    printer.line(0, cm(2), cm(5), cm(2));  // a rule alone puts the page in the document
    printer.newPage();
    printer.setFontSize(14);
    printer.endDoc();
    EXPECT_EQ(printer.pageCount(), 3);
    EXPECT_EQ(recording->pageCount(), 3);
    EXPECT_EQ(recording->ops().back().kind, RecordedOp::Kind::EndDocument);
}

}  // namespace
}  // namespace tessaran::platform
