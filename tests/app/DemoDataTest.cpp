// The demo database must exercise the whole application: these checks catch a demo that
// drifted from the record layouts the billing reads (parallel values that do not pair up,
// dates that are not day numbers, codes that lead nowhere).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include <unistd.h>

#include "app/DataCommands.h"
#include "app/ExitCodes.h"
#include "database/SqliteDatabase.h"

namespace tessaran::app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

class DemoDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = (fs::temp_directory_path() / ("tessaran-demo-" + std::to_string(getpid()) + ".db")).string();
        removeDatabase();
        CommandLine line;
        line.command = Command::Demo;
        line.databasePath = path_;
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(runDataCommand(line, Streams{in, out, err}), exit_code::kOk) << err.str();
    }
    static void TearDownTestSuite() { removeDatabase(); }
    static void removeDatabase() {
        std::error_code ignored;
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path_ + suffix, ignored);
    }
    void SetUp() override { database = db::SqliteDatabase::open(path_); }

    std::map<std::string, db::DynamicArray> file(const std::string& name) const {
        std::map<std::string, db::DynamicArray> records;
        for (auto& [key, record] : database->records(name)) records.emplace(key, record);
        return records;
    }
    std::vector<std::string> keys(const std::string& statement) const {
        db::SelectRequest request;
        request.set(1, statement);
        std::istringstream words(statement);
        std::string verb, fileName;
        words >> verb >> fileName;
        request.set(2, fileName);
        request.set(3, "0");
        const db::DynamicArray result = database->Select(request.str(), "");
        std::vector<std::string> found;
        for (int i = 1; i <= result.DCount(); ++i) found.push_back(result.get(i));
        return found;
    }

    std::shared_ptr<db::SqliteDatabase> database;
    inline static std::string path_;
};

// Day number of a date, day 0 being 31 December 1967.
long dayNumber(year_month_day date) { return (sys_days(date) - sys_days(1967y / December / 31)).count(); }

void expectParallel(const db::DynamicArray& record, std::initializer_list<int> attributes, const std::string& where) {
    const int count = record.DCount(*attributes.begin());
    EXPECT_GT(count, 0) << where;
    for (const int attribute : attributes) EXPECT_EQ(record.DCount(attribute), count) << where << " attribute " << attribute;
}

// A stored date of the demo: the first day of a month between 2024 and 2027.
void expectFirstOfMonth(const std::string& text, const std::string& where) {
    const long day = std::stol(text);
    const year_month_day date{sys_days(1967y / December / 31) + days(day)};
    EXPECT_EQ(date.day(), 1d) << where << " " << text;
    EXPECT_TRUE(date.year() >= 2024y && date.year() <= 2027y) << where << " " << text;
}

TEST_F(DemoDatabase, DayNumbersCountFromTheLastDayOf1967) {
    EXPECT_EQ(dayNumber(2026y / January / 1), 21186);
    EXPECT_EQ(file("FEDEASSOC").at("A03").get(49, 1), std::to_string(dayNumber(2026y / January / 1)));
}

TEST_F(DemoDatabase, ReferenceRecordsHoldWhatTheRunsRead) {
    EXPECT_EQ(file("PERIODESPAIE").at("1").get(1), "202611");
    EXPECT_EQ(file("NUMEROFACT").at("001").get(10), "0000000123");
    const db::DynamicArray issuer = file("ASSOCIATION").at("001");
    EXPECT_FALSE(issuer.get(1).empty());
    EXPECT_FALSE(issuer.get(8).empty());
    EXPECT_FALSE(issuer.get(9).empty());
    EXPECT_EQ(database->rightLevel(kDemoPrintingUser, "MORVELINTASKADE"), 2);
    EXPECT_EQ(database->rightLevel(kDemoConsultingUser, "MORVELINTASKADE"), 1);

    const auto activities = keys("SSELECT ACTIVITES AVEC 12 = \"P\"");
    ASSERT_EQ(activities.size(), 1u);
    expectParallel(file("ACTIVITES").at(activities.front()), {14, 15, 20}, "service activity");
}

