// The form as the user sees it: frame-relative places, whole captions, controls apart, and the
// tab order.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>

#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>

#include "support/ControlWorld.h"

namespace tessaran::control::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

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

// What the user would see wrong on the form as it is placed now: a control over another (a
// control inside the frame is over the frame only), a control past the edge of its container
// or over the frame's title, a caption cut by its control.
std::vector<std::string> formFaults(const Ctr_Tessaran& c) {
    std::vector<std::string> faults;
    const auto name = [](const QWidget* w) {
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text().toStdString();
        if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text().toStdString();
        return w->metaObject()->className() + std::string(" ") + w->objectName().toStdString();
    };
    const QFontMetrics metrics(c.font());

    QStyleOptionGroupBox frame;
    frame.initFrom(c.Cdr_Assoc);
    frame.text = c.Cdr_Assoc->title();
    frame.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    frame.textAlignment = c.Cdr_Assoc->alignment();
    const QRect title = c.style()->subControlRect(QStyle::CC_GroupBox, &frame, QStyle::SC_GroupBoxLabel, c.Cdr_Assoc);
    if (title.width() < metrics.horizontalAdvance(frame.text) || title.right() > c.Cdr_Assoc->width())
        faults.push_back("the frame's title is cut");

    for (const QWidget* container : {static_cast<const QWidget*>(&c), static_cast<const QWidget*>(c.Cdr_Assoc)}) {
        std::vector<std::pair<std::string, QRect>> places;
        if (container == c.Cdr_Assoc) places.emplace_back("the frame's title", title);
        for (const QWidget* control : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isHidden() || control->isWindow()) continue;
            if (!container->rect().contains(control->geometry()))
                faults.push_back(name(control) + " goes past the edge of its container");
            places.emplace_back(name(control), control->geometry());
        }
        for (std::size_t i = 0; i < places.size(); ++i)
            for (std::size_t j = i + 1; j < places.size(); ++j)
                if (places[i].second.intersects(places[j].second))
                    faults.push_back(places[i].first + " overlaps " + places[j].first);
    }

    for (const QPushButton* button : c.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = c.style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        if (room.width() < metrics.horizontalAdvance(option.text) || room.height() < metrics.height())
            faults.push_back("the caption of " + name(button) + " is cut");
    }
    for (const QLabel* label : c.findChildren<QLabel*>())
        if (label->width() < label->sizeHint().width() || label->height() < metrics.height())
            faults.push_back("the caption " + name(label) + " is cut");

    QStyleOptionComboBox combo;
    combo.initFrom(c.Cbo_PeriodePaie);
    const QRect field = c.style()->subControlRect(QStyle::CC_ComboBox, &combo, QStyle::SC_ComboBoxEditField,
                                                  c.Cbo_PeriodePaie);
    QStringList periods{QStringLiteral("SEPTEMBRE 2026")};  // the longest month
    for (int i = 0; i < c.Cbo_PeriodePaie->count(); ++i) periods.push_back(c.Cbo_PeriodePaie->itemText(i));
    for (const QString& period : periods)
        if (field.width() < metrics.horizontalAdvance(period)) faults.push_back("the period " + period.toStdString() + " is cut");
    return faults;
}

// The form shows every control whole and apart at the desktop's font, and grows with a larger
// one; the same holds on a finer screen (ctest's control_144dpi runs these tests at 144 dpi).
TEST(Form, AtEveryDesktopFontNoControlHidesAnotherAndEveryCaptionShowsWhole) {
    tessaran::testing::ControlWorld world(tessaran::testing::panelDatabase());
    Ctr_Tessaran& c = world.control();
    const QSize designed = c.size();
    EXPECT_THAT(formFaults(c), IsEmpty()) << "at the desktop's font, " << c.font().pointSizeF() << " pt, "
                                          << c.logicalDpiX() << " dpi";
    for (const double points : {10.0, 11.0, 12.0, 14.0}) {
        SCOPED_TRACE(points);
        QFont font = c.font();
        font.setPointSizeF(points);
        c.setFont(font);
        EXPECT_GT(c.width(), designed.width());
        EXPECT_THAT(formFaults(c), IsEmpty());
    }
}

}  // namespace
}  // namespace tessaran::control::testing
