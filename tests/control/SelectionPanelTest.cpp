// The selection panel: the twelve periods offered, the association list, and moving
// associations into and out of the selection with the buttons and double clicks.

#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>

#include "ControlFixture.h"
#include "control/ListBoxRoutines.h"

namespace tessaran::control::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SelectionPanelTest : public ControlFixture {};

TEST_F(SelectionPanelTest, PeriodsStepBackTwelveMonthsAcrossTheYear) {
    Ctr_Tessaran& january = initialisedControl(periodData("200201"));
    EXPECT_THAT(entriesOf(*january.Cbo_PeriodePaie),
                ElementsAre("JANVIER 2002", "DÉCEMBRE 2001", "NOVEMBRE 2001", "OCTOBRE 2001", "SEPTEMBRE 2001",
                            "AOÛT 2001", "JUILLET 2001", "JUIN 2001", "MAI 2001", "AVRIL 2001", "MARS 2001",
                            "FÉVRIER 2001"));
    EXPECT_EQ(january.Cbo_PeriodePaie->currentIndex(), 0);
    EXPECT_FALSE(january.Cbo_PeriodePaie->isEditable());

    TearDown();
    Ctr_Tessaran& december = initialisedControl(periodData("200212"));
    EXPECT_THAT(entriesOf(*december.Cbo_PeriodePaie),
                ElementsAre("DÉCEMBRE 2002", "NOVEMBRE 2002", "OCTOBRE 2002", "SEPTEMBRE 2002", "AOÛT 2002",
                            "JUILLET 2002", "JUIN 2002", "MAI 2002", "AVRIL 2002", "MARS 2002", "FÉVRIER 2002",
                            "JANVIER 2002"));
    EXPECT_EQ(december.Cbo_PeriodePaie->currentText().toStdString(), "DÉCEMBRE 2002");
    // The current-period record is left in its slot for the runs.
    ASSERT_TRUE(dataModule().PERIODESPAIE.record);
    EXPECT_EQ(dataModule().PERIODESPAIE.record->get(1), "200212");
}

TEST_F(SelectionPanelTest, AnUnreadableOrMissingCurrentPeriodFailsInit) {
    Ctr_Tessaran& notANumber = makeControl(periodData("2002AB"));
    EXPECT_THROW(notANumber.Init(), std::invalid_argument);
    EXPECT_EQ(notANumber.Cbo_PeriodePaie->count(), 0);

    TearDown();
    Ctr_Tessaran& missing = makeControl(R"({"FEDEASSOC": {"A01": {"1": "GAMMA"}}})");
    try {
        missing.Init();
        FAIL() << "Init read a period that does not exist";
    } catch (const db::DatabaseError& error) {
        EXPECT_EQ(error.code(), db::error_code::kNotFound);
    }
    EXPECT_EQ(missing.Cbo_PeriodePaie->count(), 0);
    EXPECT_EQ(missing.Lst_Possible->count(), 0);
}

TEST_F(SelectionPanelTest, AssociationsAreListedByNameAndEnablePrinting) {
    Ctr_Tessaran& c = makeControl();
    EXPECT_FALSE(c.Cmd_Imprimer->isEnabled());
    c.Init();
    EXPECT_THAT(entriesOf(*c.Lst_Possible), ElementsAre("A03 ALPHA", "A02 BETA", "A01 GAMMA"));
    EXPECT_TRUE(c.Cmd_Imprimer->isEnabled());
    EXPECT_THAT(entriesOf(*c.Lst_Select), IsEmpty());
    // The select went through the module's request, which keeps it.
    EXPECT_EQ(dataModule().request->get(1), "SSELECT FEDEASSOC PAR 1");
    EXPECT_EQ(dataModule().request->get(2), "FEDEASSOC");
    EXPECT_EQ(dataModule().request->get(3), "0 1");
}

TEST_F(SelectionPanelTest, WithoutAnyAssociationOnlyPrintingStaysDisabled) {
    Ctr_Tessaran& c = initialisedControl(periodData("200203"));
    EXPECT_EQ(c.Lst_Possible->count(), 0);
    EXPECT_FALSE(c.Cmd_Imprimer->isEnabled());
    EXPECT_TRUE(c.Cmd_Reedition->isEnabled());
    EXPECT_TRUE(c.isEnabled());
    c.Cmd_Tous->click();
    EXPECT_EQ(c.Lst_Select->count(), 0);
}

TEST_F(SelectionPanelTest, AllTwiceKeepsEachAssociationOnce) {
    Ctr_Tessaran& c = initialisedControl();
    c.Lst_Possible->item(1)->setSelected(true);
    c.Cmd_Select->click();
    c.Cmd_Tous->click();
    c.Cmd_Tous->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A02 BETA", "A03 ALPHA", "A01 GAMMA"));
    EXPECT_EQ(c.Lst_Possible->count(), 3);
}

