#include <limits>
#include <random>

#include "DatabaseTestSupport.h"
#include "database/Exchange.h"
#include "database/SelectParser.h"
#include "database/SelectPlanner.h"

namespace tessaran::db {
namespace {

using namespace testing;

// select-flows.json: funding bodies 010 abbreviate to ZED, 020 to ABC, 030 has no
// abbreviation, 000 has no record. Flow keys: five characters, association, sector, period,
// then a sequence.

// The statement the print run (or, reversed, the reprint run) builds, word for word.
std::string runStatement(const std::string& period, const std::vector<std::string>& codes, bool reprint) {
    const std::string q = "\"";
    std::string codeList = " AND AVEC CodeAssoc = " + q + (codes.empty() ? "" : codes[0]) + q;
    for (std::size_t i = 1; i < codes.size(); ++i) codeList += " OR = " + q + codes[i] + q;
    const std::string invoiced = reprint ? " AND AVEC 20 # " : " AND AVEC 20 = ";
    const std::string common = " AND AVEC 4 # " + q + q + invoiced + q + q;
    return "SSELECT FLUXCOMPTABLES AVEC 1 = " + q + period + q + common + codeList + " OR AVEC 1 = " + q + q +
           " AND AVEC 36 = " + q + period + q + (reprint ? " AND AVEC 37 = " : " AND AVEC 37 # ") + q + "1" +
           q + common + codeList + " PAR CodeAssoc PAR CodeSecteur PAR SigleOrg PAR PeriodeFact";
}

class SelectTest : public ::testing::Test {
protected:
    void SetUp() override { importJson(*database, testData("select-flows.json")); }
    // The keys a statement selects from the file it names.
    std::vector<std::string> keys(const std::string& statement) {
        return firstValues(database->Select(request(statement, statement.substr(8, statement.find(' ', 8) - 8))));
    }
    std::vector<std::string> flows(const std::string& conditions) { return keys("SSELECT FLUXCOMPTABLES " + conditions); }

