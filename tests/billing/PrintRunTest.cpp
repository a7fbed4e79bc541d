// The print run driven through the panel on a small federation, every figure worked out by
// hand: what is written back, the accumulators' lines, the messages, the runs writing nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ControlWorld.h"

namespace tessaran::testing {
namespace {

using ::testing::ElementsAre;

// Attributes of a stored record, "" for the absent ones.
std::vector<std::string> attributes(const db::DynamicArray& record, std::initializer_list<int> numbers) {
    std::vector<std::string> values;
    for (int number : numbers) values.push_back(record.get(number));
    return values;
}

// Values 1 to 7 of one accumulator line.
std::vector<std::string> line(const db::DynamicArray& accumulator, int n) {
    std::vector<std::string> values;
    for (int value = 1; value <= 7; ++value) values.push_back(accumulator.get(n, value));
    return values;
}

int occurrences(const std::vector<std::string>& pages, const std::string& text) {
    int count = 0;
    for (const std::string& page : pages) {
        for (std::size_t at = page.find(text); at != std::string::npos; at = page.find(text, at + 1)) ++count;
    }
    return count;
}

// A small federation billed in November 2026 (the current pay period is December 2026).
// Day numbers: 20821 = 1 January 2025, 21186 = 1 January 2026, 21245 = 1 March 2026,
// 21337 = 1 June 2026, 21534 = 15 December 2026, 21551 = 1 January 2027, 21610 = 1 March 2027.
// 001 ENTRAIDE NORD, one sector; 002 AIDE SUD, two sectors; 003 SERVICES OUEST has
// complementary flows 01 and 02 already; 004 has no fee scale; 005 no accounting parameters.
class PrintRunTest : public ::testing::Test {
protected:
    std::shared_ptr<db::SqliteDatabase> database = databaseFrom(testData("federation.json"));
};

TEST_F(PrintRunTest, WritesFeesInvoiceNumbersComplementaryFlowsAndCounter) {
    ControlWorld world(database);
    world.period("NOVEMBRE 2026").select({"001", "002", "003", "004", "005"}).print();

    // Completed flows: invoice number, label, fee in hundredths, parameters, what the fee was
    // charged on (hours, amount, scale value).
    const std::initializer_list<int> written = {20, 21, 22, 23, 24, 25, 26, 33, 34, 35, 37};
    // Percentage scale entry: 3 h x 22.00 x 5 % = 3.30; charged on Int(300 x 22 + 1/2) = 6600.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FA001001S01202611"), written),
                ElementsAre("0000000042", "CAISSE BETA", "330", "P14", "P15", "P8", "P6", "0", "6600", "500", ""));
    // Per-hour scale entry: 2.5 h x 1.20 = 3.00, charged on the hours.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FA002001S01202610"), written),
                ElementsAre("0000000042", "CAISSE ALPHA", "300", "P14", "P15", "P8", "P6", "250", "0", "120", ""));
    // Scale default 4.5 % at the funding body's last rate (every date is later than the
    // period): 3.33 h x 20.00 x 4.5 % = 2.997, rounded to 3.00.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FA004001S01202611"), {22, 33, 34, 35}),
                ElementsAre("300", "0", "6660", "450"));
    // No funding body: the association's own rate of kind "1" dated before 30 November 2026
    // (19.00, not the later 25.00): 4 h x 19.00 x 4.5 % = 3.42.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FA006001S01202611"), {20, 21, 22, 34, 35}),
                ElementsAre("0000000042", "TAUX PRESTATION", "342", "7600", "450"));
    // Beneficiary only: no hours, no fee, marked as invoiced without a period.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FA007001S01202611"), {20, 22, 33, 34, 35, 37}),
                ElementsAre("0000000042", "0", "0", "0", "0", "1"));

    // Type "C" funding body: the fee is computed but recorded as 0.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FB001002S01202611"), {20, 21, 22, 23, 33, 34, 35}),
                ElementsAre("0000000043", "MUTUELLE GAMMA", "0", "Q14", "0", "0", "0"));
    // Service activity rate (the association has no rate of kind "1"): the activity of kind
    // "P" with the lowest key, its last rate 17.00: 2 h x 17.00 x 4.5 % = 1.53.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FB002002S02202611"), {20, 22, 34}),
                ElementsAre("0000000043", "153", "3400"));
    // A funding body whose rate is 0 takes the association's rate of kind "2": 30.00.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FB003002S02202611"), {20, 22, 34}),
                ElementsAre("0000000043", "135", "3000"));
    // Per-hour scale default: 2 h x 1.00.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FC001003S01202611"), {20, 22, 33, 35}),
                ElementsAre("0000000044", "200", "200", "100"));
    // Without a fee scale nothing is billed; without parameters the association is billed
    // with empty ones, not those of the association before it (S14).
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FD001004S01202611").get(20), "");
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FE001005S01202611"), {20, 22, 23}),
                ElementsAre("0000000045", "100", ""));

    // Already invoiced, of another period, without funding body: untouched.
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "FA008001S01202611"), {20, 22}), ElementsAre("0000000007", ""));
    for (const char* key : {"FA009001S01202611", "FA010001S01202611"}) {
        EXPECT_EQ(world.record("FLUXCOMPTABLES", key).get(20), "") << key;
    }

    // Complementary flows of the single-sector associations, each side letter choosing which
    // attribute of its pair takes the item's value.
    const std::initializer_list<int> item = {1, 20, 27, 28, 29, 30, 31, 32, 37};
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "00000001S0120261101"), item),
                ElementsAre("202611", "0000000042", "COTISATION", "2500", "706", "P12", "P7", "512", ""));
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "00000001S0120261102"), item),
                ElementsAre("202611", "0000000042", "REMISE", "-1000", "P14", "411", "P7", "P6", ""));
    EXPECT_THAT(attributes(world.record("FLUXCOMPTABLES", "00000003S0120261103"), item),
                ElementsAre("202611", "0000000044", "FORFAIT", "700", "R14", "R12", "R7", "R6", ""));
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "00000003S0120261101").get(27), "ANCIEN");
    // The two-sector association's items go on its recap and are not recorded.
    for (const auto& [key, flow] : database->records("FLUXCOMPTABLES")) EXPECT_FALSE(key.starts_with("00000002"));

    // The counter holds the last number used.
    EXPECT_EQ(world.record("NUMEROFACT", "001").get(10), "0000000045");

    EXPECT_THAT(world.messageTexts(),
                ElementsAre("Le barème de l'association SANS BAREME n'est pas renseigné.",
                            "Le paramétrage des flux comptables de l'association SANS PARAMETRE n'est pas renseigné."));
    EXPECT_EQ(world.ui().messages.at(0).buttons, 48);
    EXPECT_EQ(world.ui().messages.at(0).title, "Message VELORANDE");

    // Invoices on the pages, progress over the 13 flows, the run's end.
    const auto pages = world.pages();
    for (const char* number : {"0000000042", "0000000043", "0000000044", "0000000045"}) {
        EXPECT_EQ(occurrences(pages, std::string("Numéro de facture : ") + number), 1) << number;
    }
    EXPECT_EQ(occurrences(pages, "SANS BAREME"), 0);
    EXPECT_THAT(world.ui().progressReports, ElementsAre(std::make_pair(13, 13), std::make_pair(0, 0)));
    EXPECT_TRUE(world.control().W_Sortir);
    EXPECT_FALSE(database->inTransaction());
}

