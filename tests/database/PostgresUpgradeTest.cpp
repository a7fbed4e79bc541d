// A database of an earlier format on PostgreSQL: brought to a table per indexed attribute when
// the owner of its tables opens it, its entries and every select's answer kept, another tool's
// writes still noted, the other roles' privileges kept; read, and written, in its own layout by
// a role that may not change the tables. And the tables per attribute themselves: a rollback,
// a rebuild after tessaran_indexed changed. These tests run only on the test server.

#include "DatabaseTestSupport.h"
#include "PostgresServerView.h"
#include "database/Exchange.h"

namespace tessaran::db {
namespace {

using namespace testing;
using postgres::Connection;

#define SKIP_UNLESS_ON_SERVER() \
    if (!tessaran::testing::testsOnServer()) GTEST_SKIP() << "needs the PostgreSQL test server"

// The flows of select-flows.json and an activity, on a fresh schema of the test server, with
// what the current format answers and holds.
struct Federation {
    ScratchDatabase scratch;
    std::vector<std::string> answers;
    std::vector<std::string> entries;

    Federation() {
        importJson(*scratch.database, testData("select-flows.json"));
        scratch.database->OpenFile("ACTIVITES")->write("A1", withAttribute(12, "P"));
        answers = answersOf(*scratch.database);
        entries = ServerView(scratch.path).entries();
        scratch.database.reset();
    }
    const std::string& location() const { return scratch.path; }
};

// The location of the same database for a role that may read and write every table of its
// schema, as the roles of the people who bill are granted, but not change the tables.
std::string asClerk(const std::string& location) {
    Connection owner(location);
    owner.execute(
        "DO $$ BEGIN CREATE ROLE tessaran_clerk LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$;"
        "DO $$ BEGIN EXECUTE format('GRANT USAGE ON SCHEMA %I TO tessaran_clerk', current_schema());"
        "EXECUTE format('GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA %I TO tessaran_clerk', "
        "current_schema()); END $$");
    std::string clerk = location;
    const std::string admin = "user=tessaran_admin";
    return clerk.replace(clerk.find(admin), admin.size(), "user=tessaran_clerk");
}

TEST(PostgresUpgrade, Version2IsBroughtToTablesPerAttributeWithEveryEntryAndAnswer) {
    SKIP_UNLESS_ON_SERVER();
    Federation federation;
    ASSERT_GT(federation.entries.size(), 20u);
    ServerView server(federation.location());
    makeVersionTwo(server.connection);
    // Format 2 filled the flows' pages; format 3 keeps room in them for the print's writes.
    const auto flowsStorage = [&] {
        return std::string(server.connection.run("SELECT coalesce(array_to_string(reloptions, ','), '') FROM pg_class "
                                                 "WHERE oid = to_regclass('\"FLUXCOMPTABLES\"')").value(0, 0));
    };
    EXPECT_EQ(flowsStorage(), "fillfactor=70");  // created so
    server.connection.execute("ALTER TABLE \"FLUXCOMPTABLES\" RESET (fillfactor)");
    ASSERT_EQ(server.entries(), federation.entries);  // the shared table holds them all

    const auto database = openDatabase(federation.location());
    EXPECT_EQ(server.version(), "3");
    EXPECT_EQ(flowsStorage(), "fillfactor=70");
    EXPECT_FALSE(server.sharedIndex());
    EXPECT_THAT(server.indexTables(),
                ElementsAre("tessaran_index_ACTIVITES_12", "tessaran_index_FLUXCOMPTABLES_1",
                            "tessaran_index_FLUXCOMPTABLES_20", "tessaran_index_FLUXCOMPTABLES_36",
                            "tessaran_index_FLUXCOMPTABLES_37", "tessaran_index_FLUXCOMPTABLES_4"));
    EXPECT_EQ(server.entries(), federation.entries);
    EXPECT_EQ(answersOf(*database), federation.answers);
}

TEST(PostgresUpgrade, Version2IsUsedInItsOwnLayoutByARoleThatCannotUpgradeAndKeepsItsPrivilegesAfter) {
    SKIP_UNLESS_ON_SERVER();
    Federation federation;
    ServerView server(federation.location());
    makeVersionTwo(server.connection);
    const std::string clerk = asClerk(federation.location());
    {
        const auto database = openDatabase(clerk);
        EXPECT_EQ(server.version(), "2");
        EXPECT_EQ(answersOf(*database), federation.answers);
        // A flow invoiced, another's period changed: entries added and dropped in the shared table.
        auto flows = database->OpenFile("FLUXCOMPTABLES");
        database->begin();
        const auto invoiced = flows->Read("10001A01S01200203");
        invoiced->set(20, "0000000042");
        invoiced->DBWrite();
        const auto moved = flows->Read("10002A01S01200203");
        moved->set(1, "200301");
        moved->DBWrite();
        database->commit();
        EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000042");
        EXPECT_EQ(database->Select(request("SSELECT FLUXCOMPTABLES AVEC 1 = \"200301\"", "FLUXCOMPTABLES")).str(),
                  "10002A01S01200203");
    }
    EXPECT_EQ(server.version(), "2");
    std::vector<std::string> written = federation.entries;
    written.erase(std::find(written.begin(), written.end(), "FLUXCOMPTABLES 1 200203 10002A01S01200203"));
    written.push_back("FLUXCOMPTABLES 1 200301 10002A01S01200203");
    written.push_back("FLUXCOMPTABLES 20 0000000042 10001A01S01200203");
    std::sort(written.begin(), written.end());
    EXPECT_EQ(server.entries(), written);

    // The owner opens it: brought up to date, and the clerk may still read and write the index,
    // entries of two attributes dropped and added by one batch.
    openDatabase(federation.location());
    ASSERT_EQ(server.version(), "3");
    EXPECT_EQ(server.entries(), written);
    const auto database = openDatabase(clerk);
    database->begin();
    const auto flow = database->OpenFile("FLUXCOMPTABLES")->Read("10003A01S01200203");
    flow->set(20, "0000000043");
    flow->set(1, "200301");
    flow->DBWrite();
    database->commit();
    written.erase(std::find(written.begin(), written.end(), "FLUXCOMPTABLES 1 200203 10003A01S01200203"));
    written.push_back("FLUXCOMPTABLES 1 200301 10003A01S01200203");
    written.push_back("FLUXCOMPTABLES 20 0000000043 10003A01S01200203");
    std::sort(written.begin(), written.end());
    EXPECT_EQ(server.entries(), written);
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000043");
}

TEST(PostgresUpgrade, OutsideEditsNotedBeforeTheUpgradeAreIndexedRightAfterIt) {
    SKIP_UNLESS_ON_SERVER();
    ScratchDatabase scratch;
    for (const char* key : {"A1", "A2"}) scratch.database->OpenFile("ACTIVITES")->write(key, ofKind("P"));
    scratch.database.reset();
    ServerView server(scratch.path);
    makeVersionTwo(server.connection);
    server.makeOfKind("A1", "Q");  // noted by the trigger of version 2, with the record the index knew
    const auto database = openDatabase(scratch.path);
    ASSERT_EQ(server.version(), "3");
    server.makeOfKind("A2", "R");  // noted after the upgrade
    EXPECT_THAT(activitiesOfKindP(*database), IsEmpty());
    EXPECT_THAT(activitiesOfKind(*database, "Q"), ElementsAre("A1"));
    EXPECT_THAT(activitiesOfKind(*database, "R"), ElementsAre("A2"));

    // Written back, each is indexed by what it holds, and what the index knew of it is gone.
    database->begin();
    for (const char* key : {"A1", "A2"}) database->OpenFile("ACTIVITES")->Read(key)->DBWrite();
    database->commit();
    EXPECT_THAT(server.noted(), IsEmpty());
    EXPECT_THAT(server.entries(), ElementsAre("ACTIVITES 12 Q A1", "ACTIVITES 12 R A2"));
}

TEST(PostgresUpgrade, RolledBackRunLeavesTheTablesPerAttributeAsTheyWere) {
    SKIP_UNLESS_ON_SERVER();
    Federation federation;
    const auto database = openDatabase(federation.location());
    auto flows = database->OpenFile("FLUXCOMPTABLES");
    writeInvoicesThenRollBack(*database, *flows);
    EXPECT_EQ(answersOf(*database), federation.answers);
    EXPECT_EQ(ServerView(federation.location()).entries(), federation.entries);
}

TEST(PostgresUpgrade, RebuildGivesTheAttributesListedNowATableAndDropsTheOthers) {
    SKIP_UNLESS_ON_SERVER();
    ScratchDatabase scratch;
    scratch.database->OpenFile("SECTEUR")->write("S01", withAttribute(1, "Aide"));
    scratch.database->OpenFile("ACTIVITES")->write("A1", ofKind("P"));
    scratch.database.reset();
    ServerView server(scratch.path);
    server.connection.execute("INSERT INTO tessaran_indexed (file, attribute) VALUES ('SECTEUR', 1);"
                              "DELETE FROM tessaran_indexed WHERE file = 'ACTIVITES'");
    const auto aide = [](MultivalueDatabase& database) {
        return firstValues(database.Select(request("SSELECT SECTEUR AVEC 1 = \"Aide\"", "SECTEUR")));
    };
    const auto database = openDatabase(scratch.path);
    EXPECT_THAT(aide(*database), ElementsAre("S01"));  // no table yet: the records are read
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1"));

    database->begin();
    EXPECT_EQ(codeOf([&] { database->rebuildIndexes(); }), error_code::kStorage);
    database->rollback();
    database->rebuildIndexes();
    EXPECT_THAT(server.entries(), ElementsAre("SECTEUR 1 Aide S01"));
    EXPECT_THAT(server.indexTables(), ::testing::Contains("tessaran_index_SECTEUR_1"));
    EXPECT_THAT(server.indexTables(), ::testing::Not(::testing::Contains("tessaran_index_ACTIVITES_12")));
    // Indexed from then on, in this session and the next.
    database->OpenFile("SECTEUR")->write("S02", withAttribute(1, "Aide"));
    EXPECT_THAT(server.entries(), ElementsAre("SECTEUR 1 Aide S01", "SECTEUR 1 Aide S02"));
    EXPECT_THAT(aide(*openDatabase(scratch.path)), ElementsAre("S01", "S02"));
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1"));
}

}  // namespace
}  // namespace tessaran::db