    std::shared_ptr<MultivalueDatabase> database = tessaran::testing::newTestDatabase();
};

TEST_F(SelectTest, EqualNotEqualAndPrefixOnAttributesAndKey) {
    EXPECT_THAT(flows("AVEC 36 = \"200203\""), ElementsAre("10006A02S01200202", "10011A02S01200203"));
    EXPECT_THAT(flows("AVEC 37 # \"\""), ElementsAre("10011A02S01200203"));  // absent: one empty value
    EXPECT_THAT(flows("AVEC 0 = \"00000A01S01]\""),
                ElementsAre("00000A01S0120020201", "00000A01S0120020301", "00000A01S0120020302"));
    EXPECT_THAT(flows("AVEC 20 = \"00000000]\" AND AVEC 0 # \"00000]\""),
                ElementsAre("10009A01S01200203", "10011A02S01200203", "99000A01S0120020301"));
    EXPECT_THAT(flows("AVEC 27 = \"Fr]\" AND AVEC 20 = \"\""), ElementsAre("00000A01S0120020302"));
    EXPECT_THAT(flows("AVEC 0 = \"nothing]\""), IsEmpty());
    EXPECT_THAT(flows("AVEC 0 = \"10010A01S01200203\" AND AVEC 4 = \"\""), ElementsAre("10010A01S01200203"));
    // The flows of A02 (characters of the key) that name a funding body.
    EXPECT_THAT(flows("AVEC 4 # \"\" AND AVEC CodeAssoc = \"A02\""),
                ElementsAre("10005A02S01200203", "10006A02S01200202", "10011A02S01200203", "10012A02S01200203"));
}

TEST_F(SelectTest, MultivaluedAttributeHoldsWhenAnyValueSatisfies) {
    EXPECT_THAT(keys("SSELECT FEDEASSOC AVEC 41 = \"S02\""), ElementsAre("A01"));
    // A01 holds S02, which is not S01; the others hold one empty value, which is not S01 either.
    EXPECT_THAT(keys("SSELECT FEDEASSOC AVEC 41 # \"S01\""), ElementsAre("A01", "A02", "A03"));
    EXPECT_THAT(keys("SSELECT FEDEASSOC AVEC 41 = \"S0]\" AND AVEC 41 # \"S02\""), ElementsAre("A01"));
    EXPECT_THAT(keys("SSELECT FEDEASSOC AVEC 41 = \"\""), ElementsAre("A02", "A03"));
}

TEST_F(SelectTest, AndBindsTighterThanOrAndOrEqualsWidensTheConditionBeforeIt) {
    // (1 = 200202) OR (1 = 200203 AND CodeAssoc is A02 or A03)
    EXPECT_THAT(flows("AVEC 1 = \"200202\" OR AVEC 1 = \"200203\" AND AVEC CodeAssoc = \"A02\" OR = \"A03\""),
                ElementsAre("00000A01S0120020201", "10005A02S01200203", "10007A03S01200203", "10008A01S01200202"));
    // (CodeAssoc is A03 or A02) AND 1 = 200203: the added value stays inside its AND group.
    EXPECT_THAT(flows("AVEC CodeAssoc = \"A03\" OR = \"A02\" AND AVEC 1 = \"200203\""),
                ElementsAre("10005A02S01200203", "10007A03S01200203"));
    EXPECT_THAT(flows("AVEC 4 = \"010\" OR = \"020\" AND AVEC 36 # \"\""),
                ElementsAre("10011A02S01200203", "10012A02S01200203"));
    // A long list of values (every association of a federation) selects what the short one does,
    // a prefix among them included.
    std::string absent;
    for (const char* code : {"Z9", "Z8", "B07", "Z6", "A", "A011", "Z3", "Z2"}) absent += std::string(" OR = \"") + code + "\"";
    EXPECT_EQ(flows("AVEC 1 = \"200203\" AND AVEC CodeAssoc = \"Z1\"" + absent + " OR = \"A03\" OR = \"A02\""),
              flows("AVEC 1 = \"200203\" AND AVEC CodeAssoc = \"A03\" OR = \"A02\""));
    EXPECT_EQ(flows("AVEC 1 = \"200203\" AND AVEC CodeAssoc = \"Z1\"" + absent + " OR = \"A0]\""),
              flows("AVEC 1 = \"200203\" AND AVEC CodeAssoc = \"A0]\""));
    EXPECT_THAT(flows("AVEC 1 = \"200203\" AND AVEC CodeAssoc = \"Z1\"" + absent), IsEmpty());
}

TEST_F(SelectTest, SortsByFieldsThenKeyAndTranslatesFundingBodies) {
    // SigleOrg: 030 has no abbreviation and sorts as "030", before ABC (020) and ZED (010).
    EXPECT_THAT(flows("AVEC CodeAssoc = \"A01\" AND AVEC CodeSecteur = \"S01\" AND AVEC PeriodeFact = \"200203\" "
                      "AND AVEC 4 # \"\" AND AVEC 20 = \"\" PAR SigleOrg"),
                ElementsAre("10002A01S01200203", "10003A01S01200203", "10001A01S01200203"));
    // Ties on every sort field keep key order; the result is in key order without PAR.
    EXPECT_THAT(keys("SSELECT ACTIVITES PAR 12"), ElementsAre("B", "C", "A"));
    EXPECT_THAT(keys("SSELECT ACTIVITES"), ElementsAre("A", "B", "C"));
    // A sort text sorts before the longer ones it begins, whatever the key or the next sort
    // text after it; a zero byte inside one is a character like any other.
    importJson(*database, R"({"ACTIVITES": {"X1": {"12": "AB", "13": "9"}, "X2": {"12": "ABC", "13": "0"},
                              "X3": {"12": "AB\u0000", "13": "0"}, "X4": {"12": "A", "13": "9"}}})");
    EXPECT_THAT(keys("SSELECT ACTIVITES AVEC 0 = \"X]\" PAR 12 PAR 13"), ElementsAre("X4", "X1", "X3", "X2"));
}

