// The recapitulative statement of a multi-sector association.

#include "PrintingFixture.h"
#include "control/DataModule.h"

namespace tessaran::printing_test {
namespace {

class RecapTest : public PrintingTest {
protected:
    void SetUp() override {
        PrintingTest::SetUp();
        load("FEDEASSOC", "A02");
        load("BAREMEFEDEASSO", "A02");  // items 50,00, -25,00 and 0
        access().MultiSecteur() = true;
        access().TotalCaisse() = 999;  // the statements' totals are not carried over
        access().TotalHeures() = 999;
    }
};

TEST_F(RecapTest, ListsTheDetailLinesThenTheFeeScaleItemsWithTheirTotals) {
    addLine(*access().Detail(), {"CAISSE REGIONALE", "202610", "1000.4", "52000", "12.5", "3000", "P"});
    addLine(*access().Detail(), {"CAISSE REGIONALE", "202611", "1000.4", "0", "0", "0", "P"});
    addLine(*access().Detail(), {"CONSEIL GENERAL DE HAUTE-SAVOIE", "202611", "500", "10000", "7", "0", "C"});
    control->Imprime_Recap();

    const auto lines = pageLines(0);
    EXPECT_EQ(lines[6], std::string(15, ' ') + "ETAT RECAPITULATIF DE FACTURATION DE NOVEMBRE 2026");
    EXPECT_EQ(lines[11], std::string(14, ' ') + "LIEU-DIT LES PINS");
    EXPECT_EQ(countOn(0, "Secteur"), 0);
    EXPECT_EQ(control::dataModule().SECTEUR.record, nullptr);
    EXPECT_EQ(lines[17].find("LIBELLE"), 12u);
    EXPECT_EQ(lines[20], " CAISSE REGIONALE              OCTOBRE 2026       10,00      520,00       12,50        30,00");
    EXPECT_EQ(lines[21], " CAISSE REGIONALE              NOVEMBRE 2026      10,00        0,00");
    EXPECT_EQ(lines[22], " CONSEIL GENERAL DE HAUTE-SAVOINOVEMBRE 2026       5,00      100,00        0,00");
    // A charge in the funding-body amount column, a credit as a positive fee, a zero item bare.
    EXPECT_EQ(lines[24], " ADHESION" + std::string(47, ' ') + "      50,00");
    EXPECT_EQ(lines[25], " REMISE" + std::string(61, ' ') + "      25,00");
    EXPECT_EQ(lines[26], " GRATUIT");
    // Hours add up exactly (25,008), the other totals add the printed figures.
    EXPECT_EQ(lines[60], std::string(38, ' ') + "Total       25,01      670,00       37,50        30,00");
    EXPECT_EQ(lines[62], std::string(38, ' ') + "Solde" + std::string(18, ' ') + "     632,50");
    EXPECT_FALSE(access().MultiSecteur());
    EXPECT_THROW(control::dataModule().FLUXCOMPTABLES.file->Read("00000A01S0120261101"), db::DatabaseError);
}

TEST_F(RecapTest, EveryPageCarriesTheRunningTotalsAndTheRecapHeading) {
    // 37 lines: the first fee-scale item is the last line of the first page.
    for (int i = 0; i < 37; ++i) addLine(*access().Detail(), {"CAISSE REGIONALE", "202611", "100", "100", "0", "0", "P"});
    control->Imprime_Recap();

    ASSERT_EQ(output->pageCount(), 2);
    EXPECT_EQ(countOn(0, "ADHESION") + countOn(1, "ADHESION"), 1);
    EXPECT_EQ(pageLines(0)[60], std::string(38, ' ') + "Total       37,00       87,00        0,00         0,00");
    EXPECT_EQ(pageLines(1)[6], std::string(15, ' ') + "ETAT RECAPITULATIF DE FACTURATION DE NOVEMBRE 2026");
    EXPECT_EQ(countOn(1, "Secteur"), 0);
    EXPECT_EQ(pageLines(1)[20].find(" REMISE"), 0u);
    EXPECT_EQ(pageLines(1)[60], std::string(38, ' ') + "Total       37,00       87,00       25,00         0,00");
    EXPECT_EQ(rulesOf(0), rulesOf(1));  // each page ruled with its totals and balance boxes
    EXPECT_EQ(rulesOf(0).size(), 9u + 8u + 9u);
}

}  // namespace
}  // namespace tessaran::printing_test
