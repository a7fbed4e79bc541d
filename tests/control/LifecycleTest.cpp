// The control's life as its host sees it: Init and its failures, the rights rule, "Sortir",
// the help menu, errors raised by handlers, and the release of every object at the end.

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>

#include <algorithm>

#include "ControlFixture.h"
#include "DatabaseDouble.h"
#include "database/Schema.h"

namespace tessaran::control::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class LifecycleTest : public ControlFixture {};

TEST_F(LifecycleTest, OnlyLevelTwoKeepsPrintingOnScreen) {
    for (const int level : {0, 1, 2, 3, -1, 12}) {
        SCOPED_TRACE(level);
        Ctr_Tessaran& c = initialisedControl(kPanelData, level);
        EXPECT_EQ(c.Cmd_Imprimer->isHidden(), level != 2);
        EXPECT_FALSE(c.Cmd_Reedition->isHidden());
        EXPECT_FALSE(c.Cmd_Sortir->isHidden());
        EXPECT_THAT(rights->keysAsked, ElementsAre("MORVELINTASKADE"));
        TearDown();
    }
}

TEST_F(LifecycleTest, InitOpensTheFilesAndYieldsOnceWhileDisabled) {
    // UI services that look at the control when Init yields.
    class ObservingUi : public platform::RecordingUiServices {
    public:
        void yield() override {
            enabledAtYield.push_back(watched->isEnabled());
            RecordingUiServices::yield();
        }
        const QWidget* watched = nullptr;
        std::vector<bool> enabledAtYield;
    } observing;

    auto database = std::make_shared<LoggedDatabase>(std::make_shared<std::vector<std::string>>());
    Ctr_Tessaran c(ControlServices{&observing, &printers, &clock, {}});
    observing.watched = &c;
    c.setDroitsUtilisateur(std::make_shared<FixedUserRights>(2));
    c.setTheDatabase(database);
    c.Init();

    EXPECT_THAT(observing.pointers, ElementsAre(platform::kPointerHourglass, platform::kPointerDefault));
    EXPECT_THAT(observing.enabledAtYield, ElementsAre(false));
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(std::equal(database->opened.begin(), database->opened.end(), db::kApplicationFiles.begin(),
                           db::kApplicationFiles.end()));
    EXPECT_TRUE(dataModule().request);
}

TEST_F(LifecycleTest, InitStopsAtTheFileThatFailsToOpen) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto database = std::make_shared<LoggedDatabase>(log);
    database->failingFile = "FEDEASSOC";
    control = std::make_unique<Ctr_Tessaran>(services());
    control->setDroitsUtilisateur(std::make_shared<FixedUserRights>(2));
    control->setTheDatabase(database);
    try {
        control->Init();
        FAIL() << "Init went past a file that could not be opened";
    } catch (const db::DatabaseError& error) {
        EXPECT_EQ(error.code(), db::error_code::kUnknownFile);
    }
    EXPECT_THAT(database->opened, ElementsAre("ACTIVITES", "ASSOCIATION", "BAREMEFEDEASSO"));
    EXPECT_TRUE(dataModule().BAREMEFEDEASSO.file);
    EXPECT_FALSE(dataModule().FEDEASSOC.file);
    EXPECT_FALSE(dataModule().SECTEUR.file);
    EXPECT_FALSE(dataModule().request);
    EXPECT_THAT(ui.pointers, ElementsAre(platform::kPointerHourglass));
    EXPECT_FALSE(control->isEnabled());

    // Without any database, Init stops at the very first file.
    TearDown();
    control = std::make_unique<Ctr_Tessaran>(services());
    control->setDroitsUtilisateur(std::make_shared<FixedUserRights>(2));
    EXPECT_THROW(control->Init(), db::DatabaseError);
    EXPECT_FALSE(dataModule().ACTIVITES.file);
    EXPECT_FALSE(control->isEnabled());
}

TEST_F(LifecycleTest, InitWithoutRightsFailsOnlyAtTheLastStep) {
    Ctr_Tessaran& c = makeControl(kPanelData, std::nullopt);
    try {
        c.Init();
        FAIL() << "Init applied rights it was never given";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), HasSubstr("DroitsUtilisateur"));
    }
    EXPECT_THAT(ui.pointers, ElementsAre(platform::kPointerHourglass, platform::kPointerDefault));
    EXPECT_EQ(ui.yields, 1);
    EXPECT_TRUE(c.isEnabled());
    EXPECT_EQ(c.Cbo_PeriodePaie->count(), 12);
    EXPECT_EQ(c.Lst_Possible->count(), 3);
    EXPECT_FALSE(c.Cmd_Imprimer->isHidden());
    EXPECT_TRUE(c.Cmd_Imprimer->isEnabled());

    // Rights given afterwards are not applied: only Init applies them.
    c.setDroitsUtilisateur(std::make_shared<FixedUserRights>(0));
    EXPECT_FALSE(c.Cmd_Imprimer->isHidden());
}

