// Hourly rates from the service activity and of funding bodies without one; complementary
// flows found again for a reprint, and the keys of new ones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/ControlWorld.h"

namespace tessaran::testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

// rates.json: a percentage scale of 1 % makes attribute 34 of a billed flow of 1 hour
// (Int(100 x rate / 100 + 1/2)) the hourly rate itself. Day numbers: 21215 = 30 January 2026,
// 21216 = 31 January, 21549 = 30 December 2026, 21550 = 31 December, 21186 = 1 January 2026,
// 20821 = 1 January 2025, 21245 = 1 March 2026, 21337 = 1 June 2026.

std::string rateCharged(ControlWorld& world, const std::string& key) {
    return world.record("FLUXCOMPTABLES", key).get(34);
}

TEST(RatesTest, ServiceRateAndRatesOfFundingBodiesWithoutOne) {
    auto database = databaseFrom(testData("rates.json"));
    {
        // The association's rates are compared with the last day of the month: a rate dated
        // 31 January is not before it, one dated 30 January is.
        ControlWorld world(database);
        world.period("JANVIER 2026").select({"006", "008"}).print();
        EXPECT_EQ(rateCharged(world, "RA001006S01202601"), "4000");
        // A funding body without a rate: its activity's rate of kind "2" in force.
        EXPECT_EQ(rateCharged(world, "RC001008S01202601"), "2600");
        // Then the service activity again (not the funding body's activity loaded in
        // between): its first rate, of kind "1", starts after the period.
        EXPECT_EQ(rateCharged(world, "RC002008S02202601"), "1500");
    }
    {
        // December: the month after runs into the next year.
        ControlWorld world(database);
        world.period("DÉCEMBRE 2026").select({"007"}).print();
        EXPECT_EQ(rateCharged(world, "RB001007S01202612"), "4000");
    }
    {
        // The last rate of the service activity applies after its date.
        ControlWorld world(database);
        world.period("JUILLET 2026").select({"009"}).print();
        EXPECT_EQ(rateCharged(world, "RD001009S01202607"), "1700");
    }
}

TEST(RatesTest, WithoutServiceActivityTheActivityLastReadServes) {
    nlohmann::json document = nlohmann::json::parse(testData("rates.json"));
    document["ACTIVITES"]["ACT1"]["12"] = "S";
    ControlWorld world(databaseFrom(document.dump()));
    world.period("JANVIER 2026").select({"008"}).print();

    // The service activity cannot be found: the run goes on with the activity record it
    // read last (the funding body's, for the flow before), whose last rate is 24.00.
    EXPECT_EQ(rateCharged(world, "RC001008S01202601"), "2600");
    EXPECT_EQ(rateCharged(world, "RC002008S02202601"), "2400");
    EXPECT_EQ(world.record("NUMEROFACT", "001").get(10), "0000000001");
    EXPECT_TRUE(world.ui().messages.empty());
}

class ComplementaryFlowsTest : public ::testing::Test {
protected:
    // The federation with these complementary flows added.
    void load(const nlohmann::json& flows) {
        nlohmann::json document = nlohmann::json::parse(testData("federation.json"));
        for (const auto& [key, record] : flows.items()) document["FLUXCOMPTABLES"][key] = record;
        world = std::make_unique<ControlWorld>(databaseFrom(document.dump()));
        world->period("NOVEMBRE 2026");
        auto members = world->members();
        members.CodeAssoCourante() = "001";
        members.SecteurCourant() = "S01";
    }

    std::unique_ptr<ControlWorld> world;
};

TEST_F(ComplementaryFlowsTest, QueryFindsTheInvoicedFlowsOfTheSectorAndPeriod) {
    load({{"00000001S0120261102", {{"1", "202611"}, {"20", "0000000012"}}},
          {"00000001S0120261101", {{"1", "202611"}, {"20", "0000000012"}}},
          {"00000001S0120261103", {{"1", "202611"}}},                       // no invoice number
          {"00000001S0220261101", {{"1", "202611"}, {"20", "0000000012"}}},  // other sector
          {"00000002S0120261101", {{"1", "202611"}, {"20", "0000000013"}}},  // other association
          {"00000001S0120261001", {{"1", "202610"}, {"20", "0000000009"}}},  // other period
          {"X0000001S0120261101", {{"1", "202611"}, {"20", "0000000012"}}}}); // not complementary
    world->control().Requete_Flux_Complement();
    const db::DynamicArray& found = *world->members().ListeFluxComplement();
    ASSERT_EQ(found.DCount(), 2);
    EXPECT_EQ(found.get(1), "00000001S0120261101");
    EXPECT_EQ(found.get(2), "00000001S0120261102");
}

