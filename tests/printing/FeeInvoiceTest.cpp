// The management-fee invoice: heading, type "P" lines, extra lines after a subtotal, the final
// total in its boxes, and its page breaks.

#include "PrintingFixture.h"
#include "control/DataModule.h"

namespace tessaran::printing_test {
namespace {

std::string totalLine(const std::string& figures) { return std::string(38, ' ') + "Total" + figures; }

std::vector<Rule> closingFrame() {
    std::vector<Rule> rules = bodyRules();
    for (double x : {9.6, 11.7, 14.2, 16.8, 19.5}) rules.push_back({x, 24, x, 24.7});
    return joined(rules, {{9.6, 24.7, 14.2, 24.7}, {16.8, 24.7, 19.5, 24.7}});
}

class FeeInvoiceTest : public PrintingTest {
protected:
    void addLines(int count, const std::vector<std::string>& values) {
        for (int i = 0; i < count; ++i) addLine(*access().Cumul(), values);
    }
};

TEST_F(FeeInvoiceTest, PrintsHeadingTypePLinesSubtotalFeeScaleItemsAndTotal) {
    addLine(*access().Cumul(), {"CAISSE REGIONALE", "202610", "1250", "0", "150", "1875", "P"});
    addLine(*access().Cumul(), {"CONSEIL GENERAL", "202611", "300", "0", "0", "0", "C"});
    addLine(*access().Cumul(), {"TAUX PRESTATION", "202611", "0", "45000", "250", "1125", "P"});
    addLine(*access().Cumul(), {"CAISSE REGIONALE", "202611", "0", "0", "0", "0", "P"});
    control->Imprime_Frais_Gestion();

    const auto lines = pageLines(0);
    EXPECT_EQ(lines[1].find("Date : 03/12/2026"), 70u);
    EXPECT_EQ(lines[7], std::string(10, ' ') + "FACTURE DES FRAIS DE GESTION DE NOVEMBRE 2026");
    EXPECT_EQ(lines[12], std::string(14, ' ') + "69002 LYON");
    EXPECT_EQ(lines[14], "Numéro de facture : 0000000042");
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
    EXPECT_EQ(rulesOf(0), joined(headingBoxRules(), closingFrame()));
}

TEST_F(FeeInvoiceTest, FullPageGetsTheEmptyFrameAndLinesNotPrintedStillBreakThePage) {
    load("BAREMEFEDEASSO", "A03");
    addLines(39, {"CAISSE REGIONALE", "202611", "0", "0", "0", "100", "P"});
    addLines(1, {"CONSEIL GENERAL", "202611", "0", "0", "0", "0", "C"});
    control->Imprime_Frais_Gestion();

    ASSERT_EQ(output->pageCount(), 2);
    EXPECT_EQ(countOn(0, "CAISSE REGIONALE"), 39);
    EXPECT_EQ(countOn(0, "Total"), 0);
    EXPECT_EQ(rulesOf(0), joined(headingBoxRules(), closingFrame()));
    EXPECT_EQ(pageLines(1)[14], "Numéro de facture : 0000000042");
    EXPECT_EQ(countOn(1, "CAISSE REGIONALE"), 0);
    EXPECT_EQ(pageLines(1)[60], totalLine("        0,00        0,00                    39,00"));
}

TEST_F(FeeInvoiceTest, BreakAfterTheSubtotalClosesTheFrameAboveItAndBoxesIt) {
    // 36 lines: the subtotal is the last line of the page and the first item goes over.
    addLines(36, {"CAISSE REGIONALE", "202611", "100", "0", "0", "100", "P"});
    control->Imprime_Frais_Gestion();
    ASSERT_EQ(output->pageCount(), 2);
    const auto subtotal = textItem("Total");
    EXPECT_EQ(subtotal.page, 0);
    // The print position (39 lines down) plus 0.5 cm, less 1.5 cm, each to the nearest twip.
    const double bottom = 12766;
    std::vector<platform::RecordedOp> frame;
    for (const auto& op : output->ops()) {
        if (op.kind == platform::RecordedOp::Kind::Line && op.page == 0) frame.push_back(op);
    }
    ASSERT_EQ(frame.size(), 9u + 15u);
    for (std::size_t i = 9; i < 16; ++i) EXPECT_DOUBLE_EQ(frame[i].y2, bottom);
    EXPECT_DOUBLE_EQ(frame[16].y, bottom);
    for (std::size_t i = 17; i < 22; ++i) EXPECT_DOUBLE_EQ(frame[i].y2, bottom + 0.7 * kCm);
    EXPECT_GT(subtotal.y, bottom);  // the subtotal sits inside its boxes
    EXPECT_LT(subtotal.y + 227, bottom + 0.7 * kCm);
    EXPECT_EQ(pageLines(1)[20].find(" COTISATION ANNUELLE"), 0u);
    EXPECT_EQ(pageLines(1)[60], totalLine("       36,00      120,50                    66,00"));
}

TEST_F(FeeInvoiceTest, BreakAmongTheItemsClosesTheFrameUnderTheLastLineWithoutBoxes) {
    addLines(35, {"CAISSE REGIONALE", "202611", "100", "0", "0", "100", "P"});
    control->Imprime_Frais_Gestion();
    EXPECT_EQ(rulesOf(0), joined(headingBoxRules(), bodyRules(std::round((kFirstLineY + 39 * 227 + 283.5) / kCm * 10) / 10)));
    EXPECT_EQ(pageLines(1)[20].find(" REMISE FIDELITE"), 0u);
}

TEST_F(FeeInvoiceTest, ExtraLinesComeFromTheFeeScaleInAPrintAndFromTheRecordedFlowsInAReprint) {
    load("BAREMEFEDEASSO", "A03");  // no items: the final total is the only total
    addLine(*access().Cumul(), {"CAISSE REGIONALE", "202611", "100", "0", "150", "150", "P"});
    control->Imprime_Frais_Gestion();
    EXPECT_EQ(countOn(0, "Total"), 1);
    EXPECT_EQ(pageLines(0)[60], totalLine("        1,00        0,00                     1,50"));

    importRecords(R"({"FLUXCOMPTABLES": {
        "00000A01S0120261101": {"1": "202611", "20": "0000000042", "27": "FRAIS DE DOSSIER", "28": "2500"},
        "00000A01S0120261102": {"1": "202611", "20": "0000000042", "27": "AVOIR", "28": "-1000"}}})");
    access().ModeImpression() = false;
    printer().newPage();
    control->Imprime_Frais_Gestion();
    const auto lines = pageLines(1);
    EXPECT_EQ(lines[22], totalLine("        1,00        0,00                     1,50"));
    EXPECT_EQ(lines[24], " FRAIS DE DOSSIER" + std::string(39, ' ') + "      25,00");
    EXPECT_EQ(lines[25], " AVOIR" + std::string(50, ' ') + "     -10,00");
    EXPECT_EQ(lines[60], totalLine("        1,00       15,00                     1,50"));
}

}  // namespace
}  // namespace tessaran::printing_test