TEST_F(LifecycleTest, SortirAsksTheHostToCloseEvenBeforeInit) {
    Ctr_Tessaran& idle = initialisedControl();
    EXPECT_FALSE(idle.W_Sortir);
    EXPECT_EQ(ui.unloads, 0);
    idle.Cmd_Sortir->click();
    EXPECT_TRUE(idle.W_Sortir);
    EXPECT_EQ(ui.unloads, 1);

    TearDown();
    Ctr_Tessaran fresh(services());
    fresh.Cmd_Sortir->click();
    EXPECT_TRUE(fresh.W_Sortir);
    EXPECT_EQ(ui.unloads, 2);
}

class HelpMenuTest : public ControlFixture {
protected:
    Ctr_Tessaran& shownControl() {
        Ctr_Tessaran& c = initialisedControl();
        c.popupMenu = [this](QMenu& menu, const QPoint& at) {
            popups.push_back(at);
            menuTitle = menu.title().toStdString();
            for (const QAction* action : menu.actions()) {
                entries.push_back(action->text().toStdString());
                entriesEnabled = entriesEnabled && action->isEnabled();
            }
            menuEnabled = menu.isEnabled();
        };
        c.show();
        return c;
    }

    // A press then a release of one button at `at` in `target`.
    static void rightClick(QWidget* target, QPoint at) {
        QTest::mousePress(target, Qt::RightButton, {}, at);
        QTest::mouseRelease(target, Qt::RightButton, {}, at);
    }

    std::vector<QPoint> popups;
    std::string menuTitle;
    std::vector<std::string> entries;
    bool menuEnabled = false;
    bool entriesEnabled = true;
};

TEST_F(HelpMenuTest, ARightPressOnTheFreeSurfaceOrTheFrameOpensTheMenuThere) {
    Ctr_Tessaran& c = shownControl();
    c.Mnu_Aide->setEnabled(false);
    c.Mnu_Sommaire->setEnabled(false);

    const QPoint freeSurface(400, 15);
    ASSERT_EQ(c.childAt(freeSurface), nullptr);
    rightClick(&c, freeSurface);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], c.mapToGlobal(freeSurface));
    EXPECT_EQ(menuTitle, "Aide");
    EXPECT_THAT(entries, ElementsAre("Aide_VELORANDE"));
    EXPECT_TRUE(menuEnabled);
    EXPECT_TRUE(entriesEnabled);

    const QPoint frameSurface(280, 176);
    ASSERT_EQ(c.Cdr_Assoc->childAt(frameSurface), nullptr);
    rightClick(c.Cdr_Assoc, frameSurface);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[1], c.Cdr_Assoc->mapToGlobal(frameSurface));
}

TEST_F(HelpMenuTest, OtherButtonsAndPressesOnControlsOpenNothing) {
    Ctr_Tessaran& c = shownControl();
    const QPoint freeSurface(400, 15);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        QTest::mousePress(&c, button, {}, freeSurface);
        QTest::mouseRelease(&c, button, {}, freeSurface);
    }
    // The right button pressed while the left one is held.
    QTest::mousePress(&c, Qt::LeftButton, {}, freeSurface);
    QTest::mousePress(&c, Qt::RightButton, {}, freeSurface);
    QTest::mouseRelease(&c, Qt::RightButton, {}, freeSurface);
    QTest::mouseRelease(&c, Qt::LeftButton, {}, freeSurface);

    QWidget* const controls[] = {c.Lst_Possible->viewport(), c.Lst_Select->viewport(), c.Cbo_PeriodePaie,
                                 c.Cmd_Tous,    c.Cmd_Select, c.Cmd_Supp, c.Cmd_Imprimer, c.Cmd_Sortir,
                                 c.Cmd_Reedition, c.Etq_PeriodePaie, c.Etq_Possible};
    for (QWidget* target : controls) rightClick(target, target->rect().center());

    // A disabled button passes the press on to its container: still no menu.
    c.Cmd_Imprimer->setEnabled(false);
    rightClick(c.Cmd_Imprimer, c.Cmd_Imprimer->rect().center());

    EXPECT_THAT(popups, IsEmpty());
    EXPECT_FALSE(c.W_Sortir);
}

