// What a print run leaves in the database when it cannot finish: another run holding the
// database, a write that fails, a process killed midway, two processes printing at once. In
// every case the database holds the whole run or nothing of it.
//
// The test program doubles as the other process: started as `PROGRAM --child-print DATABASE
// MODE`, it prints November 2026 for every association and exits with 10 plus the run's end.
// At the run's first progress report (its transaction open, 50 flows completed in it) MODE
// "run" goes on, "kill" raises SIGKILL, "exit" calls _exit(3); with MODE "pause" the run stops
// itself once its flows are selected, before it writes any, until the parent lets it go on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "support/EngineWorld.h"

namespace tessaran::testing {
namespace {

using billing::RunEnd;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kChildPrintFlag = "--child-print";

int exitOf(RunEnd end) { return 10 + static_cast<int>(end); }

int runChildPrint(const std::string& databasePath, const std::string& mode) {
    EngineWorld world(db::openDatabase(databasePath));
    world.ui().onProgress = [&](int, int total) {
        if (total > 0 && mode == "kill") raise(SIGKILL);
        if (total > 0 && mode == "exit") _exit(3);
    };
    bool paused = false;
    world.ui().onYield = [&] {
        if (mode == "pause" && !std::exchange(paused, true)) raise(SIGSTOP);
    };
    return exitOf(world.print("202611", {"001", "002", "003", "004", "005"}).end);
}

pid_t startChildPrint(const std::string& databasePath, const std::string& mode) {
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "/proc/self/exe", kChildPrintFlag, databasePath.c_str(), mode.c_str(), nullptr);
        _exit(127);
    }
    return child;
}

// The child's exit code, or minus the signal that ended it.
int endOf(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

class DataSafetyTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = newDatabaseLocation(dir.file("federation.db"));
    std::shared_ptr<db::MultivalueDatabase> database = databaseFrom(testData("federation.json"), path);
    std::string before = db::exportJson(*database);
};

TEST_F(DataSafetyTest, RunWaitingForAnotherRunGivesUpWithoutWriting) {
    auto otherProcess = db::openDatabase(path);
    otherProcess->begin();
    database->setBusyTimeout(std::chrono::milliseconds(50));
    EngineWorld world(database);
    const billing::RunOutcome outcome = world.print("202611", {"001"});
    EXPECT_EQ(outcome.end, RunEnd::DatabaseBusy);
    EXPECT_THAT(outcome.messages, ElementsAre(HasSubstr("Une autre impression est en cours")));
    EXPECT_EQ(world.ui().messages.at(0).buttons, 48);
    EXPECT_EQ(world.printers().timesAsked(), 0);
    EXPECT_TRUE(world.enabledStates.empty());
    otherProcess->rollback();
    EXPECT_EQ(db::exportJson(*database), before);
}

TEST_F(DataSafetyTest, FailedWriteKeepsNothingOfTheRun) {
    database->failWriteAfter(3);  // the third flow completed
    EngineWorld world(database);
    const billing::RunOutcome failed = world.print("202611", {"001", "003"});
    EXPECT_EQ(failed.end, RunEnd::RecordsNotKept);
    EXPECT_THAT(failed.messages, ElementsAre(HasSubstr("L'enregistrement de la facturation a échoué")));
    EXPECT_TRUE(failed.invoiceNumbers.empty());
    EXPECT_EQ(failed.flowsBilled, 0);
    EXPECT_TRUE(world.output()->abandoned());
    database->failWriteAfter(0);
    EXPECT_EQ(db::exportJson(*database), before);
    EXPECT_FALSE(database->inTransaction());

    // A commit that fails keeps nothing either, and releases no document.
    database->failNextCommit();
    const billing::RunOutcome uncommitted = world.print("202611", {"001", "003"});
    EXPECT_EQ(uncommitted.end, RunEnd::RecordsNotKept);
    EXPECT_TRUE(world.output()->abandoned());
    EXPECT_FALSE(world.output()->published());
    EXPECT_EQ(db::exportJson(*database), before);
    EXPECT_FALSE(database->inTransaction());

    // The next run bills everything, from the same counter.
    EXPECT_EQ(world.print("202611", {"001", "003"}).end, RunEnd::Printed);
    EXPECT_EQ(world.record("NUMEROFACT", "001").get(10), "0000000043");
    EXPECT_EQ(world.record("FLUXCOMPTABLES", "FA003001S01202611").get(20), "0000000042");
}

