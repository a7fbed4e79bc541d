// The Qt outputs: Liberation Mono metrics, the PDF file (text, place on the page, rules),
// system printers by name, the text file, and the command-line printer choice.

#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fstream>
#include <sstream>

#include "support/QtTestEnvironment.h"
#include "platform/Printer.h"
#include "platform/qt/PresetPrinterChoice.h"
#include "platform/qt/QtPageSink.h"
#include "platform/qt/QtPrinterSink.h"

namespace tessaran::platform {
namespace {

constexpr double kPointsPerTwip = 1.0 / 20.0;
constexpr double kPointsPerMm = 72.0 / 25.4;

std::string readFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool haveTool(const char* name) { return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty(); }

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class QtOutput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
    }
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
};

TEST_F(QtOutput, CourierNewIsDrawnWithLiberationMonoAtTwelveTwipsPerPoint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    preparePageLayout(printer, true);
    for (const double points : {10.0, 14.0}) {
        SCOPED_TRACE(points);
        const QFont font = qtFont(Font{"Courier New", points, false, false});
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Mono"));
        const QFontMetricsF metrics(font, &printer);
        const double twipsPerPixel = 1440.0 / printer.resolution();
        EXPECT_NEAR(metrics.horizontalAdvance(QStringLiteral("M")) * twipsPerPixel, 12.0 * points, 0.01 * points);
        // Ninety-two characters, the width of the table, keep the grid to within a twip or two.
        const QString line(92, QLatin1Char('0'));
        EXPECT_NEAR(metrics.horizontalAdvance(line) * twipsPerPixel, 92 * 12.0 * points, 2.0);
        // The font's height fits in the model's line.
        EXPECT_LE(metrics.height() * twipsPerPixel, Printer::lineHeight(points) + 1);
    }
}

TEST_F(QtOutput, PdfHoldsTheTextAtItsPlaceAndTheRules) {
    const QString pdf = path("statement.pdf");
    {
        Printer printer(openPdfOutput(pdf.toStdString()), "PDF");
        printer.setCurrentY(0.4 * kTwipsPerCm);
        printer.print("FEDERATION", false);
        printer.print(std::string(60, ' ') + "Date : 05/03/2002", true);
        printer.setFontSize(14);
        printer.setFontBold(true);
        printer.print("ETAT DE FACTURATION DE DÉCEMBRE 2001", true);
        printer.setDrawWidth(3);
        printer.line(0.1 * kTwipsPerCm, 6.7 * kTwipsPerCm, 19.5 * kTwipsPerCm, 6.7 * kTwipsPerCm);
        printer.newPage();
        printer.setFontSize(10);
        printer.print("Seconde page", true);
        printer.endDoc();
    }
    const std::string bytes = readFile(pdf);
    ASSERT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_NE(bytes.find("FontFile"), std::string::npos) << "fonts are embedded";

    if (!haveTool("pdftotext") || !haveTool("pdftoppm")) GTEST_SKIP() << "poppler tools not installed";
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Date : 05/03/2002")));
    EXPECT_TRUE(text.contains(QStringLiteral("DÉCEMBRE 2001")));
    EXPECT_TRUE(text.contains(QStringLiteral("Seconde page")));
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2) << "two pages";

    // The date starts at character 70, from the left margin of the printable area.
    const QString boxes = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression dateWord(QString::fromLatin1("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Date<"));
    const auto match = dateWord.match(boxes);
    ASSERT_TRUE(match.hasMatch()) << boxes.toStdString();
    EXPECT_NEAR(match.captured(1).toDouble(), kMarginLeftMm * kPointsPerMm + 70 * 120 * kPointsPerTwip, 0.5);
    const double top = kMarginTopMm * kPointsPerMm + 0.4 * kTwipsPerCm * kPointsPerTwip;
    EXPECT_NEAR(match.captured(2).toDouble(), top, 2.0);

    // The rule at 6.7 cm is dark across the table and the page is white beside it.
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("72"),
                                         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                         QStringLiteral("1"), pdf, path("page")});
    QImage page(path("page-1.pgm"));
    ASSERT_FALSE(page.isNull());
    const double ruleY = kMarginTopMm * kPointsPerMm + 6.7 * kTwipsPerCm * kPointsPerTwip;
    const double ruleX = kMarginLeftMm * kPointsPerMm + 10.0 * kTwipsPerCm * kPointsPerTwip;
    EXPECT_LT(qGray(page.pixel(qRound(ruleX), qRound(ruleY))), 128);
    EXPECT_GT(qGray(page.pixel(qRound(ruleX), qRound(ruleY + 10))), 200);
    const double beyondX = kMarginLeftMm * kPointsPerMm + 19.9 * kTwipsPerCm * kPointsPerTwip;
    EXPECT_GT(qGray(page.pixel(qRound(beyondX), qRound(ruleY))), 200);
}

TEST_F(QtOutput, PdfIsWrittenEvenWhenTheRunDoesNotEndTheDocument) {
    const QString pdf = path("unended.pdf");
    openPdfOutput(pdf.toStdString())->drawText(0, 0, "x", Font{});
    EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
}

TEST_F(QtOutput, UnusableOutputsAreRefusedWithAClearMessage) {
    try {
        openPdfOutput("/nonexistent-folder/out.pdf");
        FAIL() << "an unwritable PDF path was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent-folder/out.pdf"), std::string::npos);
    }
    try {
        openSystemPrinter("Imprimante inexistante");
        FAIL() << "an unknown printer was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Imprimante inexistante"), std::string::npos);
    }
    EXPECT_THROW(openTextFileOutput("/nonexistent-folder/out.txt"), std::runtime_error);
}

TEST_F(QtOutput, TextFileOutputRendersTheGridAndFinishesOnClose) {
    const QString txt = path("out.txt");
    {
        Printer printer(openTextFileOutput(txt.toStdString()), "text");
        printer.print("Association", false);
        printer.print(" : Aide à domicile", true);
        printer.line(0, 0, 1000, 1000);
        printer.newPage();
        printer.print("deux", true);
        // no endDoc: closing the output finishes the file
    }
    EXPECT_EQ(readFile(txt), "Association : Aide à domicile\n\fdeux\n");
}

TEST_F(QtOutput, PresetChoiceOpensTheOutputItWasGiven) {
    PresetPrinterChoice text(path("run.TXT").toStdString(), "", 0);
    EXPECT_EQ(text.printerNames(), std::vector<std::string>{path("run.TXT").toStdString()});
    EXPECT_EQ(text.choose().index, 0);
    EXPECT_EQ(text.choose().copies, 1);
    text.open(0)->drawText(0, 0, "ok", Font{});
    EXPECT_EQ(readFile(path("run.TXT")), "ok\n");
    EXPECT_THROW(text.open(1), std::runtime_error);

    PresetPrinterChoice pdf(path("run.pdf").toStdString(), "", 3);
    EXPECT_EQ(pdf.choose().copies, 3);
    pdf.open(0)->endDocument();
    EXPECT_EQ(readFile(path("run.pdf")).substr(0, 5), "%PDF-");

    try {
        PresetPrinterChoice(path("run.doc").toStdString(), "", 1).open(0);
        FAIL() << "a .doc output was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(".pdf or .txt"), std::string::npos);
    }
    EXPECT_THROW(PresetPrinterChoice("", "Imprimante inexistante", 1).open(0), std::runtime_error);
}

}  // namespace
}  // namespace tessaran::platform
