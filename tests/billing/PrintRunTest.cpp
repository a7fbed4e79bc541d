// The runs of the billing engine on a small federation, every figure worked out by hand:
// what a print writes back and tells, the accumulators' lines, copies, previews, reprints,
// and the runs that keep nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <tuple>

#include "billing/Accumulation.h"
#include "billing/RunValues.h"
#include "platform/NumberText.h"
#include "support/EngineWorld.h"

namespace tessaran::testing {
namespace {

using billing::RunEnd;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

const std::vector<std::string> kAll = {"001", "002", "003", "004", "005"};

// How a run ended, the numbers it gave, the flows and complementary flows it billed, its pages.
std::string summary(const billing::RunOutcome& outcome) {
    std::string text = billing::endName(outcome.end);
    for (const std::string& number : outcome.invoiceNumbers) text += " " + std::to_string(std::stoi(number));
    return text + ", billed " + std::to_string(outcome.flowsBilled) + " + " +
           std::to_string(outcome.complementaryFlows) + ", " + std::to_string(outcome.pages) + " pages";
}

// A small federation billed in November 2026 (the current pay period is December 2026).
// Day numbers: 20821 = 1 January 2025, 21186 = 1 January 2026, 21245 = 1 March 2026,
// 21337 = 1 June 2026, 21534 = 15 December 2026, 21551 = 1 January 2027, 21610 = 1 March 2027.
// 001 ENTRAIDE NORD, one sector; 002 AIDE SUD, two sectors; 003 SERVICES OUEST has
// complementary flows 01 and 02 already; 004 has no fee scale; 005 no accounting parameters.
class PrintRunTest : public ::testing::Test {
protected:
    std::shared_ptr<db::MultivalueDatabase> database = databaseFrom(testData("federation.json"));
    EngineWorld world{database};
    const std::string before = world.exported();
};

TEST_F(PrintRunTest, WritesFeesInvoiceNumbersComplementaryFlowsAndCounter) {
    const billing::RunOutcome outcome = world.print("202611", kAll);
    // Attributes of a stored flow, "" for the absent ones.
    const auto flow = [&](const char* key, std::initializer_list<int> numbers) {
        std::vector<std::string> values;
        for (int number : numbers) values.push_back(world.record("FLUXCOMPTABLES", key).get(number));
        return values;
    };

    // Completed flows: invoice number, label, fee in hundredths, parameters, what the fee was
    // charged on (hours, amount, scale value).
    const std::initializer_list<int> written = {20, 21, 22, 23, 24, 25, 26, 33, 34, 35, 37};
    // Percentage scale entry: 3 h x 22.00 x 5 % = 3.30; charged on Int(300 x 22 + 1/2) = 6600.
    EXPECT_THAT(flow("FA001001S01202611", written),
                ElementsAre("0000000042", "CAISSE BETA", "330", "P14", "P15", "P8", "P6", "0", "6600", "500", ""));
    // Per-hour scale entry: 2.5 h x 1.20 = 3.00, charged on the hours.
    EXPECT_THAT(flow("FA002001S01202610", written),
                ElementsAre("0000000042", "CAISSE ALPHA", "300", "P14", "P15", "P8", "P6", "250", "0", "120", ""));
    // Scale default 4.5 % at the funding body's last rate (every date is later than the
    // period): 3.33 h x 20.00 x 4.5 % = 2.997, rounded to 3.00.
    EXPECT_THAT(flow("FA004001S01202611", {22, 33, 34, 35}), ElementsAre("300", "0", "6660", "450"));
    // No funding body: the association's own rate of kind "1" dated before 30 November 2026
    // (19.00, not the later 25.00): 4 h x 19.00 x 4.5 % = 3.42.
    EXPECT_THAT(flow("FA006001S01202611", {20, 21, 22, 34, 35}),
                ElementsAre("0000000042", "TAUX PRESTATION", "342", "7600", "450"));
    // Beneficiary only: no hours, no fee, marked as invoiced without a period.
    EXPECT_THAT(flow("FA007001S01202611", {20, 22, 33, 34, 35, 37}),
                ElementsAre("0000000042", "0", "0", "0", "0", "1"));
    // Type "C" funding body: the fee is computed but recorded as 0.
    EXPECT_THAT(flow("FB001002S01202611", {20, 21, 22, 23, 33, 34, 35}),
                ElementsAre("0000000043", "MUTUELLE GAMMA", "0", "Q14", "0", "0", "0"));
    // Service activity rate (the association has no rate of kind "1"): the activity of kind
    // "P" with the lowest key, its last rate 17.00: 2 h x 17.00 x 4.5 % = 1.53.
    EXPECT_THAT(flow("FB002002S02202611", {20, 22, 34}), ElementsAre("0000000043", "153", "3400"));
    // A funding body whose rate is 0 takes the association's rate of kind "2": 30.00.
    EXPECT_THAT(flow("FB003002S02202611", {20, 22, 34}), ElementsAre("0000000043", "135", "3000"));
    // Per-hour scale default: 2 h x 1.00.
    EXPECT_THAT(flow("FC001003S01202611", {20, 22, 33, 35}), ElementsAre("0000000044", "200", "200", "100"));
    // Without parameters the association is billed with empty ones, not those of the
    // association before it (S14).
    EXPECT_THAT(flow("FE001005S01202611", {20, 22, 23}), ElementsAre("0000000045", "100", ""));
    // Already invoiced (number 7), without fee scale, of another period, without funding
    // body: untouched.
    for (const char* key : {"FA008001S01202611", "FD001004S01202611", "FA009001S01202611", "FA010001S01202611"}) {
        EXPECT_EQ(flow(key, {22}).front(), "") << key;
    }

    // Complementary flows of the single-sector associations, each side letter choosing which
    // attribute of its pair takes the item's value.
    const std::initializer_list<int> item = {1, 20, 27, 28, 29, 30, 31, 32, 37};
    EXPECT_THAT(flow("00000001S0120261101", item),
                ElementsAre("202611", "0000000042", "COTISATION", "2500", "706", "P12", "P7", "512", ""));
    EXPECT_THAT(flow("00000001S0120261102", item),
                ElementsAre("202611", "0000000042", "REMISE", "-1000", "P14", "411", "P7", "P6", ""));
    EXPECT_THAT(flow("00000003S0120261103", item),
                ElementsAre("202611", "0000000044", "FORFAIT", "700", "R14", "R12", "R7", "R6", ""));
    EXPECT_THAT(flow("00000003S0120261101", {27}), ElementsAre("ANCIEN"));
    // The two-sector association's items go on its recap and are not recorded.
    for (const auto& [key, stored] : database->records("FLUXCOMPTABLES")) EXPECT_FALSE(key.starts_with("00000002"));

    // The counter holds the last number used.
    EXPECT_EQ(world.record("NUMEROFACT", "001").get(10), "0000000045");

    // What the run tells, shows and prints: each invoice once, one recap.
    EXPECT_EQ(summary(outcome), "printed 42 43 44 45, billed 12 + 3, 10 pages");
    EXPECT_THAT(outcome.messages,
                ElementsAre("Le barème de l'association SANS BAREME n'est pas renseigné.",
                            "Le paramétrage des flux comptables de l'association SANS PARAMETRE n'est pas renseigné."));
    EXPECT_EQ(world.messageTexts(), outcome.messages);
    EXPECT_EQ(world.ui().messages.at(0).buttons, 48);
    const auto pages = world.pages();
    EXPECT_EQ(outcome.pages, static_cast<int>(pages.size()));
    EXPECT_TRUE(world.output()->ended());
    for (const std::string& number : outcome.invoiceNumbers) {
        EXPECT_EQ(occurrences(pages, "Numéro de facture : " + number), 1) << number;
    }
    EXPECT_EQ(occurrences(pages, "ETAT RECAPITULATIF DE FACTURATION DE NOVEMBRE 2026"), 1);
    EXPECT_EQ(occurrences(pages, "SANS BAREME"), 0);
    EXPECT_FALSE(database->inTransaction());
}

TEST_F(PrintRunTest, SecondCopyPrintsTheSameInvoicesAndWritesNothingMore) {
    // 004 prints nothing: the new page asked for it stays empty, and the document ends before
    // it. With two copies, the second copy's new page comes after it: that one blank page stays.
    EXPECT_EQ(summary(world.print("202611", {"001", "003", "004"})), "printed 42 43, billed 8 + 3, 4 pages");
    EngineWorld twice(databaseFrom(testData("federation.json")), {0, 2});
    const billing::RunOutcome two = twice.print("202611", {"001", "003", "004"});

    // The database ends exactly as after one copy: same fees, same numbers, no complementary
    // flow created twice, the counter advanced once.
    EXPECT_EQ(twice.exported(), world.exported());
    EXPECT_EQ(summary(two), "printed 42 43, billed 8 + 3, 9 pages");
    for (const std::string number : {"0000000042", "0000000043"})
        EXPECT_EQ(occurrences(twice.pages(), "Numéro de facture : " + number), 2) << number;
    // The association without a fee scale is announced in every copy.
    EXPECT_EQ(two.messages.size(), 2u);
    EXPECT_THAT(twice.ui().progressReports.front(), Pair(18, 18));
}

TEST_F(PrintRunTest, PreviewShowsWhatThePrintWillGiveAndKeepsNothing) {
    const billing::RunOutcome preview = world.preview("202611", kAll);
    const auto previewPages = world.pages();
    EXPECT_EQ(world.output()->watermark(), billing::kPreviewMark);
    EXPECT_TRUE(world.output()->ended());
    EXPECT_EQ(world.exported(), before);
    EXPECT_FALSE(database->inTransaction());

    const billing::RunOutcome print = world.print("202611", kAll);
    EXPECT_EQ(world.output()->watermark(), "");
    EXPECT_EQ(previewPages, world.pages());
    EXPECT_EQ(summary(preview), summary(print));
    EXPECT_EQ(preview.messages, print.messages);
    EXPECT_THAT(world.enabledStates, ElementsAre(false, true, false, true));
}

TEST_F(PrintRunTest, CancelledRunKeepsNothing) {
    world.ui().cancel = true;  // asked before the first flow is done
    const std::vector<std::pair<billing::RunKind, std::string>> runs = {
        {billing::RunKind::Print,
         "Impression annulée : aucune facture, aucun frais de gestion ni aucun flux complémentaire n'a été "
         "enregistré, et aucun document n'a été imprimé."},
        {billing::RunKind::Preview, "Aperçu annulé : rien n'a été enregistré."},
        {billing::RunKind::Reprint, "Réédition annulée : aucun document n'a été imprimé."}};  // flow FA008
    for (const auto& [kind, message] : runs) {
        const billing::RunOutcome outcome = world.run(kind, "202611", {"001"});
        EXPECT_EQ(summary(outcome), "cancelled, billed 0 + 0, 0 pages");
        EXPECT_THAT(outcome.messages, ElementsAre(message));
        EXPECT_TRUE(world.output()->abandoned());
        EXPECT_FALSE(world.output()->ended());
    }
    EXPECT_EQ(world.exported(), before);
    EXPECT_FALSE(database->inTransaction());
    EXPECT_THAT(world.enabledStates, ElementsAre(false, true, false, true, false, true));
}

TEST_F(PrintRunTest, RunsThatPrintNothingWriteNothing) {
    // No flow of that period, no association chosen: nothing asked, the view left alone.
    for (const auto& [period, codes] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{{"202609", {"001"}}, {"202611", {}}}) {
        const billing::RunOutcome outcome = world.print(period, codes);
        EXPECT_EQ(summary(outcome), "nothing to print, billed 0 + 0, 0 pages");
        EXPECT_THAT(outcome.messages, ElementsAre("Aucun état de facturation à éditer."));
    }
    EXPECT_EQ(world.ui().messages.at(0).buttons, 64);
    EXPECT_EQ(world.printers().timesAsked(), 0);
    EXPECT_THAT(world.enabledStates, IsEmpty());

    // Printer choice cancelled: nothing printed, nothing said, the view never disabled.
    EngineWorld cancelled(database, {-1, 1});
    const billing::RunOutcome outcome = cancelled.print("202611", {"001"});
    EXPECT_EQ(summary(outcome), "printer choice cancelled, billed 0 + 0, 0 pages");
    EXPECT_THAT(outcome.messages, IsEmpty());
    EXPECT_EQ(cancelled.printers().timesAsked(), 1);
    EXPECT_EQ(cancelled.output(), nullptr);
    EXPECT_THAT(cancelled.enabledStates, IsEmpty());

    // Only an association without fee scale: announced, no document, no number.
    const billing::RunOutcome unbillable = world.print("202611", {"004"});
    EXPECT_EQ(summary(unbillable), "nothing to print, billed 0 + 0, 0 pages");
    EXPECT_THAT(unbillable.messages, ElementsAre("Le barème de l'association SANS BAREME n'est pas renseigné."));
    EXPECT_TRUE(world.output()->abandoned());
    EXPECT_EQ(world.exported(), before);
    EXPECT_FALSE(database->inTransaction());
}

TEST_F(PrintRunTest, ReprintShowsTheStoredInvoicesAndWritesNothing) {
    const billing::RunOutcome none = world.reprint("202611", {"003"});
    EXPECT_EQ(summary(none), "nothing to print, billed 0 + 0, 0 pages");
    EXPECT_THAT(none.messages, ElementsAre("Aucun état de facturation à ré-éditer."));
    EXPECT_EQ(world.ui().messages.at(0).buttons, 64);

    const billing::RunOutcome print = world.print("202611", {"001", "003"});
    const std::string printed = world.exported();
    world.ui().progressReports.clear();
    const billing::RunOutcome reprint = world.reprint("202611", {"001", "003"});
    EXPECT_EQ(world.exported(), printed);
    // No number given, no flow billed, the same pages; the flow invoiced earlier (number 7) is
    // reprinted with the others.
    EXPECT_EQ(summary(reprint), "printed, billed 0 + 0, " + std::to_string(print.pages) + " pages");
    EXPECT_THAT(reprint.messages, IsEmpty());
    for (const std::string number : {"0000000042", "0000000043"})
        EXPECT_EQ(occurrences(world.pages(), "Numéro de facture : " + number), 1) << number;
    EXPECT_THAT(world.ui().progressReports, ElementsAre(Pair(9, 9), Pair(0, 0)));
}

// A flow whose funding body is unknown is skipped alone: the association is still printed
// and its other flows invoiced.
// A code is quoted into the run's statement: one that would end the quote, or turn the value
// into a prefix of other codes ("00]" would bill 001 to 005), stops the run before it selects.
TEST_F(PrintRunTest, CodesThatWouldChangeTheStatementStopTheRun) {
    for (const std::string code : {"00]", "0\"1", "0\xFE" "1", ""}) {
        for (const auto kind : {billing::RunKind::Print, billing::RunKind::Reprint}) {
            const billing::RunOutcome outcome = world.run(kind, "202611", {"001", code});
            EXPECT_EQ(outcome.end, RunEnd::Failed) << code;
            EXPECT_THAT(outcome.messages,
                        ElementsAre(::testing::HasSubstr("ne peut pas figurer dans une sélection"))) << code;
        }
    }
    EXPECT_EQ(world.printers().timesAsked(), 0);
    EXPECT_EQ(world.exported(), before);
}

TEST_F(PrintRunTest, UnknownFundingBodyOnTheFirstFlowSkipsOnlyThatFlow) {
    db::importJson(*database, R"({"FLUXCOMPTABLES": {"FA099001S01202611": {"1": "202611", "4": "999", "6": "100"}}})");
    EXPECT_EQ(world.print("202611", {"001"}).end, RunEnd::Printed);
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FA099001S01202611").get(20), "");
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FA001001S01202611").get(20), "0000000042");
    EXPECT_EQ(occurrences(world.pages(), "ETAT DE FACTURATION DE NOVEMBRE 2026"), 1);
}

// ---- the accumulators, on their own, fed with the federation's flows ----

// The lines of an accumulator, values 1 to 7 joined by " | ".
std::vector<std::string> lines(const db::DynamicArray& accumulator) {
    std::vector<std::string> texts;
    for (int n = 1; n <= accumulator.DCount(); ++n) {
        std::string text = accumulator.get(n, 1);
        for (int value = 2; value <= 7; ++value) text += " | " + accumulator.get(n, value);
        texts.push_back(text);
    }
    return texts;
}

using AccumulationTest = PrintRunTest;

// 001's flows in an order that makes lines be inserted, at the rates a run finds for them;
// its scale charges 4.5 % by default, 1.20 an hour for C01, 5 % for C02.
TEST_F(AccumulationTest, OneLinePerLabelAndPeriodToTheCent) {
    // A funded amount without period and a beneficiary amount of another period: not counted.
    db::importJson(*database, R"({"FLUXCOMPTABLES": {
        "FA007001S01202611": {"4": "C02", "7": "500", "17": "800", "36": "202611"},
        "FA002001S01202610": {"1": "202611", "4": "C01", "6": "250", "7": "5000", "17": "90", "36": "202610"}}})");
    const db::DynamicArray scale = world.record("BAREMEFEDEASSO", "001P");
    const std::vector<std::tuple<std::string, std::string, double, double>> flows = {
        {"CAISSE BETA", "FA001001S01202611", 2200, 3.3},  // 3 h x 22.00 x 5 %
        {"CAISSE BETA", "FA007001S01202611", 2200, 0},    // beneficiary only
        {"CAISSE ALPHA", "FA002001S01202610", 2000, 3},   // 2.5 h x 1.20
        {"CAISSE ALPHA", "FA003001S01202611", 2000, 1.2},
        {"CAISSE DELTA", "FA004001S01202611", 2000, 3},  // 3.33 h x 20.00 x 4.5 % = 2.997
        {"CAISSE ALPHA", "FA005001S01202609", 2000, 0.45},
        {"TAUX PRESTATION", "FA006001S01202611", 1900, 3.42}};
    billing::Accumulators accumulators;
    billing::DetailLine beta;  // the statement line of the first two flows
    for (const auto& [label, key, rate, fee] : flows) {
        billing::DetailLine other;
        std::string number;
        const int at = billing::placeLine(accumulators, label, key.substr(11), "P");
        const db::DynamicArray flow = world.record("FLUXCOMPTABLES", key);
        const billing::FlowToAccumulate input{flow, "P", "202611", true, &scale, rate};
        EXPECT_DOUBLE_EQ(billing::accumulateFlow(input, at, accumulators, label == "CAISSE BETA" ? beta : other,
                                                 number).fee, fee) << key;
    }
    EXPECT_THAT(std::vector<double>({beta.hours, beta.funded, beta.fee, beta.beneficiary}),
                ElementsAre(300, 6600, 3.3, 1800));