TEST_F(PrintRunTest, AccumulatesOneLinePerLabelAndPeriodInOrder) {
    ControlWorld world(database);
    world.period("NOVEMBRE 2026").select({"001"}).print();
    auto members = world.members();
    const db::DynamicArray& detail = *members.Detail();
    const db::DynamicArray& cumul = *members.Cumul();

    // Labels in ascending order (later labels inserted before earlier ones), the periods of
    // one label ascending whatever the order of the flows (202609 came last).
    ASSERT_EQ(detail.DCount(), 6);
    EXPECT_THAT(line(detail, 1), ElementsAre("CAISSE ALPHA", "202609", "50", "1000", "0.45", "0", "P"));
    EXPECT_THAT(line(detail, 2), ElementsAre("CAISSE ALPHA", "202610", "250", "5000", "3", "0", "P"));
    EXPECT_THAT(line(detail, 3), ElementsAre("CAISSE ALPHA", "202611", "100", "2000", "1.2", "0", "P"));
    EXPECT_THAT(line(detail, 4), ElementsAre("CAISSE BETA", "202611", "300", "6600", "3.3", "1800", "P"));
    EXPECT_THAT(line(detail, 5), ElementsAre("CAISSE DELTA", "202611", "333", "6660", "3", "0", "P"));
    EXPECT_THAT(line(detail, 6), ElementsAre("TAUX PRESTATION", "202611", "400", "0", "3.42", "0", "P"));

    // The invoice's figures: per-hour lines keep their hours, percentage lines the amount;
    // a fee from the scale's default is rounded to hundredths of a hundredth (299.7).
    ASSERT_EQ(cumul.DCount(), 6);
    EXPECT_THAT(line(cumul, 1), ElementsAre("CAISSE ALPHA", "202609", "0", "1000", "450", "45", "P"));
    EXPECT_THAT(line(cumul, 2), ElementsAre("CAISSE ALPHA", "202610", "250", "0", "120", "300", "P"));
    EXPECT_THAT(line(cumul, 3), ElementsAre("CAISSE ALPHA", "202611", "100", "0", "120", "120", "P"));
    EXPECT_THAT(line(cumul, 4), ElementsAre("CAISSE BETA", "202611", "0", "6600", "500", "330", "P"));
    EXPECT_THAT(line(cumul, 5), ElementsAre("CAISSE DELTA", "202611", "0", "6660", "450", "299.7", "P"));
    EXPECT_THAT(line(cumul, 6), ElementsAre("TAUX PRESTATION", "202611", "0", "7600", "450", "342", "P"));
}

