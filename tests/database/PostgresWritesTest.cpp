// The writes a transaction holds back on PostgreSQL and sends in batches, one statement per
// kind of change and file: what they leave must be what the writes one by one would have left.
// These tests run only on the test server.

#include "DatabaseTestSupport.h"
#include "PostgresServerView.h"
#include "database/PostgresArray.h"
#include "database/PostgresConnection.h"
#include "database/PostgresSchema.h"

namespace tessaran::db {
namespace {

using namespace testing;
using postgres::ArrayParameter;
using postgres::Connection;
using postgres::Parameters;
using postgres::Result;
using postgres::Rows;

#define SKIP_UNLESS_ON_SERVER() \
    if (!tessaran::testing::testsOnServer()) GTEST_SKIP() << "needs the PostgreSQL test server"

TEST(PostgresWrites, ArrayParametersCarryAnyBytesAndNumbers) {
    SKIP_UNLESS_ON_SERVER();
    Connection connection(tessaran::testing::testServer());
    const std::vector<std::string> bytes = {"", std::string("a\0b\xFF", 4), std::string(70000, 'x'), "é"};
    ArrayParameter array(ArrayParameter::Element::Bytes);
    for (const std::string& value : bytes) array.append(value);
    EXPECT_EQ(column(connection.run("SELECT v FROM unnest($1::bytea[]) WITH ORDINALITY AS u(v, n) ORDER BY n",
                                    Parameters().array(array), Rows::AsBytes)),
              bytes);
    // The builder starts afresh once taken: a second array holds only its own elements.
    array.append("y");
    EXPECT_EQ(connection.run("SELECT cardinality($1::bytea[])", Parameters().array(array)).integer(0, 0), 1);
    EXPECT_EQ(connection.run("SELECT cardinality($1::bytea[])", Parameters().array(array)).integer(0, 0), 0);

    ArrayParameter numbers(ArrayParameter::Element::Integer);
    for (const int number : {-1, 0, 12, 2147483647}) numbers.append(number);
    EXPECT_THAT(column(connection.run("SELECT string_agg(v::text, ' ') FROM unnest($1::integer[]) AS v",
                                      Parameters().array(numbers))),
                ElementsAre("-1 0 12 2147483647"));
}

TEST(PostgresWrites, BatchesLeaveTheIndexAsWritesOneByOneWould) {
    SKIP_UNLESS_ON_SERVER();
    ScratchDatabase scratch;
    const auto& database = scratch.database;
    auto activities = database->OpenFile("ACTIVITES");
    std::vector<std::string> keys;
    for (int i = 0; i < 9000; ++i) keys.push_back("A" + std::to_string(10000 + i));
    database->begin();
    for (const std::string& key : keys) activities->write(key, ofKind("P"));
    database->commit();

    // As a print run does: the records read ahead, then each changed and written back without
    // a read in between, so many that batches are sent before the answers of the first ones
    // are read. Some keys are written twice, the second write taking back the first one's
    // entry; one gets two values, then none.
    database->begin();
    activities->readAhead(keys);
    std::vector<std::string> kindP;
    std::vector<std::string> kindQ;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto record = activities->Read(keys[i]);
        record->set(12, i % 3 == 0 ? "Q" : "P");
        record->DBWrite();
        if (i % 100 == 1) {
            record->set(12, "Q");
            record->DBWrite();
            record->set(12, "P");
            record->DBWrite();
        }
        if (i == 0) continue;  // rewritten below
        (i % 3 != 0 || i % 100 == 1 ? kindP : kindQ).push_back(keys[i]);
    }
    activities->write("A10000", ofKind("R" + std::string(1, kValueMark) + "P"));
    activities->write("A10000", ofKind(""));
    EXPECT_EQ(activitiesOfKindP(*database), kindP);  // the transaction sees its own writes
    database->commit();

