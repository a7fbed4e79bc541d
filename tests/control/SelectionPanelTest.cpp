// The selection panel: the twelve periods offered, the association list, and moving
// associations into and out of the selection with the buttons and double clicks.

#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>

#include "support/ControlWorld.h"

namespace tessaran::control::testing {
namespace {

using ::testing::ElementsAre;
using tessaran::testing::ControlWorld;
using tessaran::testing::databaseFrom;
using tessaran::testing::entriesOf;
using tessaran::testing::panelDatabase;

std::shared_ptr<db::MultivalueDatabase> periodOnly(const std::string& period) {
    return databaseFrom(R"({"PERIODESPAIE": {"1": {"1": ")" + period + R"("}}})");
}

std::vector<std::string> periodsOffered(const Ctr_Tessaran& c) {
    std::vector<std::string> texts;
    for (int i = 0; i < c.Cbo_PeriodePaie->count(); ++i) texts.push_back(c.Cbo_PeriodePaie->itemText(i).toStdString());
    return texts;
}

TEST(SelectionPanel, PeriodsStepBackTwelveMonthsAcrossTheYear) {
    {
        ControlWorld january(periodOnly("200201"));
        EXPECT_THAT(periodsOffered(january.control()),
                    ElementsAre("JANVIER 2002", "DÉCEMBRE 2001", "NOVEMBRE 2001", "OCTOBRE 2001", "SEPTEMBRE 2001",
                                "AOÛT 2001", "JUILLET 2001", "JUIN 2001", "MAI 2001", "AVRIL 2001", "MARS 2001",
                                "FÉVRIER 2001"));
        EXPECT_EQ(january.control().Cbo_PeriodePaie->currentIndex(), 0);
        EXPECT_FALSE(january.control().Cbo_PeriodePaie->isEditable());
    }
    ControlWorld december(periodOnly("200212"));
    EXPECT_EQ(periodsOffered(december.control()).back(), "JANVIER 2002");
    EXPECT_EQ(december.control().Cbo_PeriodePaie->currentText().toStdString(), "DÉCEMBRE 2002");
}

TEST(SelectionPanel, AnUnreadableOrMissingCurrentPeriodFailsInit) {
    {
        ControlWorld notANumber(periodOnly("2002AB"), {.init = false});
        EXPECT_THROW(notANumber.control().Init(), std::invalid_argument);
        EXPECT_EQ(notANumber.control().Cbo_PeriodePaie->count(), 0);
    }
    ControlWorld missing(databaseFrom(R"({"FEDEASSOC": {"A01": {"1": "GAMMA"}}})"), {.init = false});
    EXPECT_THAT([&] { missing.control().Init(); }, ::testing::Throws<db::DatabaseError>(::testing::Property(
                                                       &db::DatabaseError::code, db::error_code::kNotFound)));
    EXPECT_EQ(missing.control().Cbo_PeriodePaie->count(), 0);
    EXPECT_EQ(missing.control().Lst_Possible->count(), 0);
}

TEST(SelectionPanel, AssociationsAreListedByNameAndEnablePrinting) {
    ControlWorld world(panelDatabase(), {.init = false});
    Ctr_Tessaran& c = world.control();
    EXPECT_FALSE(c.Cmd_Imprimer->isEnabled());
    c.Init();
    EXPECT_THAT(entriesOf(*c.Lst_Possible), ElementsAre("A03 ALPHA", "A02 BETA", "A01 GAMMA"));
    EXPECT_TRUE(c.Cmd_Imprimer->isEnabled());
    EXPECT_TRUE(c.Cmd_Apercu->isEnabled());

    // Without any association only printing stays disabled.
    ControlWorld empty(periodOnly("200203"));
    EXPECT_FALSE(empty.control().Cmd_Imprimer->isEnabled());
    EXPECT_FALSE(empty.control().Cmd_Apercu->isEnabled());
    EXPECT_TRUE(empty.control().Cmd_Reedition->isEnabled());
    empty.control().Cmd_Tous->click();
    EXPECT_EQ(empty.control().Lst_Select->count(), 0);
}

TEST(SelectionPanel, MovingCopiesEachSelectedOneOnceAndClearsTheSelection) {
    ControlWorld world(panelDatabase());
    Ctr_Tessaran& c = world.control();
    c.Cmd_Select->click();  // nothing selected: nothing moves
    EXPECT_EQ(c.Lst_Select->count(), 0);

    c.Lst_Possible->item(0)->setSelected(true);
    c.Lst_Possible->item(2)->setSelected(true);
    c.Cmd_Select->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA"));
    EXPECT_TRUE(c.Lst_Possible->selectedItems().isEmpty());
    EXPECT_EQ(c.Lst_Possible->count(), 3);

    // Moving again what is already chosen adds only the new one, after the others.
    for (int row = 0; row < 3; ++row) c.Lst_Possible->item(row)->setSelected(true);
    c.Cmd_Select->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA", "A02 BETA"));

    c.Cmd_Supp->click();  // nothing selected: nothing goes
    EXPECT_EQ(c.Lst_Select->count(), 3);
    // Two neighbours: removing one must not skip the other.
    c.Lst_Select->item(0)->setSelected(true);
    c.Lst_Select->item(1)->setSelected(true);
    c.Cmd_Supp->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A02 BETA"));
    EXPECT_EQ(c.Lst_Possible->count(), 3);
    // "Tous", even twice, adds each missing one once.
    c.Cmd_Tous->click();
    c.Cmd_Tous->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A02 BETA", "A03 ALPHA", "A01 GAMMA"));
}

TEST(SelectionPanel, DoubleClicksMoveWhateverIsSelected) {
    ControlWorld world(panelDatabase());
    Ctr_Tessaran& c = world.control();
    c.show();
    const auto doubleClick = [](QWidget* target, Qt::MouseButton button, QPoint at) {
        QTest::mouseDClick(target, button, {}, at);
        QTest::mouseRelease(target, button, {}, at);
    };
    QWidget* possible = c.Lst_Possible->viewport();
    c.Lst_Possible->item(0)->setSelected(true);
    c.Lst_Possible->item(2)->setSelected(true);
    doubleClick(possible, Qt::LeftButton, QPoint(10, possible->height() - 4));  // below the entries
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA"));
    EXPECT_TRUE(c.Lst_Possible->selectedItems().isEmpty());

    // On an entry: the click selects it, the double click copies it.
    const QPoint onBeta = c.Lst_Possible->visualItemRect(c.Lst_Possible->item(1)).center();
    QTest::mouseClick(possible, Qt::LeftButton, {}, onBeta);
    doubleClick(possible, Qt::LeftButton, onBeta);
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA", "A02 BETA"));

    // In the selection, a double click removes every selected entry; not a right-button one.
    QWidget* chosen = c.Lst_Select->viewport();
    const QPoint below(10, chosen->height() - 4);
    c.Lst_Select->item(0)->setSelected(true);
    c.Lst_Select->item(2)->setSelected(true);
    doubleClick(chosen, Qt::LeftButton, below);
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A01 GAMMA"));
    c.Lst_Select->item(0)->setSelected(true);
    doubleClick(chosen, Qt::RightButton, below);
    EXPECT_EQ(c.Lst_Select->count(), 1);
}

}  // namespace
}  // namespace tessaran::control::testing
