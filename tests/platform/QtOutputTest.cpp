// The Qt outputs: the PDF file (its text, on the character grid from the page margins),
// system printers by name, the text file, and the command-line printer choice.

#include <gmock/gmock.h>

#include <fstream>
#include <utility>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/Files.h"
#include "support/QtTestEnvironment.h"
#include "platform/Printer.h"
#include "platform/qt/PresetPrinterChoice.h"
#include "platform/qt/QtPageSink.h"
#include "platform/qt/QtPrinterSink.h"

namespace tessaran::platform {
namespace {

constexpr double kPointsPerTwip = 1.0 / 20.0;
constexpr double kPointsPerMm = 72.0 / 25.4;

std::string readFile(const QString& path) { return tessaran::testing::readText(path.toStdString()); }

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class QtOutput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
};

TEST_F(QtOutput, PdfHoldsTheTextOfEveryPageAtItsPlace) {
    const QString pdf = path("statement.pdf");
    {
        auto output = openPdfOutput(pdf.toStdString());
        output->setDocumentInfo({"États de facturation - DÉCEMBRE 2001", "Réédition des états (été)", "Tessaran"});
        Printer printer(std::move(output), "PDF");
        printer.setCurrentY(0.4 * kTwipsPerCm);
        printer.print("FEDERATION", false);
        printer.print(std::string(60, ' ') + "Date : 05/03/2002", true);
        printer.setFontSize(14);
        printer.setFontBold(true);
        printer.print("ETAT DE FACTURATION DE DÉCEMBRE 2001", true);
        printer.line(0.1 * kTwipsPerCm, 6.7 * kTwipsPerCm, 19.5 * kTwipsPerCm, 6.7 * kTwipsPerCm);
        printer.newPage();
        printer.setFontSize(10);
        printer.print("Seconde page", true);
        printer.endDoc();
        printer.publish();
    }
    ASSERT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "no pdftotext";
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* expected : {"Date : 05/03/2002", "DÉCEMBRE 2001", "Seconde page"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2) << "two pages";

    // The date starts at character 70 (120 twips each), from the left margin of the printable area.
    const QString boxes = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression dateWord(QString::fromLatin1("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Date<"));
    const auto match = dateWord.match(boxes);
    ASSERT_TRUE(match.hasMatch()) << boxes.toStdString();
    EXPECT_NEAR(match.captured(1).toDouble(), kMarginLeftMm * kPointsPerMm + 70 * 120 * kPointsPerTwip, 0.5);
    const double top = kMarginTopMm * kPointsPerMm + 0.4 * kTwipsPerCm * kPointsPerTwip;
    EXPECT_NEAR(match.captured(2).toDouble(), top, 2.0);

    // The document information a reader shows, accents and parentheses whole.
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    for (const char* expected : {"Title:           États de facturation - DÉCEMBRE 2001\n",
                                 "Subject:         Réédition des états (été)\n", "Creator:         Tessaran\n",
                                 "Pages:           2\n"})
        EXPECT_TRUE(info.contains(QString::fromUtf8(expected))) << expected << info.toStdString();
}

TEST_F(QtOutput, UnusableOutputsAreRefusedAndUnfinishedDocumentsLeaveTheTargetAsItWas) {
    EXPECT_THAT([] { openPdfOutput("/nonexistent-folder/out.pdf"); },
                ThrowsMessage<std::runtime_error>(HasSubstr("/nonexistent-folder/out.pdf")));
    EXPECT_THAT([] { openSystemPrinter("Imprimante inexistante"); },
                ThrowsMessage<std::runtime_error>(HasSubstr("Imprimante inexistante")));
    EXPECT_THROW(openTextFileOutput("/nonexistent-folder/out.txt"), std::runtime_error);

    // A document dropped, or never ended, never reaches its target, and leaves no trace.
    for (const char* name : {"earlier.pdf", "earlier.txt"}) {
        SCOPED_TRACE(name);
        const QString target = path(name);
        { std::ofstream(target.toStdString()) << "document précédent"; }
        const auto open = [&] { return QString(name).endsWith(".pdf") ? openPdfOutput(target.toStdString())
                                                                      : openTextFileOutput(target.toStdString()); };
        open()->drawText(0, 0, "x", Font{});
        auto dropped = open();
        dropped->drawText(0, 0, "y", Font{});
        dropped->abandon();
        dropped.reset();
        EXPECT_EQ(readFile(target), "document précédent");
        EXPECT_TRUE(QDir(dir_.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden).isEmpty())
            << "no temporary file is left";
    }
}

TEST_F(QtOutput, TextFileOutputRendersTheGridWhenTheDocumentEnds) {
    const QString txt = path("out.txt");
    Printer printer(openTextFileOutput(txt.toStdString()), "text");
    printer.print("Association", false);
    printer.print(" : Aide à domicile", true);
    printer.line(0, 0, 1000, 1000);
    printer.newPage();
    printer.print("deux", true);
    printer.endDoc();
    EXPECT_FALSE(QFile::exists(txt)) << "the file appears whole, when the document is released";
    printer.publish();
    EXPECT_EQ(readFile(txt), "Association : Aide à domicile\n\fdeux\n");
    EXPECT_EQ(printer.pageCount(), 2);
}

TEST_F(QtOutput, PresetChoiceOpensTheOutputItWasGiven) {
    PresetPrinterChoice text(path("run.TXT").toStdString(), "", 0);
    EXPECT_EQ(text.printerNames(), std::vector<std::string>{path("run.TXT").toStdString()});
    EXPECT_EQ(text.choose().index, 0);
    EXPECT_EQ(text.choose().copies, 1);
    auto output = text.open(0);
    output->drawText(0, 0, "ok", Font{});
    output->endDocument();
    output->publish();
    EXPECT_EQ(readFile(path("run.TXT")), "ok\n");
    EXPECT_THROW(text.open(1), std::runtime_error);

    PresetPrinterChoice pdf(path("run.pdf").toStdString(), "", 3);
    EXPECT_EQ(pdf.choose().copies, 3);
    auto document = pdf.open(0);
    document->endDocument();
    document->publish();
    EXPECT_EQ(readFile(path("run.pdf")).substr(0, 5), "%PDF-");

    EXPECT_THAT([&] { PresetPrinterChoice(path("run.doc").toStdString(), "", 1).open(0); },
                ThrowsMessage<std::runtime_error>(HasSubstr(".pdf or .txt")));
    EXPECT_THROW(PresetPrinterChoice("", "Imprimante inexistante", 1).open(0), std::runtime_error);
}

}  // namespace
}  // namespace tessaran::platform