TEST_F(SelectionPanelTest, MovingCopiesTheSelectedOnesAndClearsTheirSelection) {
    Ctr_Tessaran& c = initialisedControl();
    c.Cmd_Select->click();  // nothing selected: nothing moves
    EXPECT_EQ(c.Lst_Select->count(), 0);

    c.Lst_Possible->item(0)->setSelected(true);
    c.Lst_Possible->item(2)->setSelected(true);
    c.Cmd_Select->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA"));
    EXPECT_THAT(selectedRows(*c.Lst_Possible), IsEmpty());
    EXPECT_EQ(c.Lst_Possible->count(), 3);

    // Moving again what is already chosen adds only the new one, after the others.
    for (int row = 0; row < 3; ++row) c.Lst_Possible->item(row)->setSelected(true);
    c.Cmd_Select->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA", "A02 BETA"));
}

TEST_F(SelectionPanelTest, RemovingTakesOutExactlyTheSelectedOnes) {
    Ctr_Tessaran& c = initialisedControl();
    c.Cmd_Tous->click();
    c.Cmd_Supp->click();  // nothing selected: nothing goes
    EXPECT_EQ(c.Lst_Select->count(), 3);

    // Two neighbours: removing one must not skip the other.
    c.Lst_Select->item(0)->setSelected(true);
    c.Lst_Select->item(1)->setSelected(true);
    c.Cmd_Supp->click();
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A01 GAMMA"));
    EXPECT_EQ(c.Lst_Possible->count(), 3);
}

TEST_F(SelectionPanelTest, DoubleClicksMoveWhateverIsSelected) {
    Ctr_Tessaran& c = initialisedControl();
    c.show();
    QWidget* possible = c.Lst_Possible->viewport();
    const QPoint belowTheEntries(10, possible->height() - 4);

    c.Lst_Possible->item(0)->setSelected(true);
    c.Lst_Possible->item(2)->setSelected(true);
    QTest::mouseDClick(possible, Qt::LeftButton, {}, belowTheEntries);
    QTest::mouseRelease(possible, Qt::LeftButton, {}, belowTheEntries);
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA"));
    EXPECT_THAT(selectedRows(*c.Lst_Possible), IsEmpty());

    // On an entry: the click selects it, the double click copies it.
    const QPoint onBeta = c.Lst_Possible->visualItemRect(c.Lst_Possible->item(1)).center();
    QTest::mouseClick(possible, Qt::LeftButton, {}, onBeta);
    QTest::mouseDClick(possible, Qt::LeftButton, {}, onBeta);
    QTest::mouseRelease(possible, Qt::LeftButton, {}, onBeta);
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A03 ALPHA", "A01 GAMMA", "A02 BETA"));

    // In the selection, a double click removes every selected entry.
    QWidget* chosen = c.Lst_Select->viewport();
    c.Lst_Select->item(0)->setSelected(true);
    c.Lst_Select->item(2)->setSelected(true);
    QTest::mouseDClick(chosen, Qt::LeftButton, {}, QPoint(10, chosen->height() - 4));
    QTest::mouseRelease(chosen, Qt::LeftButton, {}, QPoint(10, chosen->height() - 4));
    EXPECT_THAT(entriesOf(*c.Lst_Select), ElementsAre("A01 GAMMA"));

    // A right-button double click is not the list's double click.
    c.Lst_Select->item(0)->setSelected(true);
    QTest::mouseDClick(chosen, Qt::RightButton, {}, QPoint(10, chosen->height() - 4));
    QTest::mouseRelease(chosen, Qt::RightButton, {}, QPoint(10, chosen->height() - 4));
    EXPECT_EQ(c.Lst_Select->count(), 1);
}

TEST(ListBoxRoutines, EntriesAreFoundOnlyByTheirWholeCaseSensitiveText) {
    QListWidget list;
    list.addItems({QStringLiteral("A01 GAMMA"), QStringLiteral("A02 BETA")});
    EXPECT_TRUE(Existe_Dans_Liste(QStringLiteral("A02 BETA"), list));
    EXPECT_FALSE(Existe_Dans_Liste(QStringLiteral("a02 beta"), list));
    EXPECT_FALSE(Existe_Dans_Liste(QStringLiteral("A02"), list));
    EXPECT_FALSE(Existe_Dans_Liste(QStringLiteral("A02 BETA "), list));
    EXPECT_FALSE(Existe_Dans_Liste(QStringLiteral("A01 GAMMA"), QListWidget()));

}

}  // namespace
}  // namespace tessaran::control::testing