TEST_F(ComplementaryFlowsTest, NewFlowTakesTheFirstFreeSequenceNumber) {
    nlohmann::json flows;
    for (int sequence = 1; sequence <= 99; ++sequence) {
        char key[32];
        std::snprintf(key, sizeof key, "00000001S01202611%02d", sequence);
        flows[key] = {{"1", "202611"}};
    }
    flows.erase("00000001S0120261150");
    load(flows);
    auto& module = control::dataModule();
    module.BAREMEFEDEASSO.record = module.BAREMEFEDEASSO.file->Read("001P");
    module.FLUXPARAM.record = module.FLUXPARAM.file->Read("001");
    auto members = world->members();
    members.ModeImpression() = true;
    members.NumFacture() = "0000000050";

    world->control().Remplir_FluxComptables(0, true, 2);  // the gap
    world->control().Remplir_FluxComptables(0, true, 1);  // past two digits
    EXPECT_EQ(world->record("FLUXCOMPTABLES", "00000001S0120261150").get(27), "REMISE");
    EXPECT_EQ(world->record("FLUXCOMPTABLES", "00000001S01202611100").get(27), "COTISATION");
    EXPECT_EQ(world->record("FLUXCOMPTABLES", "00000001S01202611100").get(20), "0000000050");

    // Later copies and reprints record nothing.
    members.PremiereCopie() = false;
    world->control().Remplir_FluxComptables(0, true, 1);
    members.PremiereCopie() = true;
    members.ModeImpression() = false;
    world->control().Remplir_FluxComptables(0, true, 1);
    EXPECT_EQ(world->record("FLUXCOMPTABLES", "00000001S01202611101").str(), "");
}

// A flow file whose every read fails with a storage error; counts what is asked of it.
class FailingFlowFile : public db::File {
public:
    const std::string& name() const override { return name_; }
    std::shared_ptr<db::Record> Read(const std::string&) override {
        ++reads;
        throw db::DatabaseError(db::error_code::kStorage, "disk I/O error");
    }
    std::shared_ptr<db::Record> NewRecord(const std::string& key) override {
        ++writes;
        return std::make_shared<db::Record>(shared_from_this(), key);
    }
    void write(const std::string&, const db::DynamicArray&) override { ++writes; }
    int reads = 0;
    int writes = 0;

private:
    std::string name_ = "FLUXCOMPTABLES";
};

TEST_F(ComplementaryFlowsTest, SearchForAFreeKeyGivesUpWithAMessage) {
    load({});
    auto& module = control::dataModule();
    module.BAREMEFEDEASSO.record = module.BAREMEFEDEASSO.file->Read("001P");
    module.FEDEASSOC.record = module.FEDEASSOC.file->Read("001");
    const auto failing = std::make_shared<FailingFlowFile>();
    module.FLUXCOMPTABLES.file = failing;
    world->members().ModeImpression() = true;

    world->control().Remplir_FluxComptables(0, true, 1);
    EXPECT_EQ(failing->reads, 10000);
    EXPECT_EQ(failing->writes, 0);  // no record made nor written
    ASSERT_EQ(world->ui().messages.size(), 1u);
    EXPECT_THAT(world->ui().messages[0].text, AllOf(HasSubstr("COTISATION"), HasSubstr("001 (ENTRAIDE NORD)"),
                                                    HasSubstr("secteur S01"), HasSubstr("NOVEMBRE 2026")));
    EXPECT_EQ(world->ui().messages[0].buttons, 48);
}

}  // namespace
}  // namespace tessaran::testing
