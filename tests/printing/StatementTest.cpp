// The billing statement of a sector: heading, lines, complementary lines, page breaks, totals.

#include "PrintingFixture.h"
#include "control/DataModule.h"

namespace tessaran::printing_test {
namespace {

const std::string kLabel30 = "CAISSE PRIMAIRE ASSURANCE MALA";

std::vector<Rule> footBoxRules() {
    std::vector<Rule> rules;
    for (double x : {9.6, 11.7, 14.2, 16.8, 19.5}) rules.push_back({x, 24, x, 24.7});
    return joined(rules, {{9.6, 24.7, 19.5, 24.7}, {11.7, 24.7, 11.7, 25.4}, {16.8, 24.7, 16.8, 25.4}, {11.7, 25.4, 16.8, 25.4}});
}

class StatementTest : public PrintingTest {
protected:
    void printLine(const std::string& label, const std::string& period, double hours, double amount, double fee,
                   double beneficiary) {
        auto a = access();
        a.LibelleDetail() = label;
        a.PeriodeDetail() = period;
        a.HeuresDetail() = hours;
        a.CaisseDetail() = amount;
        a.FraisDetail() = fee;
        a.BenefDetail() = beneficiary;
        control->Imprime_Detail();
    }
};

TEST_F(StatementTest, HeadingPlacesEveryBlockAndRulesTheHeadingBox) {
    control->Imprime_Entete();
    const auto lines = pageLines(0);
    EXPECT_EQ(lines[1], "FEDERATION DES SERVICES" + std::string(47, ' ') + "Date : 03/12/2026");
    EXPECT_EQ(textItem("12 RUE").text, "12 RUE DES LILAS BATIMENT B ");  // trailing space kept
    EXPECT_EQ(lines[3], "BP 14");
    EXPECT_EQ(lines[4], "75011 PARIS");
    EXPECT_EQ(lines[6], std::string(20, ' ') + "ETAT DE FACTURATION DE NOVEMBRE 2026");
    EXPECT_EQ(textItem("ETAT DE").font, (platform::Font{"Courier New", 14, true, false}));
    EXPECT_EQ(lines[9], "Association : AIDE ET PRESENCE");
    EXPECT_TRUE(textItem("Association").font.underline);
    EXPECT_FALSE(textItem(" : AIDE").font.underline);
    EXPECT_EQ(lines[10], std::string(14, ' ') + "3 PLACE DU MARCHE");
    EXPECT_EQ(lines[11], std::string(14, ' ') + "69002 LYON");
    EXPECT_EQ(lines[13], "Secteur     : AIDE A DOMICILE");
    EXPECT_EQ(control::dataModule().SECTEUR.record->key(), "S01");

    // Every column heading inside its ruled column, the box around them, pen width 3.
    const double rulesCm[] = {0.1, 6.5, 9.6, 11.7, 14.2, 16.8, 19.5};
    const char* headings[] = {"LIBELLE", "PERIODE", "HEURES", "MONT.CAISSE", "FRAIS GEST.", "MONT.BENEF."};
    for (int column = 0; column < 6; ++column) {
        const auto heading = textItem(headings[column]);
        EXPECT_DOUBLE_EQ(heading.y, 6.9 * kCm);
        EXPECT_GT(heading.x, rulesCm[column] * kCm) << headings[column];
        EXPECT_LT(heading.x + 120.0 * static_cast<double>(heading.text.size()), rulesCm[column + 1] * kCm);
    }
    EXPECT_EQ(rulesOf(0), headingBoxRules());
    EXPECT_EQ(printer().drawWidth(), 3);
    EXPECT_FALSE(access().SuitePage());
    EXPECT_DOUBLE_EQ(printer().currentY(), kFirstLineY);
    EXPECT_EQ(printer().font(), platform::Font{});
}

TEST_F(StatementTest, HeadingLeavesOutEmptyAddressPartsAndKeepsTheDateColumn) {
    importRecords(R"({"ASSOCIATION": {"002": {"1": "F"}}, "FEDEASSOC": {"A09": {"1": "SOLIDARITE", "5": "CHEMIN VERT"}}})");
    load("ASSOCIATION", "002");
    load("FEDEASSOC", "A09");
    control->Imprime_Entete();
    std::vector<std::string> items;
    for (const auto& op : output->ops()) items.push_back(op.text);
    // Blank, name, date, the postcode-and-town line as one space, blank, title...
    EXPECT_EQ(std::vector<std::string>(items.begin() + 3, items.begin() + 5), (std::vector<std::string>{" ", " "}));
    EXPECT_NE(items[5].find("ETAT DE FACTURATION"), std::string::npos);
    // ...the addressee's one address part with its space, under the name, then its empty line.
    const std::string indent(14, ' ');
    EXPECT_EQ(std::vector<std::string>(items.begin() + 10, items.begin() + 14),
              (std::vector<std::string>{indent, "CHEMIN VERT ", indent, " "}));

    // 70 characters: the date follows directly; longer: the name whole, one space, the date.
    auto& issuer = *control::dataModule().ASSOCIATION.record;
    for (int length : {70, 75}) {
        issuer.set(1, std::string(static_cast<std::size_t>(length), 'N'));
        printer().newPage();
        control->Imprime_Entete();
    }
    EXPECT_EQ(pageLines(1)[1], std::string(70, 'N') + "Date : 03/12/2026");
    EXPECT_EQ(pageLines(2)[1], std::string(75, 'N') + " Date : 03/12/2026");
}

TEST_F(StatementTest, LinesFillTheirColumnsAndTheTotalsAddThePrintedFigures) {
    control->Imprime_Entete();
    printLine(kLabel30, "202611", 1234.5, 123456, 18.745, 2000);  // 12,345 and 18,745 print rounded
    load("ORGPRISECHARGE", "200");                                // type "C": no fee
    printLine(kLabel30 + "X", "202610", 0, 0, 5, 0);
    EXPECT_EQ(access().FraisDetail(), 0);
    load("ORGPRISECHARGE", "100");
    printLine("AIDE", "202609", 200, 10, 0, 0);

    const auto lines = pageLines(0);
    EXPECT_EQ(lines[20], " " + kLabel30 + "NOVEMBRE 2026      12,35     1234,56       18,75        20,00");
    EXPECT_EQ(lines[21], " " + kLabel30 + "OCTOBRE 2026        0,00        0,00        0,00");
    EXPECT_EQ(lines[22], " AIDE                          SEPTEMBRE 2026      2,00        0,10");
    EXPECT_DOUBLE_EQ(access().TotalHeures(), 14.35);
    EXPECT_DOUBLE_EQ(access().TotalCaisse(), 1234.66);
    EXPECT_DOUBLE_EQ(access().TotalFrais(), 18.75);
    EXPECT_DOUBLE_EQ(access().TotalBenef(), 20);
}

TEST_F(StatementTest, EndOfStatementPrintsAndRecordsTheComplementaryLinesThenTotalsAndBalance) {
    control->Imprime_Entete();
    printLine("CAISSE REGIONALE", "202611", 1000, 100000, 25, 5000);
    control->Imprime_Fin_Tableau();

    const auto lines = pageLines(0);
    EXPECT_EQ(lines[21], "");
    EXPECT_EQ(lines[22], " COTISATION ANNUELLE" + std::string(36, ' ') + "     120,50");
    EXPECT_EQ(lines[23], " REMISE FIDELITE" + std::string(40, ' ') + "     -30,00");
    EXPECT_EQ(lines[60], std::string(38, ' ') + "Total       10,00     1090,50       25,00        50,00");
    EXPECT_EQ(lines[62], std::string(38, ' ') + "Solde" + std::string(18, ' ') + "    1065,50");
    EXPECT_DOUBLE_EQ(textItem("Total").y, 24.2 * kCm);
    EXPECT_TRUE(textItem("Solde").font.bold);
    EXPECT_FALSE(printer().font().bold);
    EXPECT_EQ(rulesOf(0), joined(joined(headingBoxRules(), bodyRules()), footBoxRules()));
    auto flows = control::dataModule().FLUXCOMPTABLES.file;
    EXPECT_EQ(flows->Read("00000A01S0120261101")->get(27), "COTISATION ANNUELLE");
    EXPECT_EQ(flows->Read("00000A01S0120261102")->get(28), "-3000");

    // A multi-sector association leaves them to its recap.
    load("FEDEASSOC", "A02");
    printer().newPage();
    control->Imprime_Entete();
    control->Imprime_Fin_Tableau();
    EXPECT_EQ(countOn(1, "COTISATION") + countOn(1, "ADHESION"), 0);
    EXPECT_EQ(countOn(1, "Total"), 1);
}

TEST_F(StatementTest, PageBreaksOnlyBelowTwentyThreeAndAHalfCentimetres) {
    control->Imprime_Entete();
    printer().setCurrentY(23.5 * kCm);
    printLine("CAISSE REGIONALE", "202611", 100, 100, 0, 0);
    EXPECT_EQ(output->pageCount(), 1);
    printLine("CAISSE REGIONALE", "202611", 100, 100, 0, 0);
    ASSERT_EQ(output->pageCount(), 2);
    EXPECT_FALSE(access().SuitePage());
    EXPECT_EQ(rulesOf(0), joined(headingBoxRules(), bodyRules()));  // the full page: no totals
    EXPECT_EQ(countOn(0, "Total"), 0);
    EXPECT_EQ(pageLines(1)[13], "Secteur     : AIDE A DOMICILE");  // the whole heading again
    EXPECT_EQ(pageLines(1)[20].find(" CAISSE REGIONALE"), 0u);
}

TEST_F(StatementTest, PageBreakAmongComplementaryLinesContinuesUnderANewHeading) {
    control->Imprime_Entete();
    printer().setCurrentY(23.5 * kCm - 227);  // the first item is the last line that fits
    control->Imprime_Fin_Tableau();

    ASSERT_EQ(output->pageCount(), 2);
    EXPECT_EQ(countOn(0, "COTISATION ANNUELLE") + countOn(1, "COTISATION ANNUELLE"), 1);
    EXPECT_EQ(countOn(0, "Total"), 0);
    EXPECT_EQ(pageLines(1)[20].find(" REMISE FIDELITE"), 0u);
    EXPECT_EQ(pageLines(1)[60], std::string(38, ' ') + "Total        0,00       90,50        0,00         0,00");
    EXPECT_EQ(rulesOf(0), joined(headingBoxRules(), bodyRules()));
    EXPECT_EQ(rulesOf(1), joined(joined(headingBoxRules(), bodyRules()), footBoxRules()));
}

}  // namespace
}  // namespace tessaran::printing_test