// A help viewer that records what it is handed, in order.
class RecordingHelpViewer : public platform::HelpViewer {
public:
    explicit RecordingHelpViewer(std::vector<std::string>& calls) : calls_(calls) {}
    std::string show(const std::string& page, const std::string& mode, const std::string& title) override {
        calls_.push_back("show " + page + " " + mode + " " + title);
        return {};
    }
    void setClient(std::shared_ptr<platform::Client> client) override {
        calls_.push_back("client " + (client ? client->userName : std::string("none")));
    }
    void setDatabase(std::shared_ptr<db::Database> database) override {
        calls_.push_back(database ? "database" : "no database");
    }

private:
    std::vector<std::string>& calls_;
};

TEST_F(LifecycleTest, TheHelpEntryOpensOneViewerAndShowsThePage) {
    std::vector<std::string> calls;
    int viewersMade = 0;
    ControlServices withHelp = services();
    withHelp.makeHelpViewer = [&] {
        ++viewersMade;
        return std::make_unique<RecordingHelpViewer>(calls);
    };
    control = std::make_unique<Ctr_Tessaran>(withHelp);
    control->setDroitsUtilisateur(std::make_shared<FixedUserRights>(2));
    control->setTheClient(std::make_shared<platform::Client>(platform::Client{"alice", "base.db"}));
    control->setTheDatabase(databaseWith(kPanelData));
    control->Init();

    control->Mnu_Sommaire->trigger();
    control->Mnu_Sommaire->trigger();
    EXPECT_EQ(viewersMade, 1);
    const std::string page = "show Morvelintaskade.htm P Etat de facturation par association";
    EXPECT_THAT(calls, ElementsAre("client alice", "database", page, "client alice", "database", page));
    EXPECT_THAT(ui.messages, IsEmpty());

    // The viewer outlives the control: the module keeps it.
    control.reset();
    EXPECT_TRUE(dataModule().helpViewer);
}

TEST_F(LifecycleTest, AnErrorInAHandlerIsReportedNotThrown) {
    Ctr_Tessaran& c = initialisedControl();  // no help viewer in this host
    c.Mnu_Sommaire->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_THAT(ui.messages[0].text, HasSubstr("Mnu_Sommaire_Click"));
    EXPECT_EQ(ui.messages[0].buttons, 16);

    std::vector<std::string> failed;
    c.handlerError = [&](const std::string& handler, std::exception_ptr error) {
        failed.push_back(handler);
        EXPECT_THROW(std::rethrow_exception(error), std::logic_error);
    };
    c.Mnu_Sommaire->trigger();
    EXPECT_THAT(failed, ElementsAre("Mnu_Sommaire_Click"));
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(LifecycleTest, TerminationReleasesRightsThenRecordsThenFilesThenTheDatabase) {
    auto log = std::make_shared<std::vector<std::string>>();
    {
        auto database = std::make_shared<LoggedDatabase>(log);
        database->associations = db::DynamicArray("A01\xFD" "GAMMA");
        control = std::make_unique<Ctr_Tessaran>(services());
        control->setDroitsUtilisateur(std::make_shared<LoggedUserRights>(2, log));
        control->setTheClient(std::make_shared<platform::Client>(platform::Client{"alice", "base.db"}));
        control->setTheDatabase(database);
    }
    control->Init();
    DataModule& module = dataModule();
    module.ASSOCIATION.record = module.ASSOCIATION.file->Read("001");
    module.FLUXCOMPTABLES.record = module.FLUXCOMPTABLES.file->Read("F1");
    module.FLUXCOMPTABLES2 = module.FLUXCOMPTABLES.file->Read("F2");
    ASSERT_THAT(*log, IsEmpty());

    control.reset();
    std::vector<std::string> expected = {"Droits", "DroitsFonction", "record ASSOCIATION/001",
                                         "record FLUXCOMPTABLES/F1", "record FLUXCOMPTABLES/F2",
                                         "record PERIODESPAIE/1"};
    for (std::string_view file : db::kApplicationFiles) expected.push_back("file " + std::string(file));
    expected.push_back("database");
    EXPECT_EQ(*log, expected);

    EXPECT_FALSE(module.request);
    EXPECT_FALSE(module.database);
    EXPECT_TRUE(module.client);  // the host's client is not the control's to release
}

}  // namespace
}  // namespace tessaran::control::testing
