// The demo database must exercise the whole application: these checks catch a demo that drifted
// from the record layouts the billing reads (unpaired parallel values, dates that are not day
// numbers, codes that lead nowhere).

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <map>
#include <set>
#include <sstream>

#include "app/DataCommands.h"
#include "app/ExitCodes.h"
#include "database/SqliteDatabase.h"
#include "support/Files.h"

namespace tessaran::app {
namespace {

using namespace std::chrono;

class DemoDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory_ = std::make_unique<tessaran::testing::TempDir>();
        CommandLine line;
        line.command = Command::Demo;
        line.databasePath = directory_->file("demo.db");
        std::istringstream in;
        std::ostringstream out;
        ASSERT_EQ(runDataCommand(line, Streams{in, out, out}), exit_code::kOk) << out.str();
    }
    static void TearDownTestSuite() { directory_.reset(); }
    void SetUp() override { database = db::SqliteDatabase::open(directory_->file("demo.db")); }

    std::map<std::string, db::DynamicArray> file(const std::string& name) const {
        std::map<std::string, db::DynamicArray> records;
        for (auto& [key, record] : database->records(name)) records.emplace(key, record);
        return records;
    }
    // The keys of the records of `fileName` that "SSELECT fileName condition" finds, in its order.
    std::vector<std::string> keys(const std::string& fileName, const std::string& condition) const {
        db::SelectRequest request;
        request.set(1, "SSELECT " + fileName + " " + condition);
        request.set(2, fileName);
        request.set(3, "0");
        const db::DynamicArray result = database->Select(request.str());
        std::vector<std::string> found;
        for (int i = 1; i <= result.DCount(); ++i) found.push_back(result.get(i));
        return found;
    }

    std::shared_ptr<db::SqliteDatabase> database;
    inline static std::unique_ptr<tessaran::testing::TempDir> directory_;
};

// A stored date of the demo: a day number (day 0 is 31 December 1967) falling on the first
// day of a month between 2024 and 2027.
void expectFirstOfMonth(const std::string& text, const std::string& where) {
    const year_month_day date{sys_days(1967y / December / 31) + days(std::stol(text))};
    EXPECT_EQ(date.day(), 1d) << where << " " << text;
    EXPECT_TRUE(date.year() >= 2024y && date.year() <= 2027y) << where << " " << text;
}

void expectParallel(const db::DynamicArray& record, std::initializer_list<int> attributes, const std::string& where) {
    const int count = record.DCount(*attributes.begin());
    EXPECT_GT(count, 0) << where;
    for (const int attribute : attributes) EXPECT_EQ(record.DCount(attribute), count) << where << " attribute " << attribute;
}

TEST_F(DemoDatabase, ReferenceRecordsHoldWhatTheRunsRead) {
    EXPECT_EQ(file("FEDEASSOC").at("A03").get(49, 1), "21186");  // 1 January 2026
    EXPECT_EQ(file("PERIODESPAIE").at("1").get(1), "202611");
    const db::DynamicArray issuer = file("ASSOCIATION").at("001");
    for (const int attribute : {1, 8, 9}) EXPECT_FALSE(issuer.get(attribute).empty()) << attribute;

    const auto activities = keys("ACTIVITES", "AVEC 12 = \"P\"");
    ASSERT_EQ(activities.size(), 1u);
    expectParallel(file("ACTIVITES").at(activities.front()), {14, 15, 20}, "service activity");
}

TEST_F(DemoDatabase, DatesAreDayNumbersAndCodesLeadToExistingRecords) {
    const auto associations = file("FEDEASSOC");
    const auto sectors = file("SECTEUR");
    const auto bodies = file("ORGPRISECHARGE");
    ASSERT_GE(associations.size(), 6u);
    int withoutScale = 0;
    for (const auto& [code, association] : associations) {
        for (int v = 1; v <= association.DCount(41); ++v) EXPECT_TRUE(sectors.count(association.get(41, v))) << code;
        expectParallel(association, {49, 50, 51}, code);
        for (int v = 1; v <= association.DCount(49); ++v) expectFirstOfMonth(association.get(49, v), code);
        withoutScale += file("BAREMEFEDEASSO").count(code + "P") == 0 ? 1 : 0;
    }
    EXPECT_EQ(withoutScale, 1);  // the run's "no scale" case
    for (const auto& [code, body] : bodies) {
        expectParallel(body, {25, 26}, code);
        for (int v = 1; v <= body.DCount(25); ++v) expectFirstOfMonth(body.get(25, v), code);
        EXPECT_TRUE(file("ACTIVITES").count(body.get(47, 1))) << code;
    }
    for (const auto& [key, flow] : file("FLUXCOMPTABLES")) {
        ASSERT_GE(key.size(), 19u) << key;
        EXPECT_TRUE(associations.count(key.substr(5, 3))) << key;
        const std::string body = flow.get(4);
        EXPECT_TRUE(body.empty() || body == "000" || bodies.count(body)) << key;
        const std::string invoice = flow.get(20);
        EXPECT_TRUE(invoice.empty() || (invoice.size() == 10 && invoice <= "0000000123")) << key;
    }
}

TEST_F(DemoDatabase, ThePrintRunSelectsTheWaitingFlowsOfTheCurrentPeriod) {
    const std::string condition =
        "AVEC 1 = \"202611\" AND AVEC 4 # \"\" AND AVEC 20 = \"\" AND AVEC CodeAssoc = "
        "\"A01\" OR = \"A02\" OR = \"A03\" OR = \"A04\" OR = \"A05\" OR = \"A06\" OR = \"A07\" OR AVEC 1 = \"\" AND "
        "AVEC 36 = \"202611\" AND AVEC 37 # \"1\" AND AVEC 4 # \"\" AND AVEC 20 = \"\" AND AVEC CodeAssoc = \"A01\" "
        "OR = \"A02\" OR = \"A03\" OR = \"A04\" OR = \"A05\" OR = \"A06\" OR = \"A07\" PAR CodeAssoc PAR "
        "CodeSecteur PAR SigleOrg PAR PeriodeFact";
    const auto flows = keys("FLUXCOMPTABLES", condition);
    const auto all = file("FLUXCOMPTABLES");
    std::set<std::string> associationsToPrint;
    int withoutAmountPeriod = 0;
    int earlierMonth = 0;
    for (const std::string& key : flows) {
        withoutAmountPeriod += all.at(key).get(1).empty() ? 1 : 0;
        earlierMonth += key.substr(11, 6) < "202611" ? 1 : 0;
        associationsToPrint.insert(key.substr(5, 3));
    }
    EXPECT_GE(flows.size(), 30u);
    EXPECT_EQ(associationsToPrint, (std::set<std::string>{"A01", "A02", "A03", "A04", "A05", "A06"}));
    EXPECT_GE(withoutAmountPeriod, 2);
    EXPECT_GE(earlierMonth, 2);

    // Earlier periods were printed: their flows and complementary flows carry invoice numbers.
    EXPECT_FALSE(keys("FLUXCOMPTABLES", "AVEC 1 = \"202610\" AND AVEC 20 # \"\"").empty());
    EXPECT_FALSE(keys("FLUXCOMPTABLES", "AVEC 1 = \"202610\" AND AVEC 0 = \"00000A03S01]\" AND AVEC 20 # \"\"").empty());
}

}  // namespace
}  // namespace tessaran::app