TEST_F(SelectTest, ListsTheRequestedAttributesAndSelectsWhatTheRunsExpect) {
    // The listed attributes of each record, a multivalued one with its values as subvalues.
    const std::string FM(1, kAttributeMark), VM(1, kValueMark);
    EXPECT_EQ(database->Select(request("SSELECT FEDEASSOC PAR 1", "FEDEASSOC", "0 1 41")).str(),
              "A02" + VM + "Aube" + VM + FM + "A03" + VM + "Mistral" + VM + FM + "A01" + VM + "Zephyr" + VM + "S01" +
                  kSubvalueMark + "S02");
    EXPECT_EQ(database->Select(request("SSELECT FEDEASSOC AVEC 1 = \"none\"", "FEDEASSOC", "0 1")).str(), "");
    EXPECT_THAT(flows("AVEC 1 = \"200203\" AND AVEC 0 = \"00000A01S01]\" AND AVEC 20 # \"\" PAR 0"),
                ElementsAre("00000A01S0120020301"));  // the complementary flows already invoiced

    EXPECT_THAT(keys(runStatement("200203", {"A01", "A02"}, false)),
                ElementsAre("10002A01S01200203", "10003A01S01200203", "10001A01S01200203", "10004A01S02200203",
                            "10006A02S01200202", "10005A02S01200203"));
    EXPECT_THAT(keys(runStatement("200203", {"A01", "A02", "A03"}, true)),
                ElementsAre("10009A01S01200203", "10011A02S01200203"));
}

TEST_F(SelectTest, RefusesMalformedRequestsAndStatementsNamingTheWordAndItsPosition) {
    const auto code = [&](const std::string& text) { return codeOf([&] { database->Select(text); }); };
    EXPECT_EQ(code(""), error_code::kInvalidRequest);
    EXPECT_EQ(code(request("SSELECT FEDEASSOC", "ACTIVITES")), error_code::kInvalidRequest);
    EXPECT_EQ(code(request("SSELECT FEDEASSOC", "FEDEASSOC", "0 x")), error_code::kInvalidRequest);
    EXPECT_EQ(code(request("SSELECT FEDEASSOC", "FEDEASSOC", "")), 0u);

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SELECT FEDEASSOC", "\"SELECT\" at position 1"},
        {"SSELECT NOPE PAR 1", "unknown file \"NOPE\" at position 9"},
        {"SSELECT FLUXCOMPTABLES AVEC Foo = \"x\"", "unknown field \"Foo\" at position 29"},
        {"SSELECT FLUXCOMPTABLES AVEC 1 = \"abc", "unterminated quoted value \"abc at position 33"},
        {"SSELECT FLUXCOMPTABLES AVEC 1 =", "the end of the statement at position 32"},
        {"SSELECT FLUXCOMPTABLES AVEC 1 \"x\"", "missing operator (= or #): found the value \"x\" at position 31"},
        {"SSELECT FLUXCOMPTABLES AVEC 1 = \"x\" ET AVEC 4 = \"y\"", "unknown word \"ET\" at position 37"},
        {"SSELECT FLUXCOMPTABLES AVEC 1 = \"x\" AND 4 = \"y\"", "\"4\" at position 41"},
        {"SSELECT FLUXCOMPTABLES AVEC 1 = \"x\" OR", "the end of the statement at position 39"},
        {"SSELECT FEDEASSOC PAR", "missing field: found the end of the statement at position 22"},
        {"SSELECT FEDEASSOC PAR 1 =", "unexpected \"=\" at position 25"},
        {"SSELECT FEDEASSOC AVEC 9999999 = \"\"", "attribute number too large: \"9999999\" at position 24"},
        {"SSELECT FEDEASSOC AVEC SigleOrg = \"\"", "unknown field \"SigleOrg\" at position 24"},
        {"SSELECT", "missing file name: found the end of the statement at position 8"},
        {"SSELECT FEDEASSOC AVEC 1 = \"a\xFC\"", "mark byte 0xFC at position 30"},
    };
    // The message of the syntax error a statement raises; a failure when it is accepted.
    const auto refusal = [&](const std::string& statement) {
        const auto refused = raised([&] { database->Select(request(statement, "")); });
        EXPECT_EQ(refused.code, error_code::kSelectSyntax) << statement.substr(0, 80);
        return refused.message;
    };
    for (const auto& [statement, named] : cases) EXPECT_THAT(refusal(statement), HasSubstr(named));

    std::string many = "SSELECT FLUXCOMPTABLES AVEC 1 = \"a\"";
    for (int i = 0; i < 1000; ++i) many += " AND AVEC 1 = \"a\"";
    EXPECT_THAT(refusal(many), HasSubstr("too many conditions"));
    const std::string huge = "SSELECT FEDEASSOC AVEC 1 = \"" + std::string(2 << 20, 'x') + "\"";
    EXPECT_THROW(database->Select(request(huge, "")), DatabaseError);
}

