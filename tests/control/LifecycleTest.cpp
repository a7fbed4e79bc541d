// The control's life as its host sees it: Init and its failures, the rights rule, "Sortir",
// the help menu, errors raised by handlers, and the release of every object at the end.

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>

#include "DatabaseDouble.h"
#include "database/Schema.h"
#include "support/ControlWorld.h"

namespace tessaran::control::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using tessaran::testing::ControlWorld;
using tessaran::testing::FixedUserRights;
using tessaran::testing::panelDatabase;

TEST(Lifecycle, OnlyLevelTwoKeepsPrintingOnScreen) {
    for (const int level : {0, 1, 2, 3, -1, 12}) {
        SCOPED_TRACE(level);
        ControlWorld world(panelDatabase(), {.rightsLevel = level});
        EXPECT_EQ(world.control().Cmd_Imprimer->isHidden(), level != 2);
        EXPECT_EQ(world.control().Cmd_Apercu->isHidden(), level != 2) << "the preview is the print run";
        EXPECT_FALSE(world.control().Cmd_Reedition->isHidden());
        EXPECT_FALSE(world.control().Cmd_Sortir->isHidden());
        EXPECT_THAT(world.rights->keysAsked, ElementsAre("MORVELINTASKADE"));
    }
}

TEST(Lifecycle, InitOpensTheFilesInOrderYieldingOnceWhileDisabledAndStopsAtOneThatFails) {
    auto database = std::make_shared<LoggedDatabase>(std::make_shared<std::vector<std::string>>());
    {
        ControlWorld world(database, {.init = false});
        std::vector<bool> enabledAtYield;
        world.ui().onYield = [&] { enabledAtYield.push_back(world.control().isEnabled()); };
        world.control().Init();
        EXPECT_THAT(world.ui().pointers, ElementsAre(platform::kPointerHourglass, platform::kPointerDefault));
        EXPECT_THAT(enabledAtYield, ElementsAre(false));
        EXPECT_TRUE(world.control().isEnabled());
        EXPECT_THAT(database->opened, ElementsAreArray(db::kApplicationFiles));
    }
    database->opened.clear();
    database->failingFile = "FEDEASSOC";
    {
        ControlWorld world(database, {.init = false});
        EXPECT_THAT([&] { world.control().Init(); }, ::testing::Throws<db::DatabaseError>(::testing::Property(
                                                          &db::DatabaseError::code, db::error_code::kUnknownFile)));
        EXPECT_THAT(database->opened, ElementsAre("ACTIVITES", "ASSOCIATION", "BAREMEFEDEASSO"));
        EXPECT_EQ(world.control().dataFiles(), nullptr) << "files opened before the failure are released";
        EXPECT_THAT(world.ui().pointers, ElementsAre(platform::kPointerHourglass));
        EXPECT_FALSE(world.control().isEnabled());
    }
    // Without any database, Init stops at the very first file.
    ControlWorld none(nullptr, {.init = false});
    EXPECT_THROW(none.control().Init(), db::DatabaseError);
    EXPECT_FALSE(none.control().isEnabled());
}

TEST(Lifecycle, InitWithoutRightsFailsOnlyAtTheLastStep) {
    ControlWorld world(panelDatabase(), {.rightsLevel = std::nullopt, .init = false});
    Ctr_Tessaran& c = world.control();
    EXPECT_THAT([&] { c.Init(); }, ::testing::ThrowsMessage<std::runtime_error>(HasSubstr("DroitsUtilisateur")));
    EXPECT_THAT(world.ui().pointers, ElementsAre(platform::kPointerHourglass, platform::kPointerDefault));
    EXPECT_EQ(world.ui().yields, 1);
    EXPECT_TRUE(c.isEnabled());
    EXPECT_EQ(c.Cbo_PeriodePaie->count(), 12);
    EXPECT_EQ(c.Lst_Possible->count(), 3);
    EXPECT_TRUE(c.Cmd_Imprimer->isEnabled());
    // Rights given afterwards are not applied: only Init applies them.
    c.setDroitsUtilisateur(std::make_shared<FixedUserRights>(0));
    EXPECT_FALSE(c.Cmd_Imprimer->isHidden());
}

TEST(Lifecycle, SortirAsksTheHostToCloseEvenBeforeInit) {
    for (const bool init : {true, false}) {
        ControlWorld world(panelDatabase(), {.init = init});
        EXPECT_FALSE(world.control().W_Sortir);
        world.control().Cmd_Sortir->click();
        EXPECT_TRUE(world.control().W_Sortir);
        EXPECT_EQ(world.ui().unloads, 1);
    }
}

