#include <fstream>

#include <sqlite3.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DatabaseTestSupport.h"
#include "database/DatabaseError.h"
#include "database/Schema.h"
#include "database/SqliteDatabase.h"

namespace tessaran::db {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::firstValues;
using testing::request;
using testing::codeOf;
using testing::TempDir;

std::vector<std::string> activitiesOfKindP(SqliteDatabase& database) {
    return firstValues(database.Select(request("SSELECT ACTIVITES AVEC 12 = \"P\"", "ACTIVITES")));
}

DynamicArray activity(const std::string& kind) {
    DynamicArray record;
    record.set(12, kind);
    return record;
}

TEST(SqliteDatabase, CreatesTheTenFilesAndRefusesWhatIsNotANewOrOwnDatabase) {
    TempDir scratch;
    const std::string path = scratch.file("base.db");
    {
        auto database = SqliteDatabase::create(path);
        std::vector<std::string> expected(kApplicationFiles.begin(), kApplicationFiles.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(database->fileNames(), expected);
        EXPECT_EQ(database->path(), path);
        EXPECT_THAT(database->records("SECTEUR"), IsEmpty());
    }
    EXPECT_EQ(codeOf([&] { SqliteDatabase::create(path); }), error_code::kNoDatabase);
    EXPECT_NO_THROW(SqliteDatabase::open(path));
    EXPECT_EQ(codeOf([&] { SqliteDatabase::open(scratch.file("missing.db")); }), error_code::kNoDatabase);

    std::ofstream(scratch.file("notes.txt")) << "not a database at all, just some text\n";
    EXPECT_EQ(codeOf([&] { SqliteDatabase::open(scratch.file("notes.txt")); }), error_code::kNoDatabase);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(scratch.file("other.db").c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(codeOf([&] { SqliteDatabase::open(scratch.file("other.db")); }), error_code::kNoDatabase);
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

    EXPECT_EQ(codeOf([&] { sectors->Read("S99"); }), 0x8004000Bu);
    try {
        database->OpenFile("SECTEURS");
        ADD_FAILURE() << "unknown file opened";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.code(), error_code::kUnknownFile);
        EXPECT_THAT(error.what(), HasSubstr("SECTEURS"));
    }
    EXPECT_EQ(codeOf([&] { database->records("nope\"; DROP TABLE SECTEUR; --"); }), error_code::kUnknownFile);

    sectors->write("S00", DynamicArray(""));
    sectors->write("A", DynamicArray("x"));
    const auto all = database->records("SECTEUR");
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].first, "A");
    EXPECT_EQ(all[1].first, "S00");
    EXPECT_EQ(all[1].second.str(), "");

    // A file and its records keep the database alive after the application lets it go.
    auto record = sectors->Read("S01");
    database.reset();
    sectors.reset();
    record->set(2, "encore");
    record->DBWrite();
}

TEST(SqliteDatabase, RollbackUndoesRecordsAndIndexEntriesCommitKeepsThem) {
    TempDir scratch;
    const std::string path = scratch.file("tx.db");
    auto database = SqliteDatabase::create(path);
    auto activities = database->OpenFile("ACTIVITES");
    activities->write("A1", activity("P"));

    database->begin();
    EXPECT_TRUE(database->inTransaction());
    activities->write("A2", activity("P"));
    activities->write("A1", activity("Q"));
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A2"));  // the transaction sees its own writes
    EXPECT_EQ(codeOf([&] { database->begin(); }), error_code::kStorage);
    database->rollback();
    EXPECT_FALSE(database->inTransaction());
    EXPECT_EQ(codeOf([&] { activities->Read("A2"); }), error_code::kNotFound);
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1"));

    database->begin();
    activities->write("A3", activity("P"));
    database->commit();
    EXPECT_EQ(codeOf([&] { database->commit(); }), error_code::kStorage);
    activities.reset();
    database.reset();
    EXPECT_THAT(activitiesOfKindP(*SqliteDatabase::open(path)), ElementsAre("A1", "A3"));
}