TEST_F(PrintRunTest, OtherFundingBodyTypesKeepTheirOrderOfAppearance) {
    ControlWorld world(database);
    world.period("NOVEMBRE 2026").select({"002"}).print();
    auto members = world.members();
    // Two sectors, one accumulator: the type "C" line was appended, the type "P" one sorting
    // before it was inserted above it.
    const db::DynamicArray& detail = *members.Detail();
    const db::DynamicArray& cumul = *members.Cumul();
    ASSERT_EQ(detail.DCount(), 3);
    EXPECT_THAT(line(detail, 1), ElementsAre("CAISSE EPSILON", "202611", "100", "3000", "1.35", "0", "P"));
    EXPECT_THAT(line(detail, 2), ElementsAre("MUTUELLE GAMMA", "202611", "0", "3000", "1", "0", "C"));
    EXPECT_THAT(line(detail, 3), ElementsAre("TAUX PRESTATION", "202611", "200", "0", "1.53", "0", "P"));
    EXPECT_THAT(line(cumul, 2), ElementsAre("MUTUELLE GAMMA", "202611", "0", "0", "100", "100", "C"));
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FB001002S01202611").get(20), "0000000042");
    EXPECT_EQ(world.record("NUMEROFACT", "001").get(10), "0000000042");
    EXPECT_EQ(occurrences(world.pages(), "ETAT RECAPITULATIF DE FACTURATION DE NOVEMBRE 2026"), 1);
}

TEST_F(PrintRunTest, SecondCopyPrintsTheSameInvoicesAndWritesNothingMore) {
    ControlWorld once(database);
    once.period("NOVEMBRE 2026").select({"001", "003", "004"}).print();
    const std::string afterOneCopy = once.exported();
    const auto pagesOfOneCopy = once.pages();

    ControlWorld twice(databaseFrom(testData("federation.json")), {.pick = {0, 2}});
    twice.period("NOVEMBRE 2026").select({"001", "003", "004"}).print();

    // The database ends exactly as after one copy: same fees, same numbers, no complementary
    // flow created twice, the counter advanced once.
    EXPECT_EQ(twice.exported(), afterOneCopy);
    EXPECT_EQ(twice.record("NUMEROFACT", "001").get(10), "0000000043");
    const auto pages = twice.pages();
    EXPECT_EQ(occurrences(pages, "Numéro de facture : 0000000042"), 2);
    EXPECT_EQ(occurrences(pages, "Numéro de facture : 0000000043"), 2);
    EXPECT_EQ(pages.size(), 2 * pagesOfOneCopy.size());
    // The association without a fee scale is announced in every copy.
    EXPECT_EQ(twice.ui().messages.size(), 2u);
    EXPECT_THAT(twice.ui().progressReports.front(), ::testing::Pair(18, 18));
}