// A right press (and release) on the free surface of the control or of its frame opens the
// help menu there; other buttons and presses on the controls open nothing.
TEST(Lifecycle, HelpMenuOpensOnARightPressOnTheFreeSurfaceOnly) {
    ControlWorld world(panelDatabase());
    Ctr_Tessaran& c = world.control();
    std::vector<QPoint> popups;
    std::vector<std::string> entries;
    c.popupMenu = [&](QMenu& menu, const QPoint& at) {
        popups.push_back(at);
        EXPECT_EQ(menu.title().toStdString(), "Aide");
        EXPECT_TRUE(menu.isEnabled());
        for (const QAction* action : menu.actions()) {
            entries.push_back(action->text().toStdString());
            EXPECT_TRUE(action->isEnabled());
        }
    };
    c.show();
    const auto press = [](QWidget* target, Qt::MouseButton button, QPoint at) {
        QTest::mousePress(target, button, {}, at);
        QTest::mouseRelease(target, button, {}, at);
    };

    // Free surface right of the period, and in the frame under "<------", at any screen's dpi.
    const QPoint freeSurface((c.Cbo_PeriodePaie->geometry().right() + c.width()) / 2,
                             c.Cbo_PeriodePaie->geometry().center().y());
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) press(&c, button, freeSurface);
    QTest::mousePress(&c, Qt::LeftButton, {}, freeSurface);  // right press while the left is held
    press(&c, Qt::RightButton, freeSurface);
    QTest::mouseRelease(&c, Qt::LeftButton, {}, freeSurface);
    for (QWidget* target : std::initializer_list<QWidget*>{
             c.Lst_Possible->viewport(), c.Lst_Select->viewport(), c.Cbo_PeriodePaie, c.Cmd_Tous, c.Cmd_Select,
             c.Cmd_Supp, c.Cmd_Imprimer, c.Cmd_Sortir, c.Cmd_Reedition, c.Etq_PeriodePaie, c.Etq_Possible}) {
        press(target, Qt::RightButton, target->rect().center());
    }
    c.Cmd_Imprimer->setEnabled(false);  // a disabled button passes the press to its container
    press(c.Cmd_Imprimer, Qt::RightButton, c.Cmd_Imprimer->rect().center());
    EXPECT_THAT(popups, IsEmpty());
    EXPECT_FALSE(c.W_Sortir);

    c.Mnu_Aide->setEnabled(false);  // the menu is enabled when it opens
    c.Mnu_Sommaire->setEnabled(false);
    ASSERT_EQ(c.childAt(freeSurface), nullptr);
    press(&c, Qt::RightButton, freeSurface);
    const QPoint frameSurface(c.Cmd_Supp->geometry().center().x(),
                              (c.Cmd_Supp->geometry().bottom() + c.Lst_Possible->geometry().bottom()) / 2);
    ASSERT_EQ(c.Cdr_Assoc->childAt(frameSurface), nullptr);
    press(c.Cdr_Assoc, Qt::RightButton, frameSurface);
    EXPECT_THAT(popups, ElementsAre(c.mapToGlobal(freeSurface), c.Cdr_Assoc->mapToGlobal(frameSurface)));
    EXPECT_THAT(entries, ElementsAre("Aide_VELORANDE", "Aide_VELORANDE"));
}

// A help viewer that records what it is handed, in order.
struct RecordingHelpViewer : platform::HelpViewer {
    explicit RecordingHelpViewer(std::vector<std::string>& calls) : calls(calls) {}
    std::string show(const std::string& page, const std::string& mode, const std::string& title) override {
        calls.push_back("show " + page + " " + mode + " " + title);
        return {};
    }
    void setClient(std::shared_ptr<platform::Client> client) override {
        calls.push_back("client " + (client ? client->userName : std::string("none")));
    }
    void setDatabase(std::shared_ptr<db::Database> database) override { calls.push_back(database ? "database" : "none"); }
    std::vector<std::string>& calls;
};

TEST(Lifecycle, TheHelpEntryOpensOneViewerAndShowsThePage) {
    std::vector<std::string> calls;
    int viewersMade = 0;
    ControlWorld world(panelDatabase(), {.makeHelpViewer = [&] {
                                             ++viewersMade;
                                             return std::make_unique<RecordingHelpViewer>(calls);
                                         }});
    world.control().Mnu_Sommaire->trigger();
    world.control().Mnu_Sommaire->trigger();
    EXPECT_EQ(viewersMade, 1);
    const std::string page = "show Morvelintaskade.htm P Etat de facturation par association";
    EXPECT_THAT(calls, ElementsAre("client alice", "database", page, "client alice", "database", page));
    EXPECT_THAT(world.ui().messages, IsEmpty());
}

TEST(Lifecycle, AnErrorInAHandlerIsReportedNotThrown) {
    ControlWorld world(panelDatabase());  // no help viewer in this host
    Ctr_Tessaran& c = world.control();
    c.Mnu_Sommaire->trigger();
    ASSERT_EQ(world.ui().messages.size(), 1u);
    EXPECT_THAT(world.ui().messages[0].text, ::testing::StartsWith("L'aide n'a pas pu être affichée."));
    EXPECT_THAT(world.ui().messages[0].text, HasSubstr("Détail technique : Mnu_Sommaire_Click"));
    EXPECT_EQ(world.ui().messages[0].buttons, 16);

    std::vector<std::string> failed;
    c.handlerError = [&](const std::string& handler, std::exception_ptr error) {
        failed.push_back(handler);
        EXPECT_THROW(std::rethrow_exception(error), std::logic_error);
    };
    c.Mnu_Sommaire->trigger();
    EXPECT_THAT(failed, ElementsAre("Mnu_Sommaire_Click"));
    EXPECT_EQ(world.ui().messages.size(), 1u);
}

TEST(Lifecycle, TerminationReleasesRightsThenRecordsThenFilesThenTheDatabase) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto database = std::make_shared<LoggedDatabase>(log);
    database->associations = db::DynamicArray("A01\xFD" "GAMMA");
    ControlWorld world(std::move(database), {.rightsLevel = std::nullopt, .init = false});
    world.control().setDroitsUtilisateur(std::make_shared<LoggedUserRights>(2, log));
    world.control().Init();
    billing::DataFiles& files = *world.control().dataFiles();
    files.issuer.read("001");
    files.flows.read("F1");
    ASSERT_THAT(*log, IsEmpty());

    world.release();
    std::vector<std::string> expected = {"Droits", "DroitsFonction", "record ASSOCIATION/001",
                                         "record FLUXCOMPTABLES/F1", "record PERIODESPAIE/1"};
    for (std::string_view file : db::kApplicationFiles) expected.push_back("file " + std::string(file));
    expected.push_back("database");
    EXPECT_EQ(*log, expected);
}

}  // namespace
}  // namespace tessaran::control::testing