    // Labels in ascending order (later labels inserted before earlier ones), the periods of
    // one label ascending whatever the order of the flows (202609 came last).
    EXPECT_THAT(lines(accumulators.detail()), ElementsAre("CAISSE ALPHA | 202609 | 50 | 1000 | 0.45 | 0 | P",
                                                        "CAISSE ALPHA | 202610 | 250 | 5000 | 3 | 0 | P",
                                                        "CAISSE ALPHA | 202611 | 100 | 2000 | 1.2 | 0 | P",
                                                        "CAISSE BETA | 202611 | 300 | 6600 | 3.3 | 1800 | P",
                                                        "CAISSE DELTA | 202611 | 333 | 6660 | 3 | 0 | P",
                                                        "TAUX PRESTATION | 202611 | 400 | 0 | 3.42 | 0 | P"));
    // The invoice's figures: per-hour lines keep their hours, percentage lines the amount, and
    // the fee is the sum of the fees the flows record, in hundredths (2.997 gives 300).
    EXPECT_THAT(lines(accumulators.cumul()), ElementsAre("CAISSE ALPHA | 202609 | 0 | 1000 | 450 | 45 | P",
                                                       "CAISSE ALPHA | 202610 | 250 | 0 | 120 | 300 | P",
                                                       "CAISSE ALPHA | 202611 | 100 | 0 | 120 | 120 | P",
                                                       "CAISSE BETA | 202611 | 0 | 6600 | 500 | 330 | P",
                                                       "CAISSE DELTA | 202611 | 0 | 6660 | 450 | 300 | P",
                                                       "TAUX PRESTATION | 202611 | 0 | 7600 | 450 | 342 | P"));
}

