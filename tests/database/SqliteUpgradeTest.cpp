// A database of an earlier format on SQLite: brought to the table per indexed attribute when it
// is opened with write access, its entries and every select's answer kept, another tool's
// writes still noted; read, and written, in its own layout when it cannot be upgraded. And the
// tables per attribute themselves: a rollback, a rebuild after tessaran_indexed changed.

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "DatabaseTestSupport.h"
#include "SqliteOutside.h"
#include "database/Exchange.h"
#include "database/RecordStore.h"
#include "database/SelectRunner.h"
#include "database/SqliteOpen.h"

namespace tessaran::db {
namespace {

using namespace testing;
namespace fs = std::filesystem;

std::string version(const std::string& path) {
    const std::vector<std::string> rows = outsideRows(path, "SELECT value FROM tessaran_meta WHERE name = 'version'");
    return rows.empty() ? std::string() : rows.front();
}

// The answers read through a store alone, without a database around it.
std::vector<std::string> answersOfStore(RecordStorage& store) {
    return indexAnswers([&](const std::string& request) { return select::run(store, request); },
                   store.highestNumber("FLUXCOMPTABLES", 20, 10));
}

struct Federation {
    TempDir directory;
    std::string path = directory.file("base.db");
    std::vector<std::string> answers;  // in the current format
    std::vector<std::string> entries;

    Federation() {
        const auto database = SqliteDatabase::create(path);
        importJson(*database, testData("select-flows.json"));
        database->OpenFile("ACTIVITES")->write("A1", withAttribute(12, "P"));
        answers = answersOf(*database);
        entries = storedIndexEntries(path);
    }
};

TEST(SqliteUpgrade, Version3IsBroughtToTablesPerAttributeWithEveryEntryAndAnswer) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "a SQLite file";
    Federation federation;
    const std::string& path = federation.path;
    ASSERT_GT(federation.entries.size(), 20u);
    makeEarlierVersion(path, 3);
    ASSERT_EQ(storedIndexEntries(path), federation.entries);  // the shared table holds them all

    {
        const auto database = SqliteDatabase::open(path);
        EXPECT_EQ(version(path), "4");
        EXPECT_THAT(outsideRows(path, "SELECT name FROM sqlite_schema WHERE name = 'tessaran_index'"), IsEmpty());
        EXPECT_EQ(storedIndexEntries(path), federation.entries);
        EXPECT_EQ(answersOf(*database), federation.answers);
    }
    // A newer format than this program knows is refused, and left as it is.
    ASSERT_EQ(outsideEdit(path, "UPDATE tessaran_meta SET value = '5' WHERE name = 'version'"), SQLITE_OK);
    try {
        SqliteDatabase::open(path);
        ADD_FAILURE() << "a database of format 5 was opened";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.code(), error_code::kNoDatabase);
        EXPECT_THAT(error.what(), HasSubstr("newer Tessaran format (version 5)"));
    }
    EXPECT_EQ(version(path), "5");
}

// Opened while another run holds the write lock, an earlier format is used as it is, and the
// connection keeps its own patience for its later writes: the upgrade's short wait does not stay.
TEST(SqliteUpgrade, OpenedWhileAnotherRunWritesItIsUsedAsItIsAndWaitsAsUsualAfterwards) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "a SQLite file";
    Federation federation;
    const std::string& path = federation.path;
    makeEarlierVersion(path, 3);
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    const sqlite::ConnectionHandle otherRun(raw);
    ASSERT_EQ(sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    const auto database = SqliteDatabase::open(path);
    EXPECT_EQ(version(path), "3");
    EXPECT_EQ(answersOf(*database), federation.answers);
    // The other run commits a second later; this one's transaction waits for it.
    std::thread later([raw] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    });
    EXPECT_NO_THROW(database->begin());
    later.join();
    database->rollback();
}

TEST(SqliteUpgrade, Version3ThatCannotBeUpgradedIsReadAndWrittenInItsOwnLayout) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "a SQLite file";
    Federation federation;
    const std::string& path = federation.path;
    makeEarlierVersion(path, 3);
    {
        // As the store works when another run held the database at its opening: no upgrade.
        const sqlite::ConnectionHandle connection = sqlite::openExisting(path, 1000);
        RecordStore store(connection.get(), schema::load(connection.get()));
        EXPECT_EQ(answersOfStore(store), federation.answers);
        // A flow invoiced, another's period changed: entries added and dropped in the shared table.
        DynamicArray invoiced(*store.read("FLUXCOMPTABLES", "10001A01S01200203"));
        invoiced.set(20, "0000000042");
        store.write("FLUXCOMPTABLES", "10001A01S01200203", invoiced);
        DynamicArray moved(*store.read("FLUXCOMPTABLES", "10002A01S01200203"));
        moved.set(1, "200301");
        store.write("FLUXCOMPTABLES", "10002A01S01200203", moved);
        EXPECT_EQ(store.highestNumber("FLUXCOMPTABLES", 20, 10), "0000000042");
        EXPECT_EQ(select::run(store, request("SSELECT FLUXCOMPTABLES AVEC 1 = \"200301\"", "FLUXCOMPTABLES")).str(),
                  "10002A01S01200203");
    }
    EXPECT_EQ(version(path), "3");
    std::vector<std::string> written = federation.entries;
    written.erase(std::find(written.begin(), written.end(), "FLUXCOMPTABLES 1 200203 10002A01S01200203"));
    written.push_back("FLUXCOMPTABLES 1 200301 10002A01S01200203");
    written.push_back("FLUXCOMPTABLES 20 0000000042 10001A01S01200203");
    std::sort(written.begin(), written.end());
    EXPECT_EQ(storedIndexEntries(path), written);

    // Opened read-only, it stays as it is and selects through its shared table.
    fs::permissions(federation.directory.file(""), fs::perms::all);
    fs::permissions(path, fs::perms::owner_read | fs::perms::others_read);
    Unprivileged nobody;
    if (!nobody.restricted()) GTEST_SKIP() << "cannot run without the rights of root";
    const auto database = SqliteDatabase::open(path);
    EXPECT_EQ(version(path), "3");
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000042");
    EXPECT_EQ(firstValues(database->Select(request("SSELECT FLUXCOMPTABLES AVEC 1 = \"200301\"", "FLUXCOMPTABLES"))),
              std::vector<std::string>{"10002A01S01200203"});
}