    ServerView server(scratch.path);
    EXPECT_EQ(server.indexed("P"), kindP);
    EXPECT_EQ(server.indexed("Q"), kindQ);
    EXPECT_THAT(server.indexed("R"), IsEmpty());
    EXPECT_THAT(server.noted(), IsEmpty());
    database->rebuildIndexes();
    EXPECT_EQ(server.indexed("P"), kindP);
    EXPECT_EQ(server.indexed("Q"), kindQ);
}

TEST(PostgresWrites, RecordsAnotherToolWroteAreReindexedWithTheBatch) {
    SKIP_UNLESS_ON_SERVER();
    ScratchDatabase scratch;
    const auto& database = scratch.database;
    auto activities = database->OpenFile("ACTIVITES");
    activities->write("A1", ofKind("P"));
    activities->write("A2", ofKind("P"));
    activities->write("A3", ofKind("P"));
    ServerView server(scratch.path);
    // Another tool makes A1 of kind Q and adds A5 of kind P, behind the index's back.
    server.connection.execute(
        "UPDATE \"ACTIVITES\" SET record = convert_to(repeat(chr(254), 11) || 'Q', 'LATIN1') WHERE key = 'A1';"
        "INSERT INTO \"ACTIVITES\" VALUES ('A5', convert_to(repeat(chr(254), 11) || 'P', 'LATIN1'))");
    ASSERT_THAT(server.noted(), ElementsAre("A1", "A5"));

    // Read ahead, or read one by one (kept by the transaction, a missing key too): either way
    // the write back knows whether another tool wrote the record.
    database->begin();
    activities->readAhead(std::vector<std::string>{"A1", "A2", "A3"});
    EXPECT_EQ(activities->Read("A1")->get(12), "Q");
    EXPECT_EQ(activities->Read("A5")->get(12), "P");
    EXPECT_EQ(codeOf([&] { activities->Read("A9"); }), error_code::kNotFound);
    activities->write("A1", ofKind("P"));
    activities->write("A2", ofKind("Q"));
    activities->write("A5", ofKind("R"));
    activities->write("A9", ofKind("P"));
    database->commit();

    EXPECT_THAT(server.indexed("P"), ElementsAre("A1", "A3", "A9"));
    EXPECT_THAT(server.indexed("Q"), ElementsAre("A2"));
    EXPECT_THAT(server.indexed("R"), ElementsAre("A5"));
    EXPECT_THAT(server.noted(), IsEmpty());
}

TEST(PostgresWrites, AWriteTheServerRefusesLeavesNothingOfTheTransaction) {
    SKIP_UNLESS_ON_SERVER();
    ScratchDatabase scratch;
    const auto& database = scratch.database;
    ServerView server(scratch.path);
    server.connection.execute("ALTER TABLE \"SECTEUR\" ADD CONSTRAINT short_records CHECK (length(record) < 20)");

    // The refused write is among many of several files, all of records read ahead, so that
    // no write waits for the server: it is sent with a batch while the run goes on, and its
    // failure comes back with the next statement that answers (a read, or the commit).
    auto activities = database->OpenFile("ACTIVITES");
    auto sectors = database->OpenFile("SECTEUR");
    activities->write("A1", ofKind("Q"));
    activities->write("A2", ofKind("Q"));
    std::vector<std::string> keys;
    for (int i = 100; i < 400; ++i) keys.push_back("S" + std::to_string(i));
    for (const std::string& key : keys) sectors->write(key, DynamicArray("a"));
    const auto before = database->records("SECTEUR");
    database->begin();
    activities->readAhead(std::vector<std::string>{"A1", "A2"});
    sectors->readAhead(keys);
    const Raised refused = raised([&] {
        activities->write("A1", ofKind("P"));
        for (const std::string& key : keys) sectors->write(key, DynamicArray(key == "S150" ? std::string(40, 'x') : "court"));
        activities->write("A2", ofKind("P"));
        sectors->Read("S100");  // handed out by the read-ahead: the server is not asked
        sectors->Read("S099");  // asked of the server
        database->commit();
    });
    EXPECT_EQ(refused.code, error_code::kStorage);
    EXPECT_THAT(refused.message, HasSubstr("short_records"));
    if (database->inTransaction()) database->rollback();
    EXPECT_THAT(server.indexed("Q"), ElementsAre("A1", "A2"));
    EXPECT_EQ(database->records("SECTEUR"), before);
    EXPECT_THAT(server.indexed("P"), IsEmpty());

    // The next transaction starts afresh: nothing of the refused batch is sent with it.
    database->begin();
    activities->write("A3", ofKind("P"));
    database->commit();
    EXPECT_THAT(server.indexed("P"), ElementsAre("A3"));
    EXPECT_EQ(database->records("ACTIVITES").size(), 3u);
}

TEST(PostgresWrites, NotesKeepTheRecordTheIndexKnewThroughSeveralOutsideWrites) {
    SKIP_UNLESS_ON_SERVER();
    ScratchDatabase scratch;
    const auto& database = scratch.database;
    auto activities = database->OpenFile("ACTIVITES");
    activities->write("A1", ofKind("P"));
    activities->write("A2", ofKind("P"));
    ServerView server(scratch.path);
    EXPECT_FALSE(server.hasIndexByKey());
    // Another tool rewrites A1 twice, deletes A2 then makes it again under the same key: the
    // notes keep the records the index knew, and the writes back drop exactly their entries.
    server.makeOfKind("A1", "Q");
    server.makeOfKind("A1", "R");
    server.connection.execute("DELETE FROM \"ACTIVITES\" WHERE key = 'A2'; INSERT INTO \"ACTIVITES\" "
                              "VALUES ('A2', convert_to(repeat(chr(254), 11) || 'Q', 'LATIN1'))");
    EXPECT_THAT(activitiesOfKindP(*database), IsEmpty());
    database->begin();
    activities->write("A1", ofKind("S"));
    activities->write("A2", ofKind("S"));
    database->commit();
    EXPECT_THAT(server.indexed("P"), IsEmpty());
    EXPECT_THAT(server.indexed("S"), ElementsAre("A1", "A2"));
    EXPECT_THAT(server.noted(), IsEmpty());
}

TEST(PostgresWrites, AVersionOneDatabaseIsBroughtUpToDateWhenItCanBe) {
    SKIP_UNLESS_ON_SERVER();
    ScratchDatabase scratch;
    {
        auto activities = scratch.database->OpenFile("ACTIVITES");
        for (const char* key : {"A1", "A2", "A3"}) activities->write(key, ofKind("P"));
    }
    scratch.database.reset();
    ServerView server(scratch.path);
    makeVersionOne(server.connection);
    server.makeOfKind("A1", "Q");  // noted by the trigger of version 1: the key alone

    // While a run holds the write lock, the database opens as it is and works so: a noted
    // record written back has its entries cleared by key.
    Connection run(scratch.path);
    run.execute(std::string("BEGIN; SELECT pg_advisory_xact_lock(") + postgres::kWriteLock + ")");
    auto database = openDatabase(scratch.path);
    run.execute("COMMIT");
    EXPECT_EQ(server.version(), "1");
    EXPECT_THAT(activitiesOfKindP(*database), ElementsAre("A2", "A3"));
    auto activities = database->OpenFile("ACTIVITES");
    database->begin();
    activities->readAhead(std::vector<std::string>{"A1", "A2"});
    activities->write("A1", ofKind("R"));
    activities->write("A2", ofKind("R"));
    database->commit();
    EXPECT_THAT(server.indexed("P"), ElementsAre("A3"));
    EXPECT_THAT(server.indexed("R"), ElementsAre("A1", "A2"));
    EXPECT_THAT(server.noted(), IsEmpty());

    // Opened again: brought up to date. The entries of the keys noted so far go, the notes stay.
    server.makeOfKind("A3", "Q");
    database.reset();
    activities.reset();
    database = openDatabase(scratch.path);
    EXPECT_EQ(server.version(), "3");
    EXPECT_FALSE(server.sharedIndex());
    EXPECT_THAT(server.indexed("P"), IsEmpty());
    EXPECT_THAT(server.noted(), ElementsAre("A3"));
    EXPECT_THAT(activitiesOfKindP(*database), IsEmpty());
    server.makeOfKind("A1", "Q");  // noted with the record the index knew
    database->begin();
    database->OpenFile("ACTIVITES")->write("A1", ofKind("P"));
    database->OpenFile("ACTIVITES")->write("A3", ofKind("P"));
    database->commit();
    EXPECT_THAT(server.indexed("P"), ElementsAre("A1", "A3"));
    EXPECT_THAT(server.indexed("R"), ElementsAre("A2"));
    EXPECT_THAT(server.noted(), IsEmpty());

    // A format newer than this program's is refused.
    database.reset();
    server.connection.execute("UPDATE tessaran_meta SET value = '4' WHERE name = 'version'");
    try {
        openDatabase(scratch.path);
        ADD_FAILURE() << "a database of format 4 was opened";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.code(), error_code::kNoDatabase);
    }
}

}  // namespace
}  // namespace tessaran::db