// The accumulators' numbers read and written as whole numbers are what the general
// conversions give, sign of zero included; the others still go through them.
TEST(AccumulatorNumbersTest, WholeNumbersAsTheGeneralConversionsGiveThem) {
    for (const std::string text : {"", "0", "-0", "007", "-42", "123456789012345", "1234567890123456", "12.5",
                                   " 42", "+5", "-", "4-2", "1e3"}) {
        const double general = platform::leadingNumber(text);
        EXPECT_EQ(billing::numberOf(text), general) << text;
        EXPECT_EQ(std::signbit(billing::numberOf(text)), std::signbit(general)) << text;
    }
    for (const double value : {1.0, -1.0, 120.0, 999999999999999.0, -999999999999999.0, 1e15, 12.5, 0.1 + 0.2}) {
        char general[32];
        const auto end = std::to_chars(general, general + sizeof general, value, std::chars_format::general, 15);
        EXPECT_EQ(billing::storedNumber(value), std::string(general, end.ptr)) << value;
    }
}

// Sums held as numbers between reads give the texts that writing each sum as a stored number
// and reading it back at the next addition gives: fractions of a cent that 15 digits round,
// sums past 10^15, zeros of either sign, values written over, lines inserted between.
TEST(AccumulatorNumbersTest, HeldSumsAreTheTextsWrittenAtEveryAddition) {
    std::mt19937 random(20261206);
    const std::vector<double> amounts = {0.1, 0.2, 0.45, 1.0 / 3, 2.997, -0.1, 150, -150, 0, -0.0,
                                         123456789012345, 999999999999999, 5e14, 1e-7, 33.33};
    for (int round = 0; round < 300; ++round) {
        billing::Accumulators held;
        db::DynamicArray detail;  // the arrays written at every step, as the application does
        db::DynamicArray cumul;
        std::vector<std::string> labels;
        for (int step = 0; step < 60; ++step) {
            const auto which = random() % 2 == 0 ? billing::Accumulators::Of::Detail : billing::Accumulators::Of::Cumul;
            db::DynamicArray& model = which == billing::Accumulators::Of::Detail ? detail : cumul;
            const int choice = static_cast<int>(random() % 10);
            if (choice == 0 || labels.empty()) {  // a new line, at the end or before another
                const std::string label = "L" + std::to_string(step);
                const bool insert = !labels.empty() && random() % 2 == 0;
                const int line = insert ? static_cast<int>(random() % labels.size()) + 1 : held.lineCount() + 1;
                held.addLine(line, label, "202611", "P", insert);
                const std::string text = label + db::kValueMark + "202611" + db::kValueMark + "0" + db::kValueMark +
                                         "0" + db::kValueMark + "0" + db::kValueMark + "0" + db::kValueMark + "P";
                for (db::DynamicArray* array : {&detail, &cumul})
                    insert ? array->Insert(line, text) : array->set(line, text);
                labels.insert(labels.begin() + line - 1, label);
                continue;
            }
            const int line = static_cast<int>(random() % labels.size()) + 1;
            const int value = 3 + static_cast<int>(random() % 4);
            if (choice == 1) {
                const std::string text = random() % 2 == 0 ? "0" : "12.5";
                held.set(which, line, value, text);
                model.set(line, value, text);
            } else {
                const double amount = amounts[random() % amounts.size()] * (random() % 3 == 0 ? 7 : 1);
                held.add(which, line, value, amount);
                model.set(line, value, billing::storedNumber(billing::numberOf(model.view(line, value)) + amount));
            }
            if (random() % 15 == 0) {
                ASSERT_EQ(held.detail().str(), detail.str()) << round << " " << step;
            }
        }
        ASSERT_EQ(held.detail().str(), detail.str()) << round;
        ASSERT_EQ(held.cumul().str(), cumul.str()) << round;
    }
}

