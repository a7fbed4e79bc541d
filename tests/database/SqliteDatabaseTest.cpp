#include <fstream>

#include <sqlite3.h>

#include "DatabaseTestSupport.h"
#include "SqliteOutside.h"
#include "database/Schema.h"

namespace tessaran::db {
namespace {

using namespace testing;

TEST(SqliteDatabase, CreatesTheTenFilesAndRefusesWhatIsNotANewOrOwnDatabase) {
    TempDir scratch;
    const std::string path = scratch.file("base.db");
    {
        auto database = SqliteDatabase::create(path);
        std::vector<std::string> expected(kApplicationFiles.begin(), kApplicationFiles.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(database->fileNames(), expected);
        EXPECT_EQ(database->path(), path);
    }
    EXPECT_EQ(codeOf([&] { SqliteDatabase::create(path); }), error_code::kNoDatabase);
    EXPECT_NO_THROW(SqliteDatabase::open(path));
    std::ofstream(scratch.file("notes.txt")) << "not a database at all, just some text\n";
    ASSERT_EQ(outsideEdit(scratch.file("other.db"), "CREATE TABLE t (x)"), SQLITE_OK);
    for (const char* name : {"missing.db", "notes.txt", "other.db"})
        EXPECT_EQ(codeOf([&] { SqliteDatabase::open(scratch.file(name)); }), error_code::kNoDatabase) << name;
}

TEST(SqliteDatabase, ReadsWritesAndReportsAbsentKeysAndUnknownFiles) {
    auto database = SqliteDatabase::create(":memory:");
    auto sectors = database->OpenFile("SECTEUR");
    auto fresh = sectors->NewRecord("S01");
    fresh->set(1, "Aide à domicile");
    EXPECT_EQ(codeOf([&] { sectors->Read("S01"); }), error_code::kNotFound);  // not stored before DBWrite
    fresh->DBWrite();
    EXPECT_EQ(sectors->Read("S01")->get(1), "Aide à domicile");
    EXPECT_EQ(sectors->Read("S01")->key(), "S01");
    EXPECT_EQ(codeOf([&] { sectors->Read("S99"); }), 0x8004000Bu);  // the code the application tests

    const auto unknown = raised([&] { database->OpenFile("SECTEURS"); });
    EXPECT_EQ(unknown.code, error_code::kUnknownFile);
    EXPECT_THAT(unknown.message, HasSubstr("SECTEURS"));
    EXPECT_EQ(codeOf([&] { database->records("nope\"; DROP TABLE SECTEUR; --"); }), error_code::kUnknownFile);

    sectors->write("S00", DynamicArray(""));
    sectors->write("A", DynamicArray("x"));
    std::vector<std::string> stored;  // in key order
    for (const auto& [key, record] : database->records("SECTEUR")) stored.push_back(key + "=" + record.str());
    EXPECT_THAT(stored, ElementsAre("A=x", "S00=", "S01=Aide à domicile"));

    // A file and its records keep the database alive after the application lets it go.
    auto record = sectors->Read("S01");
    database.reset();
    sectors.reset();
    record->set(2, "encore");
    record->DBWrite();
}

TEST(SqliteDatabase, RollbackUndoesRecordsAndIndexEntriesCommitKeepsThem) {
    ScratchDatabase scratch;
    const auto& [directory, path, database] = scratch;
    auto activities = database->OpenFile("ACTIVITES");
    activities->write("A1", withAttribute(12, "P"));

    database->begin();
    activities->write("A2", withAttribute(12, "P"));
    activities->write("A1", withAttribute(12, "Q"));
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A2"));  // the transaction sees its own writes
    EXPECT_EQ(codeOf([&] { database->begin(); }), error_code::kStorage);
    database->rollback();
    EXPECT_EQ(codeOf([&] { activities->Read("A2"); }), error_code::kNotFound);
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1"));

    database->begin();
    activities->write("A3", withAttribute(12, "P"));
    database->commit();
    EXPECT_EQ(codeOf([&] { database->commit(); }), error_code::kStorage);
    EXPECT_THAT(activitiesOfKindP(*openDatabase(path)), ElementsAre("A1", "A3"));
}

TEST(SqliteDatabase, IndexEntriesOfATransactionAreSeenByItAndKeptOnlyByItsCommit) {
    ScratchDatabase scratch;
    const auto& [directory, path, database] = scratch;
    auto activities = database->OpenFile("ACTIVITES");
    const auto key = [](int n) { return "A" + std::string(n < 10 ? "00" : n < 100 ? "0" : "") + std::to_string(n); };
    std::vector<std::string> all;  // more than a statement of index entries holds, and a remainder
    for (int n = 1; n <= 300; ++n) all.push_back(key(n));

    for (const bool commit : {false, true}) {
        database->begin();
        for (const std::string& each : all) activities->write(each, withAttribute(12, "P"));
        activities->write("A299", withAttribute(12, "Q"));  // entries added, then dropped
        activities->write("A299", withAttribute(12, "P"));
        EXPECT_EQ(activitiesOfKindP(*database), all);
        activities->write("A008", withAttribute(12, "Q"));
        // A change undone to its savepoint takes its entries with it, and only its own.
        EXPECT_THROW(database->atomically([&] {
            activities->write("B001", withAttribute(12, "P"));
            activities->write("A009", withAttribute(12, "Q"));
            throw std::runtime_error("undone");
        }),
                     std::runtime_error);
        std::vector<std::string> expected = all;
        expected.erase(std::find(expected.begin(), expected.end(), "A008"));
        EXPECT_EQ(activitiesOfKindP(*database), expected);
        EXPECT_THAT(activitiesOfKind(*database, "Q"), ElementsAre("A008"));
        if (commit) {
            database->commit();
            EXPECT_EQ(activitiesOfKindP(*openDatabase(path)), expected);
            if (tessaran::testing::testsOnServer()) continue;  // the table read with SQLite below
            // The index table itself, which a select would not show an extra entry of.
            std::vector<std::string> entries;
            for (const std::string& each : expected) entries.push_back("P " + each);
            entries.push_back("Q A008");
            std::sort(entries.begin(), entries.end());
            EXPECT_EQ(outsideRows(path, "SELECT value || ' ' || key FROM tessaran_index_ACTIVITES_12 ORDER BY 1"),
                      entries);
        } else {
            database->rollback();
            EXPECT_THAT(activitiesOfKindP(*database), IsEmpty());
            EXPECT_THAT(activitiesOfKind(*database, "Q"), IsEmpty());
        }
    }
}

TEST(SqliteDatabase, WriteFailingMidwayVoidsItsTransaction) {
    ScratchDatabase scratch;
    const auto& database = scratch.database;
    auto activities = database->OpenFile("ACTIVITES");
    activities->write("A0", withAttribute(12, "P"));

    // The second write stores its record, then fails before its index entries: the
    // transaction holds half a write, and its commit must not keep it.
    database->begin();
    activities->write("A1", withAttribute(12, "P"));
    database->failWriteAfter(1);
    EXPECT_EQ(codeOf([&] { activities->write("A2", withAttribute(12, "P")); }), error_code::kStorage);
    database->failWriteAfter(0);
    const auto refused = raised([&] { database->commit(); });
    EXPECT_EQ(refused.code, error_code::kStorage);
    EXPECT_THAT(refused.message, HasSubstr("rolled back"));
    EXPECT_FALSE(database->inTransaction());
    for (const char* key : {"A1", "A2"}) EXPECT_EQ(codeOf([&] { activities->Read(key); }), error_code::kNotFound);
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0"));

    // The next transaction is not affected.
    database->begin();
    activities->write("A3", withAttribute(12, "P"));
    database->commit();
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0", "A3"));
}

TEST(SqliteDatabase, SecondWriterWaitsThenGivesUpWithBusy) {
    ScratchDatabase scratch;
    const auto& first = scratch.database;
    auto second = openDatabase(scratch.path);
    second->setBusyTimeout(std::chrono::milliseconds(50));
    first->OpenFile("SECTEUR")->write("S01", DynamicArray("before"));

    first->begin();
    first->OpenFile("SECTEUR")->write("S01", DynamicArray("during"));
    const auto busy = raised([&] { second->begin(); });
    EXPECT_EQ(busy.code, error_code::kBusy);
    EXPECT_EQ(busy.message, "another run is writing to this database");
    EXPECT_EQ(codeOf([&] { second->OpenFile("SECTEUR")->write("S02", DynamicArray("x")); }), error_code::kBusy);
    // Readers are not blocked and see the last committed state.
    EXPECT_EQ(second->OpenFile("SECTEUR")->Read("S01")->str(), "before");
    first->commit();

    second->begin();  // the refused begin left no transaction open
    EXPECT_EQ(second->OpenFile("SECTEUR")->Read("S01")->str(), "during");
    second->rollback();
}

TEST(SqliteDatabase, IndexFollowsRewritesMultipleValuesAndOutsideEdits) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "edits with the sqlite3 shell";
    for (const bool firstVersion : {false, true}) {
        SCOPED_TRACE(firstVersion ? "a database of the first version, brought up to date on opening" : "");
        ScratchDatabase scratch;
        const auto& [directory, path, created] = scratch;
        if (firstVersion) makeEarlierVersion(path, 1);
        const auto database = firstVersion ? SqliteDatabase::open(path) : created;
        auto activities = database->OpenFile("ACTIVITES");
        activities->write("A1", withAttribute(12, "P"));
        activities->write("A3", withAttribute(12, "R" + std::string(1, kValueMark) + "P"));
        EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1", "A3"));
        // The application's own writes in a transaction: not taken for another tool's. A record
        // read then written back twice is indexed by what it holds at each write.
        database->begin();
        const auto a1 = activities->Read("A1");
        a1->set(12, "Q");
        a1->DBWrite();
        a1->set(12, "P");
        a1->DBWrite();
        EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1", "A3"));
        activities->write("A1", withAttribute(12, "Q"));
        activities->write("A2", withAttribute(12, "Q"));
        database->commit();
        EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A3"));
        // Neither the commit nor a rollback leaves the files without their triggers.
        database->begin();
        activities->write("A4", withAttribute(12, "Q"));
        database->rollback();

        // Another tool changes records behind the application's back: adds A0 of kind P, turns
        // A1 into kind P and empties A3.
        const std::string kindP = blob(withAttribute(12, "P"));
        ASSERT_EQ(outsideEdit(path, "INSERT INTO ACTIVITES (key, record) VALUES ('A0', " + kindP + ");"
                                    "UPDATE ACTIVITES SET record = " + kindP + " WHERE key = 'A1';"
                                    "UPDATE ACTIVITES SET record = CAST('' AS BLOB) WHERE key = 'A3'"),
                  SQLITE_OK);
        EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0", "A1"));
        // Rewritten as it stands by the application, in its transaction, the record is indexed
        // by what it holds, not by what the index last knew of it.
        database->begin();
        database->OpenFile("ACTIVITES")->Read("A0")->DBWrite();
        database->commit();
        EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0", "A1"));
        database->rebuildIndexes();
        EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0", "A1"));
    }
}

int indexEntriesOf(const std::string& path, const std::string& key) {
    sqlite3* shell = nullptr;
    sqlite3_open(path.c_str(), &shell);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(shell, ("SELECT count(*) FROM tessaran_index_ACTIVITES_12 WHERE key = '" + key + "'").c_str(),
                       -1, &count, nullptr);
    const int entries = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
    sqlite3_finalize(count);
    sqlite3_close(shell);
    return entries;
}

TEST(SqliteDatabase, OutsideEditsNotedByAnEarlierVersionLeaveNoStaleIndexEntryAfterTheUpgrade) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "edits with the sqlite3 shell";
    TempDir directory;
    const std::string path = directory.file("base.db");
    {
        auto database = SqliteDatabase::create(path);
        database->OpenFile("ACTIVITES")->write("A1", withAttribute(12, "P"));
        database->OpenFile("ACTIVITES")->write("A2", withAttribute(12, "P"));
    }
    makeEarlierVersion(path, 2);
    // Noted by the old triggers, without what the index knew: A1 turned into kind Q.
    ASSERT_EQ(outsideEdit(path, "UPDATE ACTIVITES SET record = " + blob(withAttribute(12, "Q")) + " WHERE key = 'A1'"),
              SQLITE_OK);
    const auto database = SqliteDatabase::open(path);
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A2"));
    database->begin();
    database->OpenFile("ACTIVITES")->Read("A1")->DBWrite();
    database->commit();
    // Without its note, A1 is found through the index only: its old entry must be gone.
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A2"));
    EXPECT_EQ(indexEntriesOf(path, "A1"), 1);