// An output whose document cannot be written whole (a full disk, say) at its end.
struct FailingEndChoice : platform::ScriptedPrinterChoice {
    std::unique_ptr<platform::PageSink> open(int index) override {
        struct FailingEnd : platform::RecordingPageSink {
            explicit FailingEnd(bool& abandoned) : abandoned(abandoned) {}
            void endDocument() override { throw std::runtime_error("no space left on the device"); }
            void abandon() override { abandoned = true; }
            bool& abandoned;
        };
        ScriptedPrinterChoice::open(index);
        return std::make_unique<FailingEnd>(abandoned);
    }
    bool abandoned = false;
};

TEST_F(DataSafetyTest, DocumentThatCannotBeWrittenWholeKeepsNothingOfTheRun) {
    FailingEndChoice failing;
    EngineWorld world(database);
    world.otherPrinters = &failing;
    const billing::RunOutcome outcome = world.print("202611", {"001", "003"});
    EXPECT_EQ(outcome.end, RunEnd::DocumentNotWritten);
    EXPECT_THAT(outcome.messages, ElementsAre(HasSubstr("Le document n'a pas pu être écrit en entier")));
    EXPECT_TRUE(outcome.invoiceNumbers.empty());
    EXPECT_TRUE(failing.abandoned);
    EXPECT_EQ(db::exportJson(*database), before);
}

TEST_F(DataSafetyTest, ProcessStoppedMidwayLeavesTheDatabaseAsItWas) {
    // 120 more flows, so that the run reports its progress (every 50 flows) long before its end.
    nlohmann::json flows;
    for (int i = 100; i < 220; ++i)
        flows["FM" + std::to_string(i) + "001S01202611"] = {{"1", "202611"}, {"4", "C01"}, {"6", "100"}, {"7", "2000"}};
    db::importJson(*database, nlohmann::json{{"FLUXCOMPTABLES", flows}}.dump());
    before = db::exportJson(*database);

    // Killed after 50 flows completed in its transaction, then leaving without cleaning up.
    EXPECT_EQ(endOf(startChildPrint(path, "kill")), -SIGKILL);
    EXPECT_EQ(db::exportJson(*database), before);
    EXPECT_EQ(endOf(startChildPrint(path, "exit")), 3);
    EXPECT_EQ(db::exportJson(*database), before);

    // The database is usable afterwards, and a whole run is kept whole.
    EXPECT_EQ(endOf(startChildPrint(path, "run")), exitOf(RunEnd::Printed));
    EXPECT_EQ(database->records("NUMEROFACT").at(0).second.get(10), "0000000045");
    EXPECT_EQ(database->records("FLUXCOMPTABLES").size(), 18u + 120u + 3u);
}

TEST_F(DataSafetyTest, TwoProcessesPrintingAtOnceInvoiceEveryFlowOnce) {
    auto reference = databaseFrom(testData("federation.json"), newDatabaseLocation(dir.file("reference.db")));
    EngineWorld(reference).print("202611", {"001", "002", "003", "004", "005"});

    // The first process stops once it has selected the flows to bill, in its transaction.
    const pid_t first = startChildPrint(path, "pause");
    int status = 0;
    ASSERT_EQ(waitpid(first, &status, WUNTRACED), first);
    ASSERT_TRUE(WIFSTOPPED(status));

    // The second starts meanwhile, waits for the first to finish, then finds every flow
    // invoiced but the one of the association without a fee scale: it prints nothing. (The
    // sleep only gives it time to reach the wait; the outcome is the same.)
    const pid_t second = startChildPrint(path, "run");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(first, SIGCONT);
    EXPECT_EQ(endOf(first), exitOf(RunEnd::Printed));
    EXPECT_EQ(endOf(second), exitOf(RunEnd::NothingToPrint));

    // Exactly what one run leaves: no flow or number twice, no complementary flow twice.
    EXPECT_EQ(db::exportJson(*database), db::exportJson(*reference));
}

}  // namespace
}  // namespace tessaran::testing

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], tessaran::testing::kChildPrintFlag) == 0) {
        return tessaran::testing::runChildPrint(argv[2], argv[3]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
