#include "app/DataCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ExitCodes.h"
#include "database/DynamicArray.h"
#include "database/SqliteDatabase.h"
#include "support/Files.h"

namespace tessaran::app {
namespace {

namespace fs = std::filesystem;
using tessaran::testing::TempDir;

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome run(Command command, const std::string& database, std::vector<std::string> arguments = {},
            const std::string& input = "", const std::string& attributes = "0") {
    CommandLine line;
    line.command = command;
    line.databasePath = database;
    line.adminName = "chef";
    line.attributes = attributes;
    line.arguments = std::move(arguments);
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = runDataCommand(line, Streams{in, out, err});
    return {exitCode, out.str(), err.str()};
}

TEST(SelectOutput, ShowsOneLinePerRecordWithReadableMarks) {
    db::DynamicArray result;
    result.set(1, 1, "A01");
    result.set(1, 2, "AIDE\tET SOINS");
    result.set(2, 1, "A02");
    result.set(2, 2, 1, "S01");
    result.set(2, 2, 2, "S04");
    result.set(2, 3, "");
    EXPECT_EQ(selectOutputLines(result), "A01\tAIDE ET SOINS\nA02\tS01]S04\t\n");
    EXPECT_EQ(selectOutputLines(db::DynamicArray()), "");
}

TEST(InitAndRightsCommands, InitCreatesTheFilesNeverOverwritesAndRightsSetLevels) {
    TempDir directory;
    const std::string path = directory.file("new.db");
    const Outcome created = run(Command::Init, path);
    ASSERT_EQ(created.exitCode, exit_code::kOk) << created.err;

    const auto database = db::SqliteDatabase::open(path);
    EXPECT_EQ(database->fileNames().size(), 10u);
    EXPECT_EQ(database->rightLevel("chef", "MORVELINTASKADE"), 2);
    EXPECT_TRUE(database->records("FLUXCOMPTABLES").empty());

    const Outcome again = run(Command::Init, path);
    EXPECT_EQ(again.exitCode, exit_code::kDatabase);
    EXPECT_NE(again.err.find("already exists"), std::string::npos);
    EXPECT_EQ(database->rightLevel("chef", "MORVELINTASKADE"), 2);

    // A plain file that is not ours is not overwritten either.
    const std::string other = directory.file("notes.txt");
    std::ofstream(other) << "garder";
    EXPECT_EQ(run(Command::Demo, other).exitCode, exit_code::kDatabase);
    EXPECT_EQ(tessaran::testing::readText(other), "garder");

    EXPECT_EQ(run(Command::Rights, path, {"compta"}).out, "compta\t0\n");
    EXPECT_EQ(run(Command::Rights, path, {"compta", "1"}).out, "compta\t1\n");
    EXPECT_EQ(run(Command::Rights, path, {"admin", "2"}).exitCode, exit_code::kOk);
    EXPECT_EQ(run(Command::Rights, path).out, "admin\t2\nchef\t2\ncompta\t1\n");
    EXPECT_EQ(run(Command::Rights, directory.file("none.db")).exitCode, exit_code::kDatabase);
}

TEST(ImportCommand, LoadsAllOrNothingFromFileOrStdin) {
    TempDir directory;
    const std::string path = directory.file("t.db");
    ASSERT_EQ(run(Command::Init, path).exitCode, exit_code::kOk);

    const std::string good = R"({"SECTEUR": {"S01": {"1": "AIDE À DOMICILE"}, "S02": {"1": "SOINS"}}})";
    const Outcome fromStdin = run(Command::Import, path, {"-"}, good);
    EXPECT_EQ(fromStdin.exitCode, exit_code::kOk) << fromStdin.err;
    EXPECT_NE(fromStdin.out.find("2 records"), std::string::npos);

    const std::string document = directory.file("doc.json");
    std::ofstream(document) << R"({"SECTEUR": {"S03": {"1": "REPAS"}}, "PASDEFICHIER": {"X": {"1": "x"}}})";
    const Outcome refused = run(Command::Import, path, {document});
    EXPECT_EQ(refused.exitCode, exit_code::kRefusedInput);
    EXPECT_NE(refused.err.find("PASDEFICHIER"), std::string::npos) << refused.err;
    EXPECT_EQ(db::SqliteDatabase::open(path)->records("SECTEUR").size(), 2u);  // S03 not kept

    EXPECT_EQ(run(Command::Import, path, {directory.file("absent.json")}).exitCode, exit_code::kRefusedInput);
    EXPECT_EQ(run(Command::Import, path, {"-"}, "{ pas du json").exitCode, exit_code::kRefusedInput);
    const Outcome huge = run(Command::Import, path, {"-"}, R"({"SECTEUR": {"S09": {"1": 1e999}}})");
    EXPECT_EQ(huge.exitCode, exit_code::kRefusedInput);
    EXPECT_NE(huge.err.find("file \"SECTEUR\", key \"S09\", attribute \"1\""), std::string::npos) << huge.err;

    // Import never creates a database.
    const std::string missing = directory.file("missing.db");
    EXPECT_EQ(run(Command::Import, missing, {"-"}, good).exitCode, exit_code::kDatabase);
    EXPECT_FALSE(fs::exists(missing));
}

TEST(ExportCommand, WritesNamedFilesAndRoundTripsThroughImport) {
    TempDir directory;
    const std::string demo = directory.file("demo.db");
    ASSERT_EQ(run(Command::Demo, demo).exitCode, exit_code::kOk);

    const Outcome sectors = run(Command::Export, demo, {"SECTEUR"});
    ASSERT_EQ(sectors.exitCode, exit_code::kOk) << sectors.err;
    EXPECT_NE(sectors.out.find("\"S01\""), std::string::npos);
    EXPECT_EQ(sectors.out.find("FEDEASSOC"), std::string::npos);

    const Outcome unknown = run(Command::Export, demo, {"SECTEUR", "CLIENTS"});
    EXPECT_EQ(unknown.exitCode, exit_code::kUsage);
    EXPECT_NE(unknown.err.find("CLIENTS"), std::string::npos);
    EXPECT_TRUE(unknown.out.empty());

    const Outcome everything = run(Command::Export, demo);
    ASSERT_EQ(everything.exitCode, exit_code::kOk);
    const std::string copy = directory.file("copy.db");
    ASSERT_EQ(run(Command::Init, copy).exitCode, exit_code::kOk);
    ASSERT_EQ(run(Command::Import, copy, {"-"}, everything.out).exitCode, exit_code::kOk);
    EXPECT_EQ(run(Command::Export, copy).out, everything.out);

    EXPECT_EQ(run(Command::Export, directory.file("none.db")).exitCode, exit_code::kDatabase);
}

TEST(SelectCommand, RunsTheStatementOnTheFileItNames) {
    TempDir directory;
    const std::string demo = directory.file("demo.db");
    ASSERT_EQ(run(Command::Demo, demo).exitCode, exit_code::kOk);

    const Outcome sectors = run(Command::Select, demo, {"SSELECT SECTEUR"}, "", "0 1");
    ASSERT_EQ(sectors.exitCode, exit_code::kOk) << sectors.err;
    EXPECT_EQ(std::count(sectors.out.begin(), sectors.out.end(), '\n'), 5);
    EXPECT_EQ(sectors.out.rfind("S01\tAIDE À DOMICILE\n", 0), 0u);

    const Outcome multi = run(Command::Select, demo, {"SSELECT FEDEASSOC AVEC 0 = \"A01\""}, "", "41");
    EXPECT_EQ(multi.out, "S01]S02]S03\n");

    // A selected record whose requested attributes are all empty still has its line.
    EXPECT_EQ(run(Command::Select, demo, {"SSELECT SECTEUR AVEC 0 = \"S01\""}, "", "7").out, "\n");
    EXPECT_EQ(run(Command::Select, demo, {"SSELECT SECTEUR AVEC 0 = \"S01]\""}, "", "7 8").out, "\t\n");

    const Outcome none = run(Command::Select, demo, {"SSELECT SECTEUR AVEC 1 = \"NULLE PART\""});
    EXPECT_EQ(none.exitCode, exit_code::kOk);
    EXPECT_TRUE(none.out.empty());

    // A mark byte would cut the statement short: it is refused, not run on what precedes it.
    for (const char* refused : {"LIST SECTEUR", "SSELECT", "SSELECT CLIENTS", "SSELECT SECTEUR AVEC 1 = \"ouvert",
                                "SSELECT SECTEUR AVEC 0 = \"S01\"\xFE AND AVEC 1 = \"x\""}) {
        const Outcome syntax = run(Command::Select, demo, {refused});
        EXPECT_EQ(syntax.exitCode, exit_code::kRefusedInput) << refused;
        EXPECT_FALSE(syntax.err.empty()) << refused;
        EXPECT_TRUE(syntax.out.empty()) << refused;
    }
    EXPECT_NE(run(Command::Select, demo, {"SSELECT SECTEUR\xFD"}).err.find("0xFD at position 16"), std::string::npos);
}

}  // namespace
}  // namespace tessaran::app