    // Notes taken since the upgrade keep the record the index knew: its entry is dropped exactly.
    ASSERT_EQ(outsideEdit(path, "UPDATE ACTIVITES SET record = " + blob(withAttribute(12, "R")) + " WHERE key = 'A1';"
                                "UPDATE ACTIVITES SET record = " + blob(withAttribute(12, "S")) + " WHERE key = 'A1'"),
              SQLITE_OK);
    database->begin();
    database->OpenFile("ACTIVITES")->Read("A1")->DBWrite();
    database->commit();
    EXPECT_EQ(indexEntriesOf(path, "A1"), 1);
    EXPECT_THAT(firstValues(database->Select(request("SSELECT ACTIVITES AVEC 12 = \"S\"", "ACTIVITES"))),
                ElementsAre("A1"));
}

TEST(SqliteDatabase, HighestNumberIsTheGreatestValueOfItsLengthOutsideEditsIncluded) {
    if (tessaran::testing::testsOnServer()) GTEST_SKIP() << "edits with the sqlite3 shell";
    ScratchDatabase scratch;
    const auto& [directory, path, database] = scratch;
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), std::nullopt);
    auto flows = database->OpenFile("FLUXCOMPTABLES");
    for (const auto& [key, number] : {std::pair{"F1", "0000000124"}, {"F2", "0000000007"}, {"F3", "999"},
                                      {"F4", "ZZZZZZZZZZ"}, {"F5", "00000001240"}})
        flows->write(key, withAttribute(20, number));
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000124");
    EXPECT_THROW(database->highestNumber("FLUXCOMPTABLES", 21, 10), DatabaseError) << "attribute 21 has no index";

    ASSERT_EQ(outsideEdit(path, "INSERT INTO FLUXCOMPTABLES (key, record) VALUES ('F9', " +
                                    blob(withAttribute(20, "0000000500")) + ")"),
              SQLITE_OK);
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000500");
}

TEST(SqliteDatabase, KeepsRightsPerUserAndFunctionKey) {
    auto database = SqliteDatabase::create(":memory:");
    EXPECT_EQ(database->rightLevel("marie", "MORVELINTASKADE"), std::nullopt);
    database->setRightLevel("marie", "MORVELINTASKADE", 2);
    database->setRightLevel("paul", "MORVELINTASKADE", 1);
    database->setRightLevel("marie", "MORVELINTASKADE", 1);
    database->setRightLevel("marie", "AUTRE", 3);
    EXPECT_EQ(database->rightLevel("marie", "MORVELINTASKADE"), 1);
    EXPECT_EQ(database->rightLevel("paul", "AUTRE"), std::nullopt);
    std::vector<std::string> entries;  // sorted by user, then key
    for (const auto& [user, key, level] : database->rights())
        entries.push_back(user + "/" + key + "/" + std::to_string(level));
    EXPECT_THAT(entries, ElementsAre("marie/AUTRE/3", "marie/MORVELINTASKADE/1", "paul/MORVELINTASKADE/1"));
    EXPECT_THAT(database->fileNames(), ::testing::Not(::testing::Contains("tessaran_rights")));
}

}  // namespace
}  // namespace tessaran::db
