// The selection panel: the pay periods offered, the associations, and the buttons and double
// clicks that move associations into and out of the selection.

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <stdexcept>

#include "Ctr_Tessaran.h"
#include "DataModule.h"
#include "ListBoxRoutines.h"
#include "platform/DateText.h"

namespace tessaran::control {
namespace {

constexpr int kPeriodsOffered = 12;

platform::YearMonth monthBefore(platform::YearMonth period) {
    // January steps back to December of the year before.
    if (--period.month == 0) {
        period.month = 12;
        --period.year;
    }
    return period;
}

void requireOpenFiles(const DataModule& module) {
    if (!module.request || !module.PERIODESPAIE.file) {
        throw std::logic_error("the data files are not open: Init has not run");
    }
}

}  // namespace

void Ctr_Tessaran::Remplir_CboPeriode() {
    DataModule& module = dataModule();
    requireOpenFiles(module);
    FileSlot& periodes = module.PERIODESPAIE;
    periodes.record = periodes.file->Read("1");
    const std::string current = periodes.record->get(1);
    std::optional<platform::YearMonth> period = platform::parsePeriod(current);
    if (!period) {
        throw std::invalid_argument("the current pay period \"" + current +
                                    "\" (PERIODESPAIE 1, attribute 1) is not a period yyyymm");
    }
    // The current period first, then each month before it.
    for (int i = 0; i < kPeriodsOffered; ++i) {
        Cbo_PeriodePaie->addItem(QString::fromStdString(platform::periodInCapitals(*period)));
        period = monthBefore(*period);
    }
    Cbo_PeriodePaie->setCurrentIndex(0);
}

void Ctr_Tessaran::Remplir_ListAsso() {
    DataModule& module = dataModule();
    requireOpenFiles(module);
    db::SelectRequest& request = *module.request;
    request.clear();
    request.set(1, "SSELECT FEDEASSOC PAR 1");
    request.set(2, "FEDEASSOC");
    request.set(3, "0 1");
    ListeAsso = std::make_shared<db::DynamicArray>(module.database->Select(request.str()));
    if (ListeAsso->str().empty()) return;  // no association: "Imprimer" stays disabled

    for (int i = 1; i <= ListeAsso->DCount(); ++i) {
        Lst_Possible->addItem(QString::fromStdString(ListeAsso->get(i, 1) + " " + ListeAsso->get(i, 2)));
    }
    Cmd_Imprimer->setEnabled(true);
}

void Ctr_Tessaran::Cmd_Tous_Click() { Ajoute_Tous(*Lst_Possible, *Lst_Select); }

void Ctr_Tessaran::Cmd_Select_Click() { Ajoute_Selection(*Lst_Possible, *Lst_Select); }

void Ctr_Tessaran::Lst_Possible_DblClick() { Ajoute_Selection(*Lst_Possible, *Lst_Select); }

void Ctr_Tessaran::Cmd_Supp_Click() { Supprime_Selection(*Lst_Select); }

void Ctr_Tessaran::Lst_Select_DblClick() { Supprime_Selection(*Lst_Select); }

}  // namespace tessaran::control