TEST(SqliteUpgrade, OutsideEditsAreNotedBeforeAndAfterTheUpgradeAndTheirEntriesDroppedExactly) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "edits with the sqlite3 shell";
    TempDir directory;
    const std::string path = directory.file("base.db");
    {
        const auto database = SqliteDatabase::create(path);
        for (const char* key : {"A1", "A2"}) database->OpenFile("ACTIVITES")->write(key, withAttribute(12, "P"));
    }
    makeEarlierVersion(path, 3);
    const auto edit = [&](const std::string& key, const std::string& kind) {
        ASSERT_EQ(outsideEdit(path, "INSERT INTO ACTIVITES (key, record) VALUES ('" + key + "', " +
                                        blob(withAttribute(12, kind)) +
                                        ") ON CONFLICT (key) DO UPDATE SET record = excluded.record"),
                  SQLITE_OK);
    };
    edit("A1", "Q");  // noted by the triggers of version 3, with the record the index knew
    const auto database = SqliteDatabase::open(path);
    ASSERT_EQ(version(path), "4");
    edit("A2", "R");  // noted by the triggers after the upgrade
    edit("A3", "P");
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A3"));
    EXPECT_THAT(activitiesOfKind(*database, "Q"), ElementsAre("A1"));
    EXPECT_THAT(activitiesOfKind(*database, "R"), ElementsAre("A2"));

    // Written back by the application, each is indexed by what it holds, and what the index
    // knew of it is gone.
    database->begin();
    for (const char* key : {"A1", "A2", "A3"}) database->OpenFile("ACTIVITES")->Read(key)->DBWrite();
    database->commit();
    EXPECT_THAT(outsideRows(path, "SELECT key FROM tessaran_changed"), IsEmpty());
    EXPECT_THAT(storedIndexEntries(path),
                ElementsAre("ACTIVITES 12 P A3", "ACTIVITES 12 Q A1", "ACTIVITES 12 R A2"));
}

TEST(SqliteUpgrade, RolledBackRunLeavesTheTablesPerAttributeAsTheyWere) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "the tables read with SQLite";
    Federation federation;
    const auto database = SqliteDatabase::open(federation.path);
    auto flows = database->OpenFile("FLUXCOMPTABLES");
    writeInvoicesThenRollBack(*database, *flows);
    EXPECT_EQ(answersOf(*database), federation.answers);
    EXPECT_EQ(storedIndexEntries(federation.path), federation.entries);  // nothing held was written since
}

TEST(SqliteUpgrade, RebuildGivesTheAttributesListedNowATableAndDropsTheOthers) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "edits with the sqlite3 shell";
    TempDir directory;
    const std::string path = directory.file("base.db");
    {
        const auto database = SqliteDatabase::create(path);
        database->OpenFile("SECTEUR")->write("S01", withAttribute(1, "Aide"));
        database->OpenFile("ACTIVITES")->write("A1", withAttribute(12, "P"));
    }
    ASSERT_EQ(outsideEdit(path, "INSERT INTO tessaran_indexed (file, attribute) VALUES ('SECTEUR', 1);"
                                "DELETE FROM tessaran_indexed WHERE file = 'ACTIVITES'"),
              SQLITE_OK);
    const auto aide = [](MultivalueDatabase& database) {
        return firstValues(database.Select(request("SSELECT SECTEUR AVEC 1 = \"Aide\"", "SECTEUR")));
    };
    const auto database = SqliteDatabase::open(path);
    EXPECT_THAT(aide(*database), ElementsAre("S01"));  // no table yet: the records are read
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1"));

    database->begin();
    EXPECT_EQ(codeOf([&] { database->rebuildIndexes(); }), error_code::kStorage);
    database->rollback();
    database->rebuildIndexes();
    EXPECT_THAT(storedIndexEntries(path), ElementsAre("SECTEUR 1 Aide S01"));
    const std::vector<std::string> tables = outsideRows(path, "SELECT name FROM sqlite_schema WHERE type = 'table'");
    EXPECT_THAT(tables, ::testing::Contains("tessaran_index_SECTEUR_1"));
    EXPECT_THAT(tables, ::testing::Not(::testing::Contains("tessaran_index_ACTIVITES_12")));
    // Indexed from then on, in this session and the next.
    database->OpenFile("SECTEUR")->write("S02", withAttribute(1, "Aide"));
    EXPECT_THAT(storedIndexEntries(path), ElementsAre("SECTEUR 1 Aide S01", "SECTEUR 1 Aide S02"));
    EXPECT_THAT(aide(*SqliteDatabase::open(path)), ElementsAre("S01", "S02"));
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1"));
}

}  // namespace
}  // namespace tessaran::db
