// Helpers shared by the print and the reprint runs: the chosen period, the flow select, the
// totals, the printer of the run, progress and the end of a run.

#include <QComboBox>
#include <QListWidget>

#include "ErrorTrap.h"
#include "RunValues.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "platform/DateText.h"
#include "platform/NumberText.h"
#include "platform/Utility.h"

namespace tessaran::control {
namespace {

std::string quoted(const std::string& value) { return "\"" + value + "\""; }

// Flows are reported every so many, and once more at the last.
constexpr int kProgressStep = 50;

}  // namespace

std::string Ctr_Tessaran::periodeChoisie() const {
    const auto period = platform::periodFromCapitals(Cbo_PeriodePaie->currentText().toStdString());
    return period.value_or(std::string());
}

std::string Ctr_Tessaran::requeteFlux(bool dejaFactures) const {
    const std::string period = periodeChoisie();
    // The association codes of the selection; with an empty selection the one code is "",
    // which selects nothing.
    std::string codes = quoted(Lst_Select->count() > 0 ? Lst_Select->item(0)->text().left(3).toStdString() : "");
    for (int i = 1; i < Lst_Select->count(); ++i) {
        codes += " OR = " + quoted(Lst_Select->item(i)->text().left(3).toStdString());
    }
    const std::string invoiced = dejaFactures ? " AND AVEC 20 # " : " AND AVEC 20 = ";
    const std::string fundedAndInvoiced = " AND AVEC 4 # " + quoted("") + invoiced + quoted("");
    const std::string beneficiaryOnly = dejaFactures ? " AND AVEC 37 = " : " AND AVEC 37 # ";

    std::string statement = "SSELECT FLUXCOMPTABLES AVEC 1 = " + quoted(period);
    statement += fundedAndInvoiced;
    statement += " AND AVEC CodeAssoc = " + codes;
    statement += " OR AVEC 1 = " + quoted("") + " AND AVEC 36 = " + quoted(period) + beneficiaryOnly + quoted("1");
    statement += fundedAndInvoiced;
    statement += " AND AVEC CodeAssoc = " + codes;
    statement += " PAR CodeAssoc PAR CodeSecteur PAR SigleOrg PAR PeriodeFact";
    return statement;
}

void Ctr_Tessaran::zeroTotals() {
    TotalCaisse = 0;
    TotalFrais = 0;
    TotalHeures = 0;
    TotalBenef = 0;
}

void Ctr_Tessaran::zeroDetail() {
    HeuresDetail = 0;
    CaisseDetail = 0;
    FraisDetail = 0;
    BenefDetail = 0;
}

void Ctr_Tessaran::startPrinter(int index) {
    const auto names = services_.printers->printerNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
        throw std::out_of_range("no printer at index " + std::to_string(index));
    }
    auto output = services_.printers->open(index);
    if (!output) throw std::runtime_error("the printer " + names[static_cast<std::size_t>(index)] + " did not open");
    Printer_ = std::make_unique<platform::Printer>(std::move(output), names[static_cast<std::size_t>(index)]);
}

void Ctr_Tessaran::newPage(billing::ErrorTrap& trap) {
    trap.run([&] { Printer_->newPage(); });
}

void Ctr_Tessaran::reportProgress() {
    ++flowsHandled_;
    if (flowsHandled_ % kProgressStep == 0 || flowsHandled_ == flowsToHandle_) {
        services_.ui->progress(flowsHandled_, flowsToHandle_);
    }
}

bool Ctr_Tessaran::prepareRun(billing::ErrorTrap& trap) {
    Cumul = std::make_shared<db::DynamicArray>();
    Detail = std::make_shared<db::DynamicArray>();
    TwipsParCm = platform::kTwipsPerCm;
    MultiSecteur = false;

    // A printer choice that fails counts as cancelled.
    std::string choice = "-1";
    trap.run([&] { choice = utility().ChoixImprimante(""); });
    services_.ui->yield();
    const double printerIndex = platform::leadingNumber(choice);
    if (printerIndex == -1) return false;
    if (!trap.run([&] { startPrinter(static_cast<int>(printerIndex)); })) {
        services_.ui->messageBox("L'imprimante choisie n'a pas pu être ouverte : rien n'a été imprimé.",
                                 platform::kButtonsExclamation, billing::kMessageTitle);
        return false;
    }
    return true;
}

void Ctr_Tessaran::endRun(billing::ErrorTrap& trap) {
    services_.ui->yield();
    services_.ui->setMousePointer(platform::kPointerDefault);
    setEnabled(true);
    trap.run([&] { Printer_->endDoc(); });
    Printer_.reset();
    services_.ui->progress(0, 0);
}

void Ctr_Tessaran::finishRun() {
    W_Sortir = true;
    services_.ui->unloadHostWindow();
}

platform::Utility& Ctr_Tessaran::utility() {
    auto& module = dataModule();
    if (!module.utility) module.utility = std::make_unique<platform::Utility>(*services_.printers);
    return *module.utility;
}

}  // namespace tessaran::control
