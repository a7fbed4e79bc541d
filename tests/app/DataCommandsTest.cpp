#include "app/DataCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ExitCodes.h"
#include "database/DynamicArray.h"
#include "database/OpenDatabase.h"
#include "database/SqliteDatabase.h"
#include "support/Files.h"

namespace tessaran::app {
namespace {

using ::testing::HasSubstr;

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs data commands on databases of a scratch directory, as the administrator "chef".
class DataCommands : public ::testing::Test {
protected:
    Outcome run(Command command, const std::string& database, std::vector<std::string> arguments = {},
                const std::string& input = "", const std::string& attributes = "0") {
        CommandLine line;
        line.command = command;
        line.databasePath = database;
        line.adminName = "chef";
        line.attributes = attributes;
        line.arguments = std::move(arguments);
        std::istringstream in(input);
        std::ostringstream out, err;
        const int exitCode = runDataCommand(line, Streams{in, out, err});
        return {exitCode, out.str(), err.str()};
    }
    // A new database filled with the demonstration data.
    std::string demo() {
        const std::string path = directory.file("demo.db");
        EXPECT_EQ(run(Command::Demo, path).exitCode, exit_code::kOk);
        return path;
    }
    tessaran::testing::TempDir directory;
};

TEST(SelectOutput, ShowsOneLinePerRecordWithReadableMarks) {
    const std::string FM(1, db::kAttributeMark), VM(1, db::kValueMark), SM(1, db::kSubvalueMark);
    const db::DynamicArray result("A01" + VM + "AIDE\tET SOINS" + FM + "A02" + VM + "S01" + SM + "S04" + VM);
    EXPECT_EQ(selectOutputLines(result), "A01\tAIDE ET SOINS\nA02\tS01]S04\t\n");
    EXPECT_EQ(selectOutputLines(db::DynamicArray()), "");
}

TEST_F(DataCommands, InitCreatesTheFilesNeverOverwritesAndRightsSetLevels) {
    const std::string path = directory.file("new.db");
    const Outcome created = run(Command::Init, path);
    ASSERT_EQ(created.exitCode, exit_code::kOk) << created.err;
    const auto database = db::openDatabase(path);
    EXPECT_EQ(database->rightLevel("chef", "MORVELINTASKADE"), 2);
    EXPECT_TRUE(database->records("FLUXCOMPTABLES").empty());

    const Outcome again = run(Command::Init, path);
    EXPECT_EQ(again.exitCode, exit_code::kDatabase);
    EXPECT_THAT(again.err, HasSubstr("already exists"));
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

TEST_F(DataCommands, ImportLoadsAllOrNothingFromFileOrStdin) {
    const std::string path = directory.file("t.db");
    ASSERT_EQ(run(Command::Init, path).exitCode, exit_code::kOk);

    const std::string good = R"({"SECTEUR": {"S01": {"1": "AIDE À DOMICILE"}, "S02": {"1": "SOINS"}}})";
    const Outcome fromStdin = run(Command::Import, path, {"-"}, good);
    EXPECT_EQ(fromStdin.exitCode, exit_code::kOk) << fromStdin.err;
    EXPECT_THAT(fromStdin.out, HasSubstr("2 records"));

    const std::string document = directory.file("doc.json");
    std::ofstream(document) << R"({"SECTEUR": {"S03": {"1": "REPAS"}}, "PASDEFICHIER": {"X": {"1": "x"}}})";
    const Outcome refused = run(Command::Import, path, {document});
    EXPECT_EQ(refused.exitCode, exit_code::kRefusedInput);
    EXPECT_THAT(refused.err, HasSubstr("PASDEFICHIER"));
    EXPECT_EQ(db::openDatabase(path)->records("SECTEUR").size(), 2u);  // S03 not kept

    EXPECT_EQ(run(Command::Import, path, {directory.file("absent.json")}).exitCode, exit_code::kRefusedInput);
    const Outcome folder = run(Command::Import, path, {directory.file(".")});  // opens, then fails to read
    EXPECT_EQ(folder.exitCode, exit_code::kRefusedInput);
    EXPECT_THAT(folder.err, HasSubstr("cannot read"));
    EXPECT_EQ(run(Command::Import, path, {"-"}, "{ pas du json").exitCode, exit_code::kRefusedInput);
    const Outcome huge = run(Command::Import, path, {"-"}, R"({"SECTEUR": {"S09": {"1": 1e999}}})");
    EXPECT_EQ(huge.exitCode, exit_code::kRefusedInput);
    EXPECT_THAT(huge.err, HasSubstr("file \"SECTEUR\", key \"S09\", attribute \"1\""));

    // Import never creates a database.
    const std::string missing = directory.file("missing.db");
    EXPECT_EQ(run(Command::Import, missing, {"-"}, good).exitCode, exit_code::kDatabase);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DataCommands, ExportWritesNamedFilesAndRoundTripsThroughImport) {
    const std::string path = demo();
    const Outcome sectors = run(Command::Export, path, {"SECTEUR"});
    ASSERT_EQ(sectors.exitCode, exit_code::kOk) << sectors.err;
    EXPECT_THAT(sectors.out, HasSubstr("\"S01\""));
    EXPECT_THAT(sectors.out, ::testing::Not(HasSubstr("FEDEASSOC")));

    const Outcome unknown = run(Command::Export, path, {"SECTEUR", "CLIENTS"});
    EXPECT_EQ(unknown.exitCode, exit_code::kUsage);
    EXPECT_THAT(unknown.err, HasSubstr("CLIENTS"));
    EXPECT_EQ(unknown.out, "");

    const Outcome everything = run(Command::Export, path);
    const std::string copy = directory.file("copy.db");
    ASSERT_EQ(run(Command::Init, copy).exitCode, exit_code::kOk);
    ASSERT_EQ(run(Command::Import, copy, {"-"}, everything.out).exitCode, exit_code::kOk);
    EXPECT_EQ(run(Command::Export, copy).out, everything.out);
    EXPECT_EQ(run(Command::Export, directory.file("none.db")).exitCode, exit_code::kDatabase);

    // A record that JSON cannot carry ends the export with its place and a failure code.
    db::openDatabase(copy)->OpenFile("SECTEUR")->write("S01", db::DynamicArray(std::string("a") + db::kSubvalueMark));
    const Outcome refused = run(Command::Export, copy);
    EXPECT_EQ(refused.exitCode, exit_code::kDatabase);
    EXPECT_THAT(refused.err, HasSubstr("file \"SECTEUR\", key \"S01\", attribute \"1\""));
}

TEST_F(DataCommands, SelectRunsTheStatementOnTheFileItNames) {
    const std::string path = demo();
    const Outcome sectors = run(Command::Select, path, {"SSELECT SECTEUR"}, "", "0 1");
    ASSERT_EQ(sectors.exitCode, exit_code::kOk) << sectors.err;
    EXPECT_EQ(std::count(sectors.out.begin(), sectors.out.end(), '\n'), 5);
    EXPECT_TRUE(sectors.out.starts_with("S01\tAIDE À DOMICILE\n"));
    EXPECT_EQ(run(Command::Select, path, {"SSELECT FEDEASSOC AVEC 0 = \"A01\""}, "", "41").out, "S01]S02]S03\n");

    // A selected record whose requested attributes are all empty still has its line.
    EXPECT_EQ(run(Command::Select, path, {"SSELECT SECTEUR AVEC 0 = \"S01\""}, "", "7").out, "\n");
    EXPECT_EQ(run(Command::Select, path, {"SSELECT SECTEUR AVEC 0 = \"S01]\""}, "", "7 8").out, "\t\n");
    const Outcome none = run(Command::Select, path, {"SSELECT SECTEUR AVEC 1 = \"NULLE PART\""});
    EXPECT_EQ(none.exitCode, exit_code::kOk);
    EXPECT_EQ(none.out, "");

    // A mark byte would cut the statement short: it is refused, not run on what precedes it.
    for (const char* refused : {"LIST SECTEUR", "SSELECT", "SSELECT CLIENTS", "SSELECT SECTEUR AVEC 1 = \"ouvert",
                                "SSELECT SECTEUR AVEC 0 = \"S01\"\xFE AND AVEC 1 = \"x\""}) {
        const Outcome syntax = run(Command::Select, path, {refused});
        EXPECT_EQ(syntax.exitCode, exit_code::kRefusedInput) << refused;
        EXPECT_NE(syntax.err, "") << refused;
        EXPECT_EQ(syntax.out, "") << refused;
    }
    EXPECT_THAT(run(Command::Select, path, {"SSELECT SECTEUR\xFD"}).err, HasSubstr("0xFD at position 16"));
}

}  // namespace
}  // namespace tessaran::app
