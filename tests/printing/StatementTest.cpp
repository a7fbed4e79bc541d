// The billing statement of a sector: heading, lines, complementary lines, page breaks, totals.

#include <gmock/gmock.h>

#include <cmath>
#include <optional>
#include <random>
#include <stdexcept>

#include "PrintingFixture.h"
#include "platform/NumberText.h"
#include "platform/Utility.h"
#include "printing/BillingStatement.h"
#include "printing/PageText.h"

namespace tessaran::printing_test {
namespace {

const std::string kLabel30 = "CAISSE PRIMAIRE ASSURANCE MALA";

class StatementTest : public PrintingTest {
protected:
    printing::BillingStatement statement{printer, heading(), "AIDE A DOMICILE"};
};

// A figure's field is the general layout of the figure's number text (15 significant digits,
// rounded half away from zero at two decimals), whatever the figure: whole hundredths, sums
// that adding doubles left a little off, half cents, negatives, zeros of either sign, huge ones.
TEST(NumberField, IsTheNumberTextLaidOutInItsField) {
    std::mt19937_64 random(61206);
    std::vector<double> values = {0.0, -0.0, 0.005, 0.015, 1.005, -1.005, 0.125, 2.675, 1e-20, -1e-20,
                                  99999999999.99, 123456789012.345, 1e15, 0.1 + 0.2, -(0.1 + 0.2)};
    std::uniform_int_distribution<long long> cents(-100000000, 100000000);
    for (int round = 0; round < 20000; ++round) {
        const double hundredths = static_cast<double>(cents(random)) / 100;
        switch (round % 4) {
        case 0: values.push_back(hundredths); break;
        case 1: values.push_back(hundredths + 0.1 - 0.1 + 0.2 - 0.2); break;  // a little off
        case 2: values.push_back(hundredths + 0.005); break;                  // half a cent
        default: values.push_back(std::ldexp(static_cast<double>(cents(random)), -20));
        }
    }
    for (const double value : values)
        for (const int width : {6, 8, 9})
            ASSERT_EQ(printing::numberField(value, width),
                      platform::Utility::FormateNombre(platform::numberToText(value), width, 2, 0))
                << value << " width " << width;
}

TEST_F(StatementTest, HeadingPlacesEveryBlockAndRulesTheHeadingBox) {
    statement.printHeading();
    const auto lines = pageLines(0);
    const std::string indent(14, ' ');
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 14),
              (std::vector<std::string>{"FEDERATION DES SERVICES" + std::string(47, ' ') + "Date : 03/12/2026",
                                        "12 RUE DES LILAS BATIMENT B", "BP 14", "75011 PARIS", "",
                                        std::string(20, ' ') + "ETAT DE FACTURATION DE NOVEMBRE 2026", "", "",
                                        "Association : AIDE ET PRESENCE", indent + "3 PLACE DU MARCHE",
                                        indent + "69002 LYON", "", "Secteur     : AIDE A DOMICILE"}));
    EXPECT_EQ(textItem("12 RUE").text, "12 RUE DES LILAS BATIMENT B ");  // address parts end with a space
    EXPECT_EQ(textItem("ETAT DE").font, (platform::Font{"Courier New", 14, true, false}));
    EXPECT_TRUE(textItem("Association").font.underline);
    EXPECT_FALSE(textItem(" : AIDE").font.underline);

    // The column headings in their ruled columns, the box around them in pen width 3.
    EXPECT_EQ(lines[17], std::string(12, ' ') + "LIBELLE" + std::string(15, ' ') + "PERIODE      HEURES   " +
                             "MONT.CAISSE FRAIS GEST. MONT.BENEF.");
    EXPECT_DOUBLE_EQ(textItem("LIBELLE").y, 6.9 * kCm);
    EXPECT_EQ(rulesOf(0), ruledPage(0));
    EXPECT_EQ(printer.drawWidth(), 3);
    EXPECT_DOUBLE_EQ(printer.currentY(), kFirstLineY);
    EXPECT_EQ(printer.font(), platform::Font{});
}

TEST_F(StatementTest, HeadingLeavesOutEmptyAddressPartsAndKeepsTheDateColumn) {
    auto addressee = std::make_shared<db::DynamicArray>("SOLIDARITE");
    addressee->set(7, "LIEU-DIT");
    const auto issuer = std::make_shared<db::DynamicArray>("F");
    printing::BillingStatement(printer, {issuer, addressee, "NOVEMBRE 2026", "03/12/2026"}, "S").printHeading();
    // Each item with its row: an empty postcode-and-town line prints as one space, other empty
    // parts not at all.
    std::vector<std::string> items;
    for (const auto& op : recording->ops()) items.push_back(std::to_string(std::lround(op.y / kLine)) + "|" + op.text);
    const std::string indent(14, ' ');
    EXPECT_EQ(std::vector<std::string>(items.begin() + 1, items.begin() + 14),
              (std::vector<std::string>{"1|F", "1|" + std::string(69, ' ') + "Date : 03/12/2026", "2| ", "3| ",
                                        "4|" + std::string(20, ' ') + "ETAT DE FACTURATION DE NOVEMBRE 2026", "5| ",
                                        "6| ", "7|Association", "7| : SOLIDARITE", "8|" + indent, "8|LIEU-DIT",
                                        "9|" + indent, "9| "}));

    // 70 characters: the date follows directly; longer: the name whole, one space, the date.
    for (int length : {70, 75}) {
        auto longName = heading();
        longName.issuer = std::make_shared<db::DynamicArray>(std::string(static_cast<std::size_t>(length), 'N'));
        printer.newPage();
        printing::BillingStatement(printer, longName, "S").printHeading();
    }
    EXPECT_EQ(pageLines(1)[1], std::string(70, 'N') + "Date : 03/12/2026");
    EXPECT_EQ(pageLines(2)[1], std::string(75, 'N') + " Date : 03/12/2026");
}

