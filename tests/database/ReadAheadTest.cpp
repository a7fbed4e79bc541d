#include "DatabaseTestSupport.h"

namespace tessaran::db {
namespace {

using namespace testing;

DynamicArray invoiced(const std::string& number) {
    DynamicArray record;
    record.set(20, number);  // the invoice number, indexed
    return record;
}

void readAhead(File& file, const std::vector<std::string>& keys) { file.readAhead(keys); }

std::vector<std::string> flowsInvoiced(MultivalueDatabase& database, const std::string& number) {
    return firstValues(database.Select(request("SSELECT FLUXCOMPTABLES AVEC 20 = \"" + number + "\"", "FLUXCOMPTABLES")));
}

TEST(ReadAhead, HandsEachRecordOutOnceAndNeverOneWrittenSince) {
    ScratchDatabase scratch;
    const auto& database = scratch.database;
    auto flows = database->OpenFile("FLUXCOMPTABLES");
    for (const char* key : {"F1", "F2", "F3"}) flows->write(key, invoiced(std::string(key) + "-a"));

    readAhead(*flows, {"F3", "F9", "F1", "F2", "F1"});  // in any order, a key missing, one twice
    // Another file object writes F1 behind this one's back: the batch still hands out what it
    // read, once; the next read goes to the database.
    database->OpenFile("FLUXCOMPTABLES")->write("F1", invoiced("F1-b"));
    EXPECT_EQ(flows->Read("F1")->get(20), "F1-a");
    EXPECT_EQ(flows->Read("F1")->get(20), "F1-b");
    // Written through this file after the batch was read: read as written.
    flows->write("F2", invoiced("F2-b"));
    EXPECT_EQ(flows->Read("F2")->get(20), "F2-b");
    EXPECT_EQ(flows->Read("F3")->key(), "F3");
    EXPECT_EQ(codeOf([&] { flows->Read("F9"); }), error_code::kNotFound);

    // A batch read outside a transaction is not handed out inside one; an empty hint lets the
    // batch go.
    readAhead(*flows, {"F3"});
    database->OpenFile("FLUXCOMPTABLES")->write("F3", invoiced("F3-b"));
    database->begin();
    EXPECT_EQ(flows->Read("F3")->get(20), "F3-b");
    database->rollback();
    readAhead(*flows, {"F2"});
    database->OpenFile("FLUXCOMPTABLES")->write("F2", invoiced("F2-c"));
    readAhead(*flows, {});
    EXPECT_EQ(flows->Read("F2")->get(20), "F2-c");
}

TEST(ReadAhead, RecordReadAheadInATransactionIsWrittenBackWithItsIndexRight) {
    ScratchDatabase scratch;
    const auto& database = scratch.database;
    auto flows = database->OpenFile("FLUXCOMPTABLES");
    flows->write("F1", invoiced("0000000008"));
    flows->write("F2", invoiced("0000000002"));

    // As a print run does: read ahead, the record read, changed and written back twice, then
    // read ahead again after the writes. An index entry of a value the record no longer
    // holds would show at the top of the index.
    database->begin();
    readAhead(*flows, {"F1", "F2"});
    const auto flow = flows->Read("F1");
    flow->set(20, "0000000009");
    flow->DBWrite();
    flow->set(20, "0000000003");
    flow->DBWrite();
    readAhead(*flows, {"F1", "F2"});
    EXPECT_EQ(flows->Read("F1")->get(20), "0000000003");
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000003");
    database->commit();
    EXPECT_EQ(database->highestNumber("FLUXCOMPTABLES", 20, 10), "0000000003");
    EXPECT_THAT(flowsInvoiced(*database, "0000000003"), ElementsAre("F1"));
}

}  // namespace
}  // namespace tessaran::db
