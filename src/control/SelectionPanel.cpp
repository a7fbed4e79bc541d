// The selection panel: the pay periods offered, the associations, and the buttons and double
// clicks that move associations into and out of the selection.

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <stdexcept>

#include "Ctr_Tessaran.h"
#include "billing/PanelChoices.h"
#include "ListBoxRoutines.h"
#include "platform/DateText.h"

namespace tessaran::control {
namespace {

billing::DataFiles& openFiles(billing::DataFiles* files) {
    if (files == nullptr) throw std::logic_error("the data files are not open: Init has not run");
    return *files;
}

}  // namespace

void Ctr_Tessaran::Remplir_CboPeriode() {
    // The current period first, then each month before it.
    for (const std::string& period : billing::offeredPeriods(openFiles(files_.get()))) {
        Cbo_PeriodePaie->addItem(QString::fromStdString(platform::periodInCapitals(*platform::parsePeriod(period))));
    }
    Cbo_PeriodePaie->setCurrentIndex(0);
}

void Ctr_Tessaran::Remplir_ListAsso() {
    const auto associations = billing::offeredAssociations(openFiles(files_.get()));
    if (associations.empty()) return;  // no association: "Imprimer" stays disabled
    for (const billing::AssociationChoice& association : associations) {
        Lst_Possible->addItem(QString::fromStdString(association.code + " " + association.name));
    }
    Cmd_Imprimer->setEnabled(true);
    Cmd_Apercu->setEnabled(true);
}

void Ctr_Tessaran::Cmd_Tous_Click() { Ajoute_Tous(*Lst_Possible, *Lst_Select); }

void Ctr_Tessaran::Cmd_Select_Click() { Ajoute_Selection(*Lst_Possible, *Lst_Select); }

void Ctr_Tessaran::Lst_Possible_DblClick() { Ajoute_Selection(*Lst_Possible, *Lst_Select); }

void Ctr_Tessaran::Cmd_Supp_Click() { Supprime_Selection(*Lst_Select); }

void Ctr_Tessaran::Lst_Select_DblClick() { Supprime_Selection(*Lst_Select); }

}  // namespace tessaran::control
