// The control's form: its controls with their captions, the fixed layout, the tab order,
// and the wiring of buttons, double clicks and the help menu to the handlers.

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>
#include <utility>

#include "Ctr_Tessaran.h"
#include "FormLayout.h"

namespace tessaran::control {
namespace {

QListWidget* makeListBox(QWidget* container) {
    auto* list = new QListWidget(container);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    return list;
}

// The width the button's style takes around its caption (both sides).
int pushButtonFrame(const QPushButton& button) {
    constexpr int kProbeWidth = 200;
    QStyleOptionButton option;
    option.initFrom(&button);
    option.rect = QRect(0, 0, kProbeWidth, kProbeWidth);
    return kProbeWidth - button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

}  // namespace

void Ctr_Tessaran::buildForm() {
    Cbo_PeriodePaie = new QComboBox(this);
    Cbo_PeriodePaie->setEditable(false);  // a drop-down list: the user picks, never types
    Etq_PeriodePaie = new QLabel(QStringLiteral("Période de paie"), this);
    Cdr_Assoc = new QGroupBox(QStringLiteral("Associations"), this);
    Cmd_Tous = new QPushButton(QStringLiteral("Tous"), Cdr_Assoc);
    Lst_Possible = makeListBox(Cdr_Assoc);
    Cmd_Select = new QPushButton(QStringLiteral("------>"), Cdr_Assoc);
    Cmd_Supp = new QPushButton(QStringLiteral("<------"), Cdr_Assoc);
    Lst_Select = makeListBox(Cdr_Assoc);
    Etq_Possible = new QLabel(QStringLiteral("Possibles"), Cdr_Assoc);
    Etq_Select = new QLabel(QStringLiteral("Sélectionnées"), Cdr_Assoc);
    Cmd_Imprimer = new QPushButton(QStringLiteral("Imprimer"), this);
    Cmd_Imprimer->setEnabled(false);  // enabled once the association list has entries
    Cmd_Sortir = new QPushButton(QStringLiteral("Sortir"), this);
    Cmd_Reedition = new QPushButton(QStringLiteral("Réedition"), this);
    Cmd_Apercu = new QPushButton(QStringLiteral("Aperçu"), this);
    Cmd_Apercu->setEnabled(false);  // like "Imprimer"
    Cmd_Apercu->setVisible(services_.previewPrinters != nullptr);
    Mnu_Aide = new QMenu(QStringLiteral("Aide"), this);
    Mnu_Sommaire = Mnu_Aide->addAction(QStringLiteral("Aide_VELORANDE"));

    placeControls();
    applyTabOrder();
    connectHandlers();
}

// The form was designed for a small desktop font. With a larger one every caption must still
// show whole: the whole form grows by the largest ratio between what a caption needs and the
// room the form gives it, never shrinks.
double Ctr_Tessaran::fontScale() const {
    const QFontMetrics metrics(font());
    const auto pixels = [&](int twips) { return std::max(1, twipsToPixels(twips, logicalDpiX())); };
    const auto textNeed = [&](const QString& text, int extra) { return metrics.horizontalAdvance(text) + extra; };
    // A push button needs its caption and the frame its style draws around it; the combo box
    // its longest month and arrow.
    const int buttonFrame = pushButtonFrame(*Cmd_Imprimer);
    constexpr int kComboArrow = 30;
    constexpr int kLineExtra = 10;
    double scale = 1.0;
    const auto need = [&](double needed, int room) { scale = std::max(scale, needed / room); };
    for (const auto& [button, twips] : {std::pair{Cmd_Imprimer, form::Cmd_Imprimer}, {Cmd_Sortir, form::Cmd_Sortir},
                                        {Cmd_Reedition, form::Cmd_Reedition}, {Cmd_Apercu, form::Cmd_Apercu},
                                        {Cmd_Tous, form::Cmd_Tous}, {Cmd_Select, form::Cmd_Select},
                                        {Cmd_Supp, form::Cmd_Supp}}) {
        need(textNeed(button->text(), buttonFrame), pixels(twips.width));
        need(metrics.height() + kLineExtra, pixels(twips.height));
    }
    need(textNeed(QStringLiteral("SEPTEMBRE 0000"), kComboArrow), pixels(form::Cbo_PeriodePaie.width));
    // The period label must end before the combo box.
    need(textNeed(Etq_PeriodePaie->text(), 0), pixels(form::Cbo_PeriodePaie.left - form::Etq_PeriodePaie.left));
    return scale;
}

void Ctr_Tessaran::placeControls() {
    const double scale = fontScale();
    // Rounded up, so that the growth the captions need is never lost to rounding.
    const int dpiX = static_cast<int>(std::ceil(logicalDpiX() * scale));
    const int dpiY = static_cast<int>(std::ceil(logicalDpiY() * scale));
    const auto place = [dpiX, dpiY](QWidget* control, const TwipsRect& twips) {
        control->setGeometry(toPixels(twips, dpiX, dpiY));
    };
    // Auto-sized labels keep their place and grow to fit their caption in the screen's font.
    const auto placeLabel = [&place](QLabel* label, const TwipsRect& twips) {
        place(label, twips);
        label->resize(label->size().expandedTo(label->sizeHint()));
    };

    const QRect surface = toPixels(form::Surface, dpiX, dpiY);
    setMinimumSize(surface.size());
    resize(surface.size());

    place(Cbo_PeriodePaie, form::Cbo_PeriodePaie);
    placeLabel(Etq_PeriodePaie, form::Etq_PeriodePaie);
    place(Cdr_Assoc, form::Cdr_Assoc);
    place(Cmd_Tous, form::Cmd_Tous);
    place(Lst_Possible, form::Lst_Possible);
    place(Cmd_Select, form::Cmd_Select);
    place(Cmd_Supp, form::Cmd_Supp);
    place(Lst_Select, form::Lst_Select);
    placeLabel(Etq_Possible, form::Etq_Possible);
    placeLabel(Etq_Select, form::Etq_Select);
    place(Cmd_Imprimer, form::Cmd_Imprimer);
    place(Cmd_Sortir, form::Cmd_Sortir);
    place(Cmd_Reedition, form::Cmd_Reedition);
    place(Cmd_Apercu, form::Cmd_Apercu);
}

void Ctr_Tessaran::changeEvent(QEvent* event) {
    // A new desktop font: the form grows or shrinks back to show every caption whole.
    if (event->type() == QEvent::FontChange && Cmd_Apercu != nullptr) placeControls();
    QWidget::changeEvent(event);
}

void Ctr_Tessaran::applyTabOrder() {
    // The labels and the frame sit in the sequence too but never take the focus.
    QWidget* const sequence[] = {Cbo_PeriodePaie, Etq_PeriodePaie, Cdr_Assoc,    Cmd_Tous,
                                 Lst_Possible,    Cmd_Select,      Cmd_Supp,     Lst_Select,
                                 Etq_Possible,    Etq_Select,      Cmd_Apercu,   Cmd_Imprimer,
                                 Cmd_Sortir,      Cmd_Reedition};
    QWidget* previous = nullptr;
    for (QWidget* control : sequence) {
        if (previous != nullptr) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void Ctr_Tessaran::connectHandlers() {
    const auto onClick = [this](QPushButton* button, const char* name, void (Ctr_Tessaran::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, name, handler] { dispatch(name, handler); });
    };
    onClick(Cmd_Imprimer, "Cmd_Imprimer_Click", &Ctr_Tessaran::Cmd_Imprimer_Click);
    onClick(Cmd_Reedition, "Cmd_Reedition_Click", &Ctr_Tessaran::Cmd_Reedition_Click);
    onClick(Cmd_Apercu, "Cmd_Apercu_Click", &Ctr_Tessaran::Cmd_Apercu_Click);
    onClick(Cmd_Sortir, "Cmd_Sortir_Click", &Ctr_Tessaran::Cmd_Sortir_Click);
    onClick(Cmd_Tous, "Cmd_Tous_Click", &Ctr_Tessaran::Cmd_Tous_Click);
    onClick(Cmd_Select, "Cmd_Select_Click", &Ctr_Tessaran::Cmd_Select_Click);
    onClick(Cmd_Supp, "Cmd_Supp_Click", &Ctr_Tessaran::Cmd_Supp_Click);
    connect(Mnu_Sommaire, &QAction::triggered, this,
            [this] { dispatch("Mnu_Sommaire_Click", &Ctr_Tessaran::Mnu_Sommaire_Click); });

    // A double click anywhere in a list box, on an entry or not, goes to the list's handler;
    // a right press on the frame's own surface opens the help menu.
    Lst_Possible->viewport()->installEventFilter(this);
    Lst_Select->viewport()->installEventFilter(this);
    Cdr_Assoc->installEventFilter(this);
}

}  // namespace tessaran::control
