// What a print run leaves in the database when it cannot finish: another run holding the
// database, a write that fails, a process killed midway, two processes printing at once. In
// every case the database holds the whole run or nothing of it.
//
// The test program doubles as the second process: started as
//   PROGRAM --child-print DATABASE PERIOD CODE,CODE,... MODE [FD_TO_PARENT FD_FROM_PARENT]
// it runs one print, and at the run's first progress report (its transaction open) MODE
// "run" goes on, "kill" raises SIGKILL, "exit" calls _exit(3), "pause" tells the parent and
// waits for its byte.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

#include "support/ControlWorld.h"

namespace tessaran::testing {
namespace {

constexpr const char* kChildPrintFlag = "--child-print";
constexpr const char* kAllAssociations = "001,002,003,004,005";

int runChildPrint(int argc, char** argv) {
    if (argc < 6) return 2;
    const std::string mode = argv[5];
    std::vector<std::string> codes;
    std::istringstream list(argv[4]);
    for (std::string code; std::getline(list, code, ',');) codes.push_back(code);

    ControlWorld world(db::SqliteDatabase::open(argv[2]));
    bool first = true;
    world.ui().onProgress = [&](int done, int total) {
        if (!first || total == 0 || done == 0) return;
        first = false;
        if (mode == "kill") raise(SIGKILL);
        if (mode == "exit") _exit(3);
        char byte = 'p';
        if (mode == "pause" && argc >= 8 &&
            (write(std::stoi(argv[6]), &byte, 1) != 1 || read(std::stoi(argv[7]), &byte, 1) != 1)) {
            _exit(4);
        }
    };
    world.period(argv[3]).select(codes).print();
    return 0;
}

pid_t startChildPrint(const std::string& databasePath, const std::string& mode, int toParent = -1,
                      int fromParent = -1) {
    std::vector<std::string> arguments = {"/proc/self/exe", kChildPrintFlag, databasePath, "NOVEMBRE 2026",
                                          kAllAssociations, mode};
    if (toParent >= 0) {
        arguments.push_back(std::to_string(toParent));
        arguments.push_back(std::to_string(fromParent));
    }
    std::vector<char*> argvChild;
    for (std::string& argument : arguments) argvChild.push_back(argument.data());
    argvChild.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        execv("/proc/self/exe", argvChild.data());
        _exit(127);
    }
    return child;
}

// The child's wait status.
int waitChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return status;
}

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class DataSafetyTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("federation.db");
    std::shared_ptr<db::SqliteDatabase> database = databaseFrom(testData("federation.json"), path);
    std::string before = db::exportJson(*database);
};

TEST_F(DataSafetyTest, RunWaitingForAnotherRunGivesUpWithoutWriting) {
    auto otherProcess = db::SqliteDatabase::open(path);
    otherProcess->begin();
    database->setBusyTimeout(std::chrono::milliseconds(50));
    {
        ControlWorld world(database);
        world.period("NOVEMBRE 2026").select({"001"}).print();
        EXPECT_THAT(world.messageTexts(), ElementsAre(HasSubstr("Une autre impression est en cours")));
        EXPECT_EQ(world.ui().messages.at(0).buttons, 48);
        EXPECT_EQ(world.printers().timesAsked(), 0);
        EXPECT_TRUE(world.control().W_Sortir);
    }
    otherProcess->rollback();
    EXPECT_EQ(db::exportJson(*database), before);
}

TEST_F(DataSafetyTest, FailedWriteKeepsNothingOfTheRun) {
    database->failWriteAfter(3);  // the third flow completed
    {
        ControlWorld world(database);
        world.period("NOVEMBRE 2026").select({"001", "003"}).print();
        EXPECT_THAT(world.messageTexts(), ElementsAre(HasSubstr("L'enregistrement de la facturation a échoué")));
        EXPECT_TRUE(world.control().W_Sortir);
    }
    database->failWriteAfter(0);
    EXPECT_EQ(db::exportJson(*database), before);
    EXPECT_FALSE(database->inTransaction());

    // The next run bills everything, from the same counter.
    ControlWorld world(database);
    world.period("NOVEMBRE 2026").select({"001", "003"}).print();
    EXPECT_TRUE(world.ui().messages.empty());
    EXPECT_EQ(world.record("NUMEROFACT", "001").get(10), "0000000043");
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FA003001S01202611").get(20), "0000000042");
}

TEST_F(DataSafetyTest, ProcessStoppedMidwayLeavesTheDatabaseAsItWas) {
    // 120 more flows, so that the run reports its progress (every 50 flows) long before its end.
    nlohmann::json document = nlohmann::json::parse(testData("federation.json"));
    for (int i = 0; i < 120; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "FM%03d001S01202611", i);
        document["FLUXCOMPTABLES"][key] = {{"1", "202611"}, {"4", "C01"}, {"6", "100"}, {"7", "2000"}};
    }
    database = databaseFrom(document.dump(), dir.file("many.db"));
    before = db::exportJson(*database);
    const std::string many = dir.file("many.db");

    // Killed after 50 flows completed in its transaction, then leaving without cleaning up.
    const int killed = waitChild(startChildPrint(many, "kill"));
    ASSERT_TRUE(WIFSIGNALED(killed));
    EXPECT_EQ(WTERMSIG(killed), SIGKILL);
    EXPECT_EQ(db::exportJson(*database), before);
    const int left = waitChild(startChildPrint(many, "exit"));
    ASSERT_TRUE(WIFEXITED(left));
    EXPECT_EQ(WEXITSTATUS(left), 3);
    EXPECT_EQ(db::exportJson(*database), before);

    // The database is usable afterwards, and a whole run is kept whole.
    const int finished = waitChild(startChildPrint(many, "run"));
    ASSERT_TRUE(WIFEXITED(finished) && WEXITSTATUS(finished) == 0);
    EXPECT_EQ(database->records("NUMEROFACT").at(0).second.get(10), "0000000045");
    EXPECT_EQ(database->records("FLUXCOMPTABLES").size(), 18u + 120u + 3u);
}

TEST_F(DataSafetyTest, TwoProcessesPrintingAtOnceInvoiceEveryFlowOnce) {
    auto reference = databaseFrom(testData("federation.json"), dir.file("reference.db"));
    ControlWorld(reference).period("NOVEMBRE 2026").select({"001", "002", "003", "004", "005"}).print();

    int toParent[2];
    int fromParent[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(fromParent), 0);
    // The first process stops once its flows are completed, its transaction still open.
    const pid_t first = startChildPrint(path, "pause", toParent[1], fromParent[0]);
    close(toParent[1]);
    close(fromParent[0]);
    char signal = 0;
    ASSERT_EQ(read(toParent[0], &signal, 1), 1);

    // The second starts meanwhile, waits for the first to finish, then finds every flow
    // invoiced. (The pause only gives it time to reach the wait; the outcome is the same.)
    const pid_t second = startChildPrint(path, "run");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(write(fromParent[1], "c", 1), 1);
    close(fromParent[1]);
    close(toParent[0]);
    const int firstStatus = waitChild(first);
    const int secondStatus = waitChild(second);
    ASSERT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0);
    ASSERT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0);

    // Exactly what one run leaves: no flow or number twice, no complementary flow twice.
    EXPECT_EQ(db::exportJson(*database), db::exportJson(*reference));
}

}  // namespace
}  // namespace tessaran::testing

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], tessaran::testing::kChildPrintFlag) == 0) {
        QApplication application(argc, argv);
        return tessaran::testing::runChildPrint(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