TEST(SqliteDatabase, SecondWriterWaitsThenGivesUpWithBusy) {
    TempDir scratch;
    const std::string path = scratch.file("busy.db");
    auto first = SqliteDatabase::create(path);
    auto second = SqliteDatabase::open(path);
    second->setBusyTimeout(std::chrono::milliseconds(50));
    first->OpenFile("SECTEUR")->write("S01", DynamicArray("before"));

    first->begin();
    first->OpenFile("SECTEUR")->write("S01", DynamicArray("during"));
    try {
        second->begin();
        ADD_FAILURE() << "second writer was let in";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.code(), error_code::kBusy);
        EXPECT_STREQ(error.what(), "another run is writing to this database");
    }
    EXPECT_FALSE(second->inTransaction());
    EXPECT_EQ(codeOf([&] { second->OpenFile("SECTEUR")->write("S02", DynamicArray("x")); }), error_code::kBusy);
    // Readers are not blocked and see the last committed state.
    EXPECT_EQ(second->OpenFile("SECTEUR")->Read("S01")->str(), "before");
    first->commit();

    second->begin();
    EXPECT_EQ(second->OpenFile("SECTEUR")->Read("S01")->str(), "during");
    second->rollback();
}

TEST(SqliteDatabase, IndexFollowsRewritesMultipleValuesAndOutsideEdits) {
    TempDir scratch;
    const std::string path = scratch.file("index.db");
    auto database = SqliteDatabase::create(path);
    auto activities = database->OpenFile("ACTIVITES");
    activities->write("A1", activity("P"));
    activities->write("A2", activity("Q"));
    DynamicArray several;
    several.set(12, 1, "R");
    several.set(12, 2, "P");
    activities->write("A3", several);
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A1", "A3"));
    activities->write("A1", activity("Q"));
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A3"));

    // Another tool changes records behind the application's back (attribute 12 of A0 is "P").
    sqlite3* shell = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &shell), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(shell,
                           "INSERT INTO ACTIVITES (key, record) VALUES ('A0', x'FEFEFEFEFEFEFEFEFEFEFE50');"
                           "UPDATE ACTIVITES SET record = CAST('' AS BLOB) WHERE key = 'A3'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(shell);

    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0"));
    // Rewritten as it stands by the application, the record is indexed by what it holds, not
    // by what the index last knew of it.
    database->OpenFile("ACTIVITES")->Read("A0")->DBWrite();
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0"));
    database->rebuildIndexes();
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A0"));
}

TEST(SqliteDatabase, HighestNumberIsTheGreatestValueOfItsLengthOutsideEditsIncluded) {
    TempDir scratch;
    const std::string path = scratch.file("numbers.db");
    auto database = SqliteDatabase::create(path);
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), std::nullopt);
    auto flows = database->OpenFile("FLUXCOMPTABLES");
    for (const auto& [key, number] : {std::pair{"F1", "0000000124"}, {"F2", "0000000007"}, {"F3", "999"},
                                      {"F4", "ZZZZZZZZZZ"}, {"F5", "00000001240"}}) {
        DynamicArray flow;
        flow.set(20, number);
        flows->write(key, flow);
    }
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000124");
    EXPECT_THROW(database->highestNumber("FLUXCOMPTABLES", 21, 10), DatabaseError) << "attribute 21 has no index";

    sqlite3* shell = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &shell), SQLITE_OK);
    // 19 attribute marks, then "0000000500" in attribute 20, written without the application.
    std::string marks;
    for (int i = 0; i < 19; ++i) marks += "FE";
    const std::string insert =
        "INSERT INTO FLUXCOMPTABLES (key, record) VALUES ('F9', x'" + marks + "30303030303030353030')";
    EXPECT_EQ(sqlite3_exec(shell, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(shell);
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
    const auto entries = database->rights();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].user + "/" + entries[0].functionKey, "marie/AUTRE");  // sorted by user, then key
    EXPECT_THAT(database->fileNames(), ::testing::Not(::testing::Contains("tessaran_rights")));
}

}  // namespace
}  // namespace tessaran::db