// Byte soup built from the language's own words and characters never crashes the parser:
// it is either accepted or refused with the syntax code.
TEST_F(SelectTest, ArbitraryStatementsAreRefusedCleanly) {
    const std::vector<std::string> pieces = {"SSELECT", " ", "FLUXCOMPTABLES", "AVEC", "AND", "OR", "PAR", "=", "#",
                                             "\"", "\"v]\"", "0", "4", "CodeAssoc", "\xFE", "\xFD", "]", "\t"};
    std::minstd_rand random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string statement = round % 2 ? "SSELECT FLUXCOMPTABLES " : "";
        for (auto length = random() % 12; length > 0; --length) statement += pieces[random() % pieces.size()] + " ";
        const auto code = codeOf([&] { database->Select(request(statement, "")); });
        EXPECT_TRUE(code == 0 || code == error_code::kSelectSyntax || code == error_code::kInvalidRequest) << statement;
    }
}

}  // namespace
}  // namespace tessaran::db

namespace tessaran::db::select {
namespace {

// The reprint's query of one sector's complementary flows: a month's worth of the period
// index against a key range of a few records. Counting picks the key range.
TEST(SelectPlan, TheWayThatAdmitsFewerRecordsWinsWhenTheStorageCanCount) {
    schema::Catalogue catalogue;
    catalogue.files = {"FLUXCOMPTABLES"};
    const Statement statement = parse(
        "SSELECT FLUXCOMPTABLES AVEC 1 = \"202611\" AND AVEC 0 = \"00000A01S01]\" AND AVEC 20 # \"\"", catalogue);
    const Plan byKind = plan(statement, {1, 20});
    ASSERT_EQ(byKind.lookups.size(), 1u);
    EXPECT_EQ(byKind.lookups[0].kind, Lookup::Kind::IndexEqual);
    // The key range is counted first; the index only as far as one past it.
    std::vector<std::size_t> bounds;
    const Plan counted = plan(statement, {1, 20}, [&](const Lookup& lookup, std::size_t bound) -> std::size_t {
        bounds.push_back(bound);
        return std::min<std::size_t>(bound, lookup.kind == Lookup::Kind::KeyPrefix ? 3 : 2000);
    });
    ASSERT_EQ(counted.lookups.size(), 1u);
    EXPECT_EQ(counted.lookups[0].kind, Lookup::Kind::KeyPrefix);
    EXPECT_EQ(counted.lookups[0].value, "00000A01S01");
    EXPECT_THAT(bounds, ElementsAre(std::numeric_limits<std::size_t>::max(), 4u));

    // A way whose lookups together admit more than the best so far loses, however its
    // counting was cut short; an equal count goes to the better kind.
    const Statement twoWays = parse("SSELECT FLUXCOMPTABLES AVEC 20 = \"C\" AND AVEC 1 = \"A\" OR = \"B\"", catalogue);
    const auto counts = [](std::size_t a, std::size_t b, std::size_t c) {
        return [=](const Lookup& lookup, std::size_t bound) -> std::size_t {
            return std::min(bound, lookup.value == "A" ? a : lookup.value == "B" ? b : c);
        };
    };
    EXPECT_EQ(plan(twoWays, {1, 20}, counts(2, 3, 6)).lookups.size(), 2u);  // 5 < 6
    EXPECT_EQ(plan(twoWays, {1, 20}, counts(4, 3, 6)).lookups.size(), 1u);  // 7 > 6
    EXPECT_EQ(plan(twoWays, {1, 20}, counts(3, 3, 6)).lookups.size(), 1u);  // 6 = 6: one lookup
}

}  // namespace
}  // namespace tessaran::db::select
