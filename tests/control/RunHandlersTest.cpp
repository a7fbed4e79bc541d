// The run handlers as the host sees them: each builds its request from the panel, the engine
// runs with the control as its view, and the handler ends as the application's do.

#include <QComboBox>
#include <QPushButton>

#include <gmock/gmock.h>

#include "support/ControlWorld.h"

namespace tessaran::control::testing {
namespace {

using ::testing::ElementsAre;
using tessaran::testing::ControlWorld;

std::shared_ptr<db::MultivalueDatabase> federation() {
    return tessaran::testing::databaseFrom(tessaran::testing::testData("federation.json"));
}

TEST(RunHandlers, PrintAndReprintRunDisabledUnderTheHourglassThenUnloadTheWindow) {
    ControlWorld world(federation());
    std::vector<bool> enabledDuringRun;
    world.ui().onProgress = [&](int, int total) {
        if (total > 0) enabledDuringRun.push_back(world.control().isEnabled());
    };
    world.period("NOVEMBRE 2026").select({"001", "003"});
    const int yieldsAfterInit = world.ui().yields;
    world.print();

    const auto& outcome = world.control().lastOutcome();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->end, billing::RunEnd::Printed);
    EXPECT_THAT(outcome->invoiceNumbers, ElementsAre("0000000042", "0000000043"));
    EXPECT_THAT(enabledDuringRun, ::testing::Each(false));
    EXPECT_FALSE(enabledDuringRun.empty());
    EXPECT_TRUE(world.control().isEnabled());
    // Init's pointers, then the run's: hourglass for the walk, default at its end; two yields.
    EXPECT_THAT(world.ui().pointers, ElementsAre(platform::kPointerHourglass, platform::kPointerDefault,
                                                 platform::kPointerHourglass, platform::kPointerDefault));
    EXPECT_EQ(world.ui().yields - yieldsAfterInit, 2);
    EXPECT_TRUE(world.control().W_Sortir);
    EXPECT_EQ(world.ui().unloads, 1);
    // The document names itself before its first page: the period as printed, what it holds.
    const auto& info = world.output()->documentInfo();
    EXPECT_EQ(info.title, "États de facturation - NOVEMBRE 2026");
    EXPECT_EQ(info.subject, "Les états de facturation, états récapitulatifs et factures des frais de gestion "
                            "de la période de paie NOVEMBRE 2026");
    EXPECT_EQ(info.creator, "Tessaran");
    EXPECT_EQ(world.output()->opsBeforeDocumentInfo(), 0u);

    ControlWorld again(federation());
    again.period("NOVEMBRE 2026").select({"001"}).reprint();
    EXPECT_EQ(again.control().lastOutcome()->end, billing::RunEnd::Printed);
    EXPECT_TRUE(again.control().W_Sortir);
    EXPECT_EQ(again.ui().unloads, 1);
    EXPECT_THAT(again.output()->documentInfo().subject, ::testing::StartsWith("Réédition des états de facturation"));
}

TEST(RunHandlers, NothingSelectedSaysSoAndStillEndsTheRun) {
    ControlWorld world(federation());
    world.period("NOVEMBRE 2026").print();
    EXPECT_THAT(world.messageTexts(), ElementsAre("Aucun état de facturation à éditer."));
    EXPECT_EQ(world.control().lastOutcome()->end, billing::RunEnd::NothingToPrint);
    EXPECT_TRUE(world.control().W_Sortir);
}

TEST(RunHandlers, PreviewGoesToItsWindowWritesNothingAndKeepsTheWindowOpen) {
    ControlWorld world(federation());
    const std::string before = world.exported();
    world.period("NOVEMBRE 2026").select({"001"}).preview();
    EXPECT_EQ(world.exported(), before);
    EXPECT_EQ(world.control().lastOutcome()->end, billing::RunEnd::Printed);
    EXPECT_EQ(world.printers().timesAsked(), 0) << "not the printer choice";
    EXPECT_FALSE(world.control().W_Sortir);
    EXPECT_EQ(world.ui().unloads, 0);
    // The selection is still there for the print that follows.
    world.print();
    EXPECT_THAT(world.control().lastOutcome()->invoiceNumbers, ElementsAre("0000000042"));
    EXPECT_NE(world.exported(), before);
}

}  // namespace
}  // namespace tessaran::control::testing