TEST_F(PrintRunTest, RunsThatPrintNothingWriteNothing) {
    const std::string before = db::exportJson(*database);
    {
        // No flow of that period.
        ControlWorld world(database);
        world.period("SEPTEMBRE 2026").select({"001"}).print();
        EXPECT_THAT(world.messageTexts(), ElementsAre("Aucun état de facturation à éditer."));
        EXPECT_EQ(world.ui().messages.at(0).buttons, 64);
        EXPECT_EQ(world.printers().timesAsked(), 0);
        EXPECT_TRUE(world.control().W_Sortir);
    }
    {
        // No association chosen.
        ControlWorld world(database);
        world.period("NOVEMBRE 2026").print();
        EXPECT_THAT(world.messageTexts(), ElementsAre("Aucun état de facturation à éditer."));
    }
    {
        // Printer choice cancelled: nothing printed, the control never disabled.
        ControlWorld world(database, {.pick = {-1, 1}});
        world.period("NOVEMBRE 2026").select({"001"}).print();
        EXPECT_EQ(world.printers().timesAsked(), 1);
        EXPECT_EQ(world.printers().lastOutput(), nullptr);
        EXPECT_TRUE(world.ui().messages.empty());
        EXPECT_THAT(world.ui().pointers, ElementsAre(11, 0));  // Init's only
    }
    {
        // Only an association without fee scale: announced, no document, no number.
        ControlWorld world(database);
        world.period("NOVEMBRE 2026").select({"004"}).print();
        EXPECT_THAT(world.messageTexts(), ElementsAre("Le barème de l'association SANS BAREME n'est pas renseigné."));
        EXPECT_EQ(world.pages().size(), 1u);
        EXPECT_EQ(world.pages().front(), "");
    }
    EXPECT_EQ(db::exportJson(*database), before);
    EXPECT_FALSE(database->inTransaction());
}

TEST_F(PrintRunTest, ReprintShowsTheStoredInvoicesAndWritesNothing) {
    {
        ControlWorld world(database);
        world.period("NOVEMBRE 2026").select({"003"}).reprint();
        EXPECT_THAT(world.messageTexts(), ElementsAre("Aucun état de facturation à ré-éditer."));
        EXPECT_EQ(world.ui().messages.at(0).buttons, 64);
        EXPECT_TRUE(world.control().W_Sortir);
    }
    {
        ControlWorld world(database);
        world.period("NOVEMBRE 2026").select({"001", "003"}).print();
    }
    const std::string printed = db::exportJson(*database);
    ControlWorld world(database);
    world.period("NOVEMBRE 2026").select({"001", "003"}).reprint();
    EXPECT_EQ(db::exportJson(*database), printed);
    EXPECT_TRUE(world.ui().messages.empty());
    // The flow invoiced earlier (number 7) is reprinted with the others.
    const auto pages = world.pages();
    EXPECT_EQ(occurrences(pages, "Numéro de facture : 0000000042"), 1);
    EXPECT_EQ(occurrences(pages, "Numéro de facture : 0000000043"), 1);
    // The last association's invoice figures come from its flow.
    auto members = world.members();
    EXPECT_THAT(line(*members.Cumul(), 1), ElementsAre("CAISSE ALPHA", "202611", "200", "0", "100", "200", "P"));
    EXPECT_EQ(members.NumFacture(), "0000000043");
    EXPECT_THAT(world.ui().progressReports, ElementsAre(std::make_pair(9, 9), std::make_pair(0, 0)));
}

// A flow whose funding body is unknown is skipped alone: the association is still printed
// and its other flows invoiced.
TEST_F(PrintRunTest, UnknownFundingBodyOnTheFirstFlowSkipsOnlyThatFlow) {
    db::importJson(*database, R"({"FLUXCOMPTABLES": {"FA099001S01202611": {"1": "202611", "4": "999", "6": "100"}}})");
    ControlWorld world(database);
    world.period("NOVEMBRE 2026").select({"001"}).print();

    EXPECT_TRUE(world.control().W_Sortir);
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FA099001S01202611").get(20), "");
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FA001001S01202611").get(20), "0000000042");
    EXPECT_EQ(occurrences(world.pages(), "ETAT DE FACTURATION DE NOVEMBRE 2026"), 1);
}

}  // namespace
}  // namespace tessaran::testing
