// Hourly rates from the service activity and of funding bodies without one; complementary
// flows found again for a reprint, and the keys of new ones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "billing/FlowQueries.h"
#include "support/EngineWorld.h"

namespace tessaran::testing {
namespace {

using billing::RunEnd;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// rates.json: a percentage scale of 1 % makes attribute 34 of a billed flow of 1 hour
// (Int(100 x rate / 100 + 1/2)) the hourly rate itself. Day numbers: 21215 = 30 January 2026,
// 21216 = 31 January, 21549 = 30 December 2026, 21550 = 31 December, 21186 = 1 January 2026,
// 20821 = 1 January 2025, 21245 = 1 March 2026, 21337 = 1 June 2026.

std::string rateCharged(const EngineWorld& world, const std::string& key) {
    return world.record("FLUXCOMPTABLES", key).get(34);
}

TEST(RatesTest, ServiceRateAndRatesOfFundingBodiesWithoutOne) {
    EngineWorld world(databaseFrom(testData("rates.json")));
    // The association's rates are compared with the last day of the month: a rate dated
    // 31 January is not before it, one dated 30 January is.
    EXPECT_EQ(world.print("202601", {"006", "008"}).end, RunEnd::Printed);
    EXPECT_EQ(rateCharged(world, "RA001006S01202601"), "4000");
    // A funding body without a rate: its activity's rate of kind "2" in force.
    EXPECT_EQ(rateCharged(world, "RC001008S01202601"), "2600");
    // Then the service activity again (not the funding body's activity loaded in between):
    // its first rate, of kind "1", starts after the period.
    EXPECT_EQ(rateCharged(world, "RC002008S02202601"), "1500");
    // December: the month after runs into the next year.
    world.print("202612", {"007"});
    EXPECT_EQ(rateCharged(world, "RB001007S01202612"), "4000");
    // The last rate of the service activity applies after its date.
    world.print("202607", {"009"});
    EXPECT_EQ(rateCharged(world, "RD001009S01202607"), "1700");
}

TEST(RatesTest, WithoutServiceActivityTheActivityLastReadServes) {
    nlohmann::json document = nlohmann::json::parse(testData("rates.json"));
    document["ACTIVITES"]["ACT1"]["12"] = "S";
    EngineWorld world(databaseFrom(document.dump()));
    const billing::RunOutcome outcome = world.print("202601", {"008"});

    // The service activity cannot be found: the run goes on with the activity record it
    // read last (the funding body's, for the flow before), whose last rate is 24.00.
    EXPECT_EQ(rateCharged(world, "RC001008S01202601"), "2600");
    EXPECT_EQ(rateCharged(world, "RC002008S02202601"), "2400");
    EXPECT_EQ(world.record("NUMEROFACT", "001").get(10), "0000000001");
    EXPECT_EQ(outcome.end, RunEnd::Printed);
    EXPECT_TRUE(outcome.messages.empty());
}

// The federation with these flows added.
std::shared_ptr<db::MultivalueDatabase> federationWith(const nlohmann::json& flows) {
    auto database = databaseFrom(testData("federation.json"));
    db::importJson(*database, nlohmann::json{{"FLUXCOMPTABLES", flows}}.dump());
    return database;
}

TEST(ComplementaryFlowsTest, QueryFindsTheInvoicedFlowsOfTheSectorAndPeriod) {
    EngineWorld world(federationWith({
        {"00000001S0120261102", {{"1", "202611"}, {"20", "0000000012"}}},
        {"00000001S0120261101", {{"1", "202611"}, {"20", "0000000012"}}},
        {"00000001S0120261103", {{"1", "202611"}}},                        // no invoice number
        {"00000001S0220261101", {{"1", "202611"}, {"20", "0000000012"}}},  // other sector
        {"00000002S0120261101", {{"1", "202611"}, {"20", "0000000013"}}},  // other association
        {"00000001S0120261001", {{"1", "202610"}, {"20", "0000000009"}}},  // other period
        {"X0000001S0120261101", {{"1", "202611"}, {"20", "0000000012"}}},  // not complementary
    }));
    const db::DynamicArray found =
        world.files().select(billing::complementaryFlowsStatement("202611", "001", "S01"), "FLUXCOMPTABLES");
    ASSERT_EQ(found.DCount(), 2);
    EXPECT_EQ(found.get(1), "00000001S0120261101");
    EXPECT_EQ(found.get(2), "00000001S0120261102");
}

TEST(ComplementaryFlowsTest, NewFlowTakesTheFirstFreeSequenceNumberOnce) {
    nlohmann::json flows;  // sequence numbers 01 to 99 but 50
    for (int sequence = 101; sequence <= 199; ++sequence)
        if (sequence != 150) flows["00000001S01202611" + std::to_string(sequence).substr(1)] = {{"1", "202611"}};
    EngineWorld world(federationWith(flows), {0, 2});  // two copies
    EXPECT_EQ(world.print("202611", {"001"}).complementaryFlows, 2);
    // The gap first, then past two digits; the second copy records nothing more.
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "00000001S0120261150").get(27), "COTISATION");
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "00000001S01202611100").get(27), "REMISE");
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "00000001S01202611100").get(20), "0000000042");
    EXPECT_TRUE(world.record("FLUXCOMPTABLES", "00000001S01202611101").empty());
}

// The flow file of a database whose every read of a complementary key fails with a storage
// error; counts those reads.
class FailingComplementaryReads : public db::File {
public:
    explicit FailingComplementaryReads(std::shared_ptr<db::File> flows) : flows_(std::move(flows)) {}
    const std::string& name() const override { return flows_->name(); }
    std::shared_ptr<db::Record> Read(const std::string& key) override {
        if (!key.starts_with("00000")) return flows_->Read(key);
        ++reads;
        throw db::DatabaseError(db::error_code::kStorage, "disk I/O error");
    }
    std::shared_ptr<db::Record> NewRecord(const std::string& key) override { return flows_->NewRecord(key); }
    void write(const std::string& key, const db::DynamicArray& contents) override { flows_->write(key, contents); }
    int reads = 0;

private:
    std::shared_ptr<db::File> flows_;
};

TEST(ComplementaryFlowsTest, SearchForAFreeKeyGivesUpWithAMessageAndKeepsNothing) {
    EngineWorld world(databaseFrom(testData("federation.json")));
    const std::string before = world.exported();
    const auto failing = std::make_shared<FailingComplementaryReads>(world.files().flows.file);
    world.files().flows.file = failing;

    const billing::RunOutcome outcome = world.print("202611", {"001"});
    EXPECT_EQ(failing->reads, 2 * 10000);  // two items
    ASSERT_EQ(outcome.messages.size(), 3u);
    EXPECT_THAT(outcome.messages[0], AllOf(HasSubstr("« COTISATION »"), HasSubstr("001 (ENTRAIDE NORD)"),
                                           HasSubstr("secteur S01"), HasSubstr("NOVEMBRE 2026")));
    EXPECT_THAT(outcome.messages[1], HasSubstr("« REMISE »"));
    EXPECT_THAT(outcome.messages[2], HasSubstr("L'enregistrement de la facturation a échoué"));
    EXPECT_EQ(world.ui().messages[0].buttons, 48);
    EXPECT_EQ(outcome.end, RunEnd::RecordsNotKept);
    EXPECT_EQ(world.exported(), before);
}

}  // namespace
}  // namespace tessaran::testing
