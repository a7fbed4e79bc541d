// The position model: where the next item goes, line heights, rules and page starts.

#include <gtest/gtest.h>

#include <memory>

#include "platform/Printer.h"
#include "platform/RecordingPageSink.h"

namespace tessaran::platform {
namespace {

constexpr double cm(double centimetres) { return centimetres * kTwipsPerCm; }

struct RecordedPrinter {
    RecordedPrinter() {
        auto sink = std::make_unique<RecordingPageSink>();
        recording = sink.get();
        printer = std::make_unique<Printer>(std::move(sink), "test");
    }
    RecordingPageSink* recording = nullptr;
    std::unique_ptr<Printer> printer;
};

TEST(PrinterModel, ItemsContinueOrEndTheLine) {
    EXPECT_EQ(Printer::lineHeight(10), 227);
    EXPECT_EQ(Printer::lineHeight(14), 317);
    RecordedPrinter p;
    p.printer->print(" ", true);  // a blank line moves down one line
    p.printer->setCurrentY(cm(0.4));
    const std::string name = "FÉDÉRATION DES SERVICES";  // 23 characters, 25 bytes
    p.printer->setFontUnderline(true);
    p.printer->print(name, false);
    EXPECT_DOUBLE_EQ(p.printer->currentX(), 23 * 120.0);
    p.printer->setFontUnderline(false);
    p.printer->print(std::string(70 - 23, ' ') + "Date : 05/03/2002", true);
    EXPECT_DOUBLE_EQ(p.printer->currentX(), 0);
    EXPECT_DOUBLE_EQ(p.printer->currentY(), cm(0.4) + 227);

    // The date starts at character 70 of the first heading line; each item keeps its font.
    const auto& ops = p.recording->ops();
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_DOUBLE_EQ(ops[2].x + (70 - 23) * 120.0, 70 * 120.0);
    EXPECT_DOUBLE_EQ(ops[2].y, cm(0.4));
    EXPECT_TRUE(ops[1].font.underline);
    EXPECT_FALSE(ops[2].font.underline);

    // A 14-point title line is 317 twips high and its characters 168 wide.
    p.printer->setFontSize(14);
    p.printer->print("ÉTÉ", false);
    EXPECT_DOUBLE_EQ(p.printer->currentX(), 3 * 168.0);
    p.printer->print("", true);
    EXPECT_DOUBLE_EQ(p.printer->currentY(), cm(0.4) + 227 + 317);
    EXPECT_EQ(ops.size(), 4u) << "an empty item draws nothing";
}

TEST(PrinterModel, RulesLeaveThePositionAtTheirEndAndPagesStartAtOrigin) {
    RecordedPrinter p;
    p.printer->setDrawWidth(3);
    p.printer->line(cm(0.1), cm(6.7), cm(19.5), cm(6.7));
    EXPECT_DOUBLE_EQ(p.printer->currentX(), cm(19.5));
    EXPECT_DOUBLE_EQ(p.printer->currentY(), cm(6.7));
    EXPECT_EQ(p.recording->ops().back().width, 3);

    p.printer->newPage();
    EXPECT_DOUBLE_EQ(p.printer->currentX(), 0);
    EXPECT_DOUBLE_EQ(p.printer->currentY(), 0);
    p.printer->print("page 2", true);
    EXPECT_EQ(p.recording->ops().back().page, 1);

    p.printer->endDoc();
    p.printer->endDoc();  // ending twice ends once
    int ends = 0;
    for (const auto& op : p.recording->ops()) ends += op.kind == RecordedOp::Kind::EndDocument;
    EXPECT_EQ(ends, 1);
}

}  // namespace
}  // namespace tessaran::platform
