// The management-fee invoice: heading, type "P" lines, extra lines after a subtotal, the final
// total in its boxes, and its page breaks.

#include "PrintingFixture.h"
#include "printing/FeeInvoice.h"

namespace tessaran::printing_test {
namespace {

const std::string kInvoiceNumberLine = "Numéro de facture : 0000000042";

class FeeInvoiceTest : public PrintingTest {
protected:
    void print(const printing::ComplementaryLines& complementary) {
        printing::FeeInvoice(printer, heading(), "0000000042").print(accumulator, complementary);
    }
};

TEST_F(FeeInvoiceTest, PrintsHeadingTypePLinesSubtotalFeeScaleItemsAndTotal) {
    addLine(accumulator, {"CAISSE REGIONALE", "202610", "1250", "0", "150", "1875", "P"});
    addLine(accumulator, {"CONSEIL GENERAL", "202611", "300", "0", "0", "0", "C"});
    addLine(accumulator, {"TAUX PRESTATION", "202611", "0", "45000", "250", "1125", "P"});
    addLine(accumulator, {"CAISSE REGIONALE", "202611", "0", "0", "0", "0", "P"});
    print(feeScale("A01"));

    const auto lines = pageLines(0);
    EXPECT_EQ(lines[7], std::string(10, ' ') + "FACTURE DES FRAIS DE GESTION DE NOVEMBRE 2026");
    EXPECT_EQ(lines[14], kInvoiceNumberLine);
    EXPECT_TRUE(textItem("Numéro de facture").font.underline);
    EXPECT_EQ(lines[17], std::string(12, ' ') + "LIBELLE" + std::string(15, ' ') +
                             "PERIODE       HEURES    MONTANT      TAUX     FRAIS GEST.");
    EXPECT_EQ(lines[20], " CAISSE REGIONALE              OCTOBRE 2026       12,50                    1,50        18,75");
    EXPECT_EQ(lines[21], " TAUX PRESTATION               NOVEMBRE 2026                 450,00        2,50        11,25");
    EXPECT_EQ(lines[22], " CAISSE REGIONALE              NOVEMBRE 2026" + std::string(44, ' ') + "0,00");
    EXPECT_EQ(countOn(0, "CONSEIL GENERAL"), 0);
    EXPECT_EQ(lines[24], totalLine("       12,50      450,00                    30,00"));
    EXPECT_TRUE(textItem("Total").font.bold);
    EXPECT_EQ(lines[26], " COTISATION ANNUELLE" + std::string(36, ' ') + "     120,50");
    EXPECT_FALSE(textItem("COTISATION").font.bold);
    // A credit shows as a positive figure in the rate column and adds to the fees.
    EXPECT_EQ(lines[27], " REMISE FIDELITE" + std::string(52, ' ') + "      30,00");
    EXPECT_EQ(lines[60], totalLine("       12,50      570,50                    60,00"));
    EXPECT_EQ(rulesOf(0), ruledPage(24, Boxes::kInvoice));
    EXPECT_FALSE(printer.font().bold);
}

TEST_F(FeeInvoiceTest, FullPageGetsTheFrameAndLinesNotPrintedStillBreakThePage) {
    addLine(accumulator, {"CAISSE REGIONALE", "202611", "0", "0", "0", "100", "P"}, 39);
    addLine(accumulator, {"CONSEIL GENERAL", "202611", "0", "0", "0", "0", "C"});
    print(feeScale("A03"));  // no items: no subtotal

    ASSERT_EQ(recording->pageCount(), 2);
    EXPECT_EQ(countOn(0, "CAISSE REGIONALE"), 39);
    EXPECT_EQ(countOn(0, "Total"), 0);
    EXPECT_EQ(rulesOf(0), ruledPage(24, Boxes::kInvoice));
    EXPECT_EQ(pageLines(1)[14], kInvoiceNumberLine);
    EXPECT_EQ(countOn(1, "CAISSE REGIONALE"), 0);
    EXPECT_EQ(countOn(1, "Total"), 1);  // the final total only
    EXPECT_EQ(pageLines(1)[60], totalLine("        0,00        0,00                    39,00"));
}

TEST_F(FeeInvoiceTest, BreakAfterTheSubtotalClosesTheFrameAboveItAndBoxesIt) {
    // 36 lines: the subtotal is the last line of the page and the first item goes over.
    addLine(accumulator, {"CAISSE REGIONALE", "202611", "100", "0", "0", "100", "P"}, 36);
    print(feeScale("A01"));
    ASSERT_EQ(recording->pageCount(), 2);
    const auto subtotal = textItem("Total");
    EXPECT_EQ(subtotal.page, 0);
    // The frame closes at the print position (39 lines down) plus 0.5 cm, less 1.5 cm, each to the
    // nearest twip, and boxes the subtotal.
    EXPECT_EQ(rulesOf(0), ruledPage(22.5, Boxes::kInvoice));
    EXPECT_EQ(rulesOf(0, 1)[16], (Rule{56.7, 12766, 11056.5, 12766}));
    EXPECT_GT(subtotal.y, 12766);
    EXPECT_LT(subtotal.y + kLine, 12766 + 0.7 * kCm);
    EXPECT_EQ(pageLines(1)[20].find(" COTISATION ANNUELLE"), 0u);
    EXPECT_EQ(pageLines(1)[60], totalLine("       36,00      120,50                    66,00"));
}

TEST_F(FeeInvoiceTest, BreakAmongTheItemsClosesTheFrameUnderTheLastLineWithoutBoxes) {
    addLine(accumulator, {"CAISSE REGIONALE", "202611", "100", "0", "0", "100", "P"}, 35);
    print(feeScale("A01"));
    // The frame closes 0.5 cm under the print position (39 lines down), without boxes.
    EXPECT_EQ(rulesOf(0), ruledPage(24));
    EXPECT_EQ(rulesOf(0, 1)[16], (Rule{56.7, 13616, 11056.5, 13616}));
    EXPECT_EQ(pageLines(1)[20].find(" REMISE FIDELITE"), 0u);
}

TEST_F(FeeInvoiceTest, AReprintListsTheRecordedFlowsAsTheyAreAndBreaksAmongThemOnTheWholeFrame) {
    // 36 lines: the subtotal is the last line of the page and the first flow goes over.
    addLine(accumulator, {"CAISSE REGIONALE", "202611", "100", "0", "150", "150", "P"}, 36);
    print({.fromFeeScale = false, .lines = {{"FRAIS DE DOSSIER", "2500"}, {"AVOIR", "-1000"}}});
    ASSERT_EQ(recording->pageCount(), 2);
    EXPECT_EQ(pageLines(0)[57], totalLine("       36,00        0,00                    54,00"));
    EXPECT_EQ(rulesOf(0), ruledPage(24, Boxes::kInvoice));
    const auto lines = pageLines(1);
    EXPECT_EQ(lines[20], " FRAIS DE DOSSIER" + std::string(39, ' ') + "      25,00");
    EXPECT_EQ(lines[21], " AVOIR" + std::string(50, ' ') + "     -10,00");
    EXPECT_EQ(lines[60], totalLine("       36,00       15,00                    54,00"));
}

}  // namespace
}  // namespace tessaran::printing_test
