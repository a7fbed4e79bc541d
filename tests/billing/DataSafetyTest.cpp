// What a print run leaves in the database when it cannot finish: another run holding the
// database, a write that fails, a process killed midway, and two processes printing the same
// period at once. In every case the database holds the whole run or nothing of it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <thread>

#include "ChildPrint.h"

namespace tessaran::testing {
namespace {

using ::testing::ElementsAre;

constexpr const char* kAllAssociations = "001,002,003,004,005";

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
        EXPECT_THAT(world.messageTexts(), ElementsAre("Une autre impression est en cours sur cette base de données. "
                                                      "Réessayez lorsqu'elle sera terminée."));
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
        EXPECT_THAT(world.messageTexts(),
                    ElementsAre("L'enregistrement de la facturation a échoué : aucune facture, aucun frais de "
                                "gestion ni aucun flux complémentaire n'a été enregistré. Les documents imprimés "
                                "ne sont pas valables ; relancez l'impression."));
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

    // Killed after 50 flows were completed in its transaction, then leaving at once without
    // cleaning up.
    const int killed = waitChild(startChildPrint(many, "NOVEMBRE 2026", kAllAssociations, "kill"));
    ASSERT_TRUE(WIFSIGNALED(killed));
    EXPECT_EQ(WTERMSIG(killed), SIGKILL);
    EXPECT_EQ(db::exportJson(*database), before);
    const int left = waitChild(startChildPrint(many, "NOVEMBRE 2026", kAllAssociations, "exit"));
    ASSERT_TRUE(WIFEXITED(left));
    EXPECT_EQ(WEXITSTATUS(left), 3);
    EXPECT_EQ(db::exportJson(*database), before);

    // The database is usable afterwards, and a whole run is kept whole.
    const int finished = waitChild(startChildPrint(many, "NOVEMBRE 2026", kAllAssociations, "run"));
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
    const pid_t first = startChildPrint(path, "NOVEMBRE 2026", kAllAssociations, "pause", toParent[1], fromParent[0]);
    close(toParent[1]);
    close(fromParent[0]);
    char signal = 0;
    ASSERT_EQ(read(toParent[0], &signal, 1), 1);

    // The second starts meanwhile, waits for the first to finish, then finds every flow
    // invoiced. (The pause only gives it time to reach the wait; the outcome is the same.)
    const pid_t second = startChildPrint(path, "NOVEMBRE 2026", kAllAssociations, "run");
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