TEST_F(DemoDatabase, AssociationsCoverEveryCaseOfTheRun) {
    const auto associations = file("FEDEASSOC");
    const auto sectors = file("SECTEUR");
    const auto scales = file("BAREMEFEDEASSO");
    const auto parameters = file("FLUXPARAM");
    ASSERT_GE(associations.size(), 6u);
    std::multiset<int> sectorCounts;
    int withoutScale = 0;
    int withoutParameters = 0;
    for (const auto& [code, association] : associations) {
        EXPECT_EQ(code.size(), 3u);
        EXPECT_FALSE(association.get(1).empty()) << code;
        sectorCounts.insert(association.DCount(41));
        for (int v = 1; v <= association.DCount(41); ++v) EXPECT_TRUE(sectors.count(association.get(41, v))) << code;
        expectParallel(association, {49, 50, 51}, code);
        for (int v = 1; v <= association.DCount(49); ++v) {
            expectFirstOfMonth(association.get(49, v), code);
            const std::string kind = association.get(50, v);
            EXPECT_TRUE(kind == "1" || kind == "2") << code;
        }
        withoutScale += scales.count(code + "P") == 0 ? 1 : 0;
        withoutParameters += parameters.count(code) == 0 ? 1 : 0;
    }
    EXPECT_EQ(sectorCounts.count(3), 1u);
    EXPECT_EQ(sectorCounts.count(2), 1u);
    EXPECT_EQ(withoutScale, 1);
    EXPECT_EQ(withoutParameters, 1);

    std::set<std::string> scaleKinds;
    std::set<int> itemSigns;
    for (const auto& [key, scale] : scales) {
        EXPECT_TRUE(associations.count(key.substr(0, 3)) && key.size() == 4 && key[3] == 'P') << key;
        scaleKinds.insert(scale.get(1) == "0" ? "hour" : "percentage");
        if (scale.DCount(7) > 0) {
            expectParallel(scale, {7, 8, 9}, key);
        }
        expectParallel(scale, {3, 4}, key);
        for (int v = 1; v <= scale.DCount(4); ++v) {
            const long amount = std::stol(scale.get(4, v));
            itemSigns.insert(amount > 0 ? 1 : amount < 0 ? -1 : 0);
        }
    }
    EXPECT_EQ(scaleKinds.size(), 2u);
    EXPECT_EQ(itemSigns.size(), 3u);
}

TEST_F(DemoDatabase, FundingBodiesAndFlowsLeadToExistingRecords) {
    const auto bodies = file("ORGPRISECHARGE");
    const auto activities = file("ACTIVITES");
    std::set<std::string> types;
    for (const auto& [code, body] : bodies) {
        types.insert(body.get(18));
        expectParallel(body, {25, 26}, code);
        for (int v = 1; v <= body.DCount(25); ++v) {
            expectFirstOfMonth(body.get(25, v), code);
            if (v > 1) {
                EXPECT_GT(std::stol(body.get(25, v - 1)), std::stol(body.get(25, v))) << "most recent first";
            }
        }
        EXPECT_TRUE(activities.count(body.get(47, 1))) << code;
    }
    EXPECT_GE(bodies.size(), 5u);
    EXPECT_EQ(types, (std::set<std::string>{"C", "P"}));

    const auto associations = file("FEDEASSOC");
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
    const std::string statement =
        "SSELECT FLUXCOMPTABLES AVEC 1 = \"202611\" AND AVEC 4 # \"\" AND AVEC 20 = \"\" AND AVEC CodeAssoc = "
        "\"A01\" OR = \"A02\" OR = \"A03\" OR = \"A04\" OR = \"A05\" OR = \"A06\" OR = \"A07\" OR AVEC 1 = \"\" AND "
        "AVEC 36 = \"202611\" AND AVEC 37 # \"1\" AND AVEC 4 # \"\" AND AVEC 20 = \"\" AND AVEC CodeAssoc = \"A01\" "
        "OR = \"A02\" OR = \"A03\" OR = \"A04\" OR = \"A05\" OR = \"A06\" OR = \"A07\" PAR CodeAssoc PAR "
        "CodeSecteur PAR SigleOrg PAR PeriodeFact";
    const auto flows = keys(statement);
    const auto all = file("FLUXCOMPTABLES");
    std::set<std::string> associationsToPrint;
    int withoutAmountPeriod = 0;
    int earlierMonth = 0;
    for (const std::string& key : flows) {
        const db::DynamicArray& flow = all.at(key);
        EXPECT_TRUE(flow.get(20).empty()) << key;
        withoutAmountPeriod += flow.get(1).empty() ? 1 : 0;
        earlierMonth += key.substr(11, 6) < "202611" ? 1 : 0;
        associationsToPrint.insert(key.substr(5, 3));
    }
    EXPECT_GE(flows.size(), 30u);
    EXPECT_EQ(associationsToPrint, (std::set<std::string>{"A01", "A02", "A03", "A04", "A05", "A06"}));
    EXPECT_GE(withoutAmountPeriod, 2);
    EXPECT_GE(earlierMonth, 2);

    // Earlier periods were printed: their flows and complementary flows carry invoice numbers.
    EXPECT_FALSE(keys("SSELECT FLUXCOMPTABLES AVEC 1 = \"202610\" AND AVEC 20 # \"\"").empty());
    EXPECT_FALSE(keys("SSELECT FLUXCOMPTABLES AVEC 1 = \"202610\" AND AVEC 0 = \"00000A03S01]\" AND AVEC 20 # \"\"")
                     .empty());
}

}  // namespace
}  // namespace tessaran::app
