// The form as the user sees it: frame-relative places, whole captions and the tab order.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gmock/gmock.h>

#include "support/ControlWorld.h"

namespace tessaran::control::testing {
namespace {

using ::testing::ElementsAre;

TEST(Form, ControlsSitWhereTheFormPutsThem) {
    tessaran::testing::ControlWorld world(nullptr, {.init = false});
    Ctr_Tessaran& c = world.control();
    if (c.logicalDpiX() != 96 || c.logicalDpiY() != 96) GTEST_SKIP() << "the screen is not at 96 dpi";

    EXPECT_EQ(c.size(), QSize(583, 278));
    // Inside the frame, places count from the frame's corner.
    EXPECT_EQ(c.Cmd_Tous->parentWidget(), c.Cdr_Assoc);
    EXPECT_EQ(c.Cmd_Tous->geometry(), QRect(256, 40, 49, 25));
    // Auto-sized labels keep their corner and show their whole caption.
    EXPECT_EQ(c.Etq_Select->pos(), QPoint(408, 16));
    for (const QLabel* label : {c.Etq_PeriodePaie, c.Etq_Possible, c.Etq_Select})
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();

    // Tab goes through the controls in form order; the list boxes take the focus through
    // their own widget, not their viewport.
    std::vector<QWidget*> order;
    QWidget* next = c.Cbo_PeriodePaie;
    do {
        if ((next->focusPolicy() & Qt::TabFocus) && next != &c) order.push_back(next);
        next = next->nextInFocusChain();
    } while (next != c.Cbo_PeriodePaie && order.size() < 50);
    EXPECT_THAT(order, ElementsAre(c.Cbo_PeriodePaie, c.Cmd_Tous, c.Lst_Possible, c.Cmd_Select, c.Cmd_Supp,
                                   c.Lst_Select, c.Cmd_Apercu, c.Cmd_Imprimer, c.Cmd_Sortir, c.Cmd_Reedition));
}

TEST(Form, ALargerDesktopFontGrowsTheFormSoThatEveryCaptionShowsWhole) {
    tessaran::testing::ControlWorld world(nullptr, {.init = false});
    Ctr_Tessaran& c = world.control();
    const QSize designed = c.size();
    for (const double points : {10.0, 11.0, 14.0}) {
        SCOPED_TRACE(points);
        QFont font = c.font();
        font.setPointSizeF(points);
        c.setFont(font);
        const QFontMetrics metrics(font);
        EXPECT_GT(c.width(), designed.width());
        for (const QPushButton* button : {c.Cmd_Imprimer, c.Cmd_Apercu, c.Cmd_Reedition, c.Cmd_Sortir, c.Cmd_Tous})
            EXPECT_GE(button->width(), metrics.horizontalAdvance(button->text())) << button->text().toStdString();
        EXPECT_LE(c.Etq_PeriodePaie->x() + metrics.horizontalAdvance(c.Etq_PeriodePaie->text()), c.Cbo_PeriodePaie->x());
        EXPECT_GE(c.Cmd_Imprimer->height(), metrics.height());
    }
}

}  // namespace
}  // namespace tessaran::control::testing