TEST_F(StatementTest, UnknownSectorOrUnreadableComplementaryLinesStopTheStatementThere) {
    EXPECT_THROW(printing::BillingStatement(printer, heading(), std::nullopt).printHeading(), std::runtime_error);
    EXPECT_EQ(pageLines(0)[11], std::string(14, ' ') + "69002 LYON");
    EXPECT_EQ(countOn(0, "Secteur"), 0);

    printing::ComplementaryLines unreadable = feeScale("A01");
    unreadable.unreadable = true;
    EXPECT_THROW(statement.printEnd(&unreadable), std::runtime_error);
    EXPECT_EQ(countOn(0, "Total") + countOn(0, "COTISATION"), 0);
}

TEST_F(StatementTest, LinesFillTheirColumnsThenComplementaryLinesTotalsAndBalanceEndTheStatement) {
    statement.printHeading();
    statement.printLine({kLabel30, "202611", 1234.5, 123456, 18.745, 2000, false});  // 12,345 and 18,745 rounded
    statement.printLine({kLabel30 + "X", "202610", 0, 0, 5, 0, true});               // funding body of type "C"
    statement.printLine({"AIDE", "202609", 200, 10, 0, 0, false});
    const auto& totals = statement.totals();  // the printed figures added up
    EXPECT_THAT((std::vector{totals.hours, totals.amount, totals.fee, totals.beneficiary}),
                ::testing::Pointwise(::testing::DoubleEq(), {14.35, 1234.66, 18.75, 20.0}));
    const auto items = feeScale("A01");
    statement.printEnd(&items);

    const auto lines = pageLines(0);
    EXPECT_EQ(lines[20], " " + kLabel30 + "NOVEMBRE 2026      12,35     1234,56       18,75        20,00");
    EXPECT_EQ(lines[21], " " + kLabel30 + "OCTOBRE 2026        0,00        0,00        0,00");
    EXPECT_EQ(lines[22], " AIDE                          SEPTEMBRE 2026      2,00        0,10");
    EXPECT_EQ(lines[23], "");
    EXPECT_EQ(lines[24], " COTISATION ANNUELLE" + std::string(36, ' ') + "     120,50");
    EXPECT_EQ(lines[25], " REMISE FIDELITE" + std::string(40, ' ') + "     -30,00");
    EXPECT_EQ(lines[60], totalLine("       14,35     1325,16       18,75        20,00"));
    EXPECT_EQ(lines[62], balanceLine("    1306,41"));
    EXPECT_DOUBLE_EQ(textItem("Total").y, 24.2 * kCm);
    EXPECT_TRUE(textItem("Solde").font.bold);
    EXPECT_FALSE(printer.font().bold);
    EXPECT_EQ(rulesOf(0), ruledPage(24, Boxes::kStatement));

    // A multi-sector association leaves its complementary lines to its recap.
    printer.newPage();
    printing::BillingStatement sector(printer, heading("A02"), "AIDE A DOMICILE");
    sector.printHeading();
    sector.printEnd(nullptr);
    const auto page = pageLines(1);
    EXPECT_TRUE(std::all_of(page.begin() + 18, page.begin() + 60, [](const std::string& l) { return l.empty(); }));
    EXPECT_EQ(page[60], totalLine("        0,00        0,00        0,00         0,00"));
}

TEST_F(StatementTest, PageBreaksBelowTwentyThreeAndAHalfCentimetresAmongLinesAndComplementaryLines) {
    statement.printHeading();
    printer.setCurrentY(23.5 * kCm);  // exactly 23.5 cm still fits
    for (int i = 0; i < 2; ++i) statement.printLine({"CAISSE REGIONALE", "202611", 100, 100, 0, 0, false});
    ASSERT_EQ(recording->pageCount(), 2);
    EXPECT_EQ(countOn(0, "CAISSE REGIONALE"), 1);
    EXPECT_EQ(pageLines(1)[13], "Secteur     : AIDE A DOMICILE");  // the whole heading again
    EXPECT_EQ(pageLines(1)[20].find(" CAISSE REGIONALE"), 0u);

    printer.setCurrentY(23.5 * kCm - kLine);  // under the blank line, the first item is the last line that fits
    const auto items = feeScale("A01");
    statement.printEnd(&items);
    ASSERT_EQ(recording->pageCount(), 3);
    EXPECT_EQ(countOn(1, "COTISATION ANNUELLE"), 1);
    EXPECT_EQ(pageLines(2)[20].find(" REMISE FIDELITE"), 0u);
    EXPECT_EQ(pageLines(2)[60], totalLine("        2,00       92,50        0,00         0,00"));
    for (int page : {0, 1}) EXPECT_EQ(rulesOf(page), ruledPage(24));  // full pages: no totals
    EXPECT_EQ(countOn(0, "Total") + countOn(1, "Total"), 0);
    EXPECT_EQ(rulesOf(2), ruledPage(24, Boxes::kStatement));
}

}  // namespace
}  // namespace tessaran::printing_test
