// The recapitulative statement of a multi-sector association.

#include "PrintingFixture.h"
#include "printing/RecapStatement.h"

namespace tessaran::printing_test {
namespace {

const std::string kRecapTitle = std::string(15, ' ') + "ETAT RECAPITULATIF DE FACTURATION DE NOVEMBRE 2026";

class RecapTest : public PrintingTest {
protected:
    printing::RecapStatement recap{printer, heading("A02")};
};

TEST_F(RecapTest, ListsTheDetailLinesThenTheFeeScaleItemsWithTheirTotals) {
    addLine(accumulator, {"CAISSE REGIONALE", "202610", "1000.4", "52000", "12.5", "3000", "P"});
    addLine(accumulator, {"CAISSE REGIONALE", "202611", "1000.4", "0", "0", "0", "P"});
    addLine(accumulator, {"CONSEIL GENERAL DE HAUTE-SAVOIE", "202611", "500", "10000", "7", "0", "C"});
    recap.print(accumulator, feeScale("A02"));  // items 50,00, -25,00 and 0

    const auto lines = pageLines(0);
    EXPECT_EQ(lines[6], kRecapTitle);
    EXPECT_EQ(lines[11], std::string(14, ' ') + "LIEU-DIT LES PINS");
    EXPECT_EQ(countOn(0, "Secteur"), 0);
    EXPECT_EQ(lines[17].find("LIBELLE"), 12u);
    EXPECT_EQ(lines[20], " CAISSE REGIONALE              OCTOBRE 2026       10,00      520,00       12,50        30,00");
    EXPECT_EQ(lines[21], " CAISSE REGIONALE              NOVEMBRE 2026      10,00        0,00");
    EXPECT_EQ(lines[22], " CONSEIL GENERAL DE HAUTE-SAVOINOVEMBRE 2026       5,00      100,00        0,00");
    // A charge in the funding-body amount column, a credit as a positive fee, a zero item bare.
    EXPECT_EQ(lines[24], " ADHESION" + std::string(47, ' ') + "      50,00");
    EXPECT_EQ(lines[25], " REMISE" + std::string(61, ' ') + "      25,00");
    EXPECT_EQ(lines[26], " GRATUIT");
    // Hours add up exactly (25,008), the other totals add the printed figures.
    EXPECT_EQ(lines[60], totalLine("       25,01      670,00       37,50        30,00"));
    EXPECT_EQ(lines[62], balanceLine("     632,50"));
}

TEST_F(RecapTest, AReprintListsTheRecordedFlowsAsTheyAreInTheAmountColumn) {
    recap.print(accumulator, {.fromFeeScale = false, .lines = {{"FRAIS DE DOSSIER", "2500"}, {"AVOIR", "-1000"}}});
    const auto lines = pageLines(0);
    EXPECT_EQ(lines[21], " FRAIS DE DOSSIER" + std::string(39, ' ') + "      25,00");
    EXPECT_EQ(lines[22], " AVOIR" + std::string(50, ' ') + "     -10,00");
    EXPECT_EQ(lines[60], totalLine("        0,00       15,00        0,00         0,00"));
    EXPECT_EQ(lines[62], balanceLine("      15,00"));
}

TEST_F(RecapTest, EveryPageCarriesTheRunningTotalsAndTheRecapHeading) {
    // 37 lines: the first fee-scale item is the last line of the first page.
    addLine(accumulator, {"CAISSE REGIONALE", "202611", "100", "100", "0", "0", "P"}, 37);
    recap.print(accumulator, feeScale("A02"));

    ASSERT_EQ(recording->pageCount(), 2);
    EXPECT_EQ(countOn(0, "ADHESION"), 1);
    EXPECT_EQ(pageLines(0)[60], totalLine("       37,00       87,00        0,00         0,00"));
    EXPECT_EQ(pageLines(1)[6], kRecapTitle);
    EXPECT_EQ(countOn(1, "Secteur"), 0);
    EXPECT_EQ(pageLines(1)[20].find(" REMISE"), 0u);
    EXPECT_EQ(pageLines(1)[60], totalLine("       37,00       87,00       25,00         0,00"));
    for (int page : {0, 1}) EXPECT_EQ(rulesOf(page), ruledPage(24, Boxes::kStatement));  // totals on each page
}

}  // namespace
}  // namespace tessaran::printing_test