// A reprint takes the fee, what it was charged on and the invoice number from what the print
// recorded on the flow; a print computes them from the fee scale.
TEST_F(AccumulationTest, ReprintTakesTheRecordedFiguresAndAPrintNeedsTheFeeScale) {
    world.print("202611", {"003"});
    const db::DynamicArray flow = world.record("FLUXCOMPTABLES", "FC001003S01202611");
    billing::Accumulators accumulators;
    billing::DetailLine detail;
    std::string number;
    const int at = billing::placeLine(accumulators, "CAISSE ALPHA", "202611", "P");
    EXPECT_DOUBLE_EQ(billing::accumulateFlow({flow, "P", "202611", false}, at, accumulators, detail, number).fee, 2);
    EXPECT_EQ(number, "0000000042");
    EXPECT_THAT(lines(accumulators.cumul()), ElementsAre("CAISSE ALPHA | 202611 | 200 | 0 | 100 | 200 | P"));
    EXPECT_THAT(lines(accumulators.detail()), ElementsAre("CAISSE ALPHA | 202611 | 200 | 4000 | 2 | 0 | P"));

    // A print with hours to charge and no fee scale read (its read failed) fails the flow.
    const billing::FlowToAccumulate withoutScale{flow, "P", "202611", true, nullptr, 2000};
    EXPECT_THROW(billing::accumulateFlow(withoutScale, at, accumulators, detail, number), std::logic_error);
}

}  // namespace
}  // namespace tessaran::testing
