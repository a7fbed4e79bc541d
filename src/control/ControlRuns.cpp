// The run handlers: "Imprimer", "Réedition" and "Aperçu". Each builds the run's request from
// the panel, hands it to the billing engine with this control as the view the engine disables
// and enables, and ends as the application's handlers do: a print or a reprint sets W_Sortir
// and unloads the containing window, whatever its outcome; a preview leaves the window open
// so that the user can print next.

#include <QComboBox>
#include <QListWidget>

#include "Ctr_Tessaran.h"
#include "billing/BillingEngine.h"
#include "platform/DateText.h"

namespace tessaran::control {

void Ctr_Tessaran::Cmd_Imprimer_Click() {
    runEngine(billing::RunKind::Print);
    finishRun();
}

void Ctr_Tessaran::Cmd_Reedition_Click() {
    Reedition();
    finishRun();
}

void Ctr_Tessaran::Reedition() { runEngine(billing::RunKind::Reprint); }

void Ctr_Tessaran::Cmd_Apercu_Click() { runEngine(billing::RunKind::Preview); }

billing::RunRequest Ctr_Tessaran::requestFromPanel(billing::RunKind kind) const {
    billing::RunRequest request;
    request.kind = kind;
    request.period = platform::periodFromCapitals(Cbo_PeriodePaie->currentText().toStdString()).value_or("");
    for (int i = 0; i < Lst_Select->count(); ++i) {
        request.associations.push_back(Lst_Select->item(i)->text().left(3).toStdString());
    }
    return request;
}

void Ctr_Tessaran::runEngine(billing::RunKind kind) {
    if (!files_) throw db::DatabaseError(db::error_code::kNoDatabase, "the control has no open database");
    platform::PrinterChoice* printers =
        kind == billing::RunKind::Preview ? services_.previewPrinters : services_.printers;
    if (services_.ui == nullptr || printers == nullptr || services_.clock == nullptr) {
        throw std::logic_error("the control was created without its run services");
    }
    const billing::RunServices services{*services_.ui, *printers, *services_.clock,
                                        [this](bool enabled) { setEnabled(enabled); }};
    lastOutcome_ = billing::runBilling(*files_, services, requestFromPanel(kind));
    // A failure the run did not tell the user about goes to the handler's error report.
    if (lastOutcome_->failure) std::rethrow_exception(lastOutcome_->failure);
}

void Ctr_Tessaran::finishRun() {
    W_Sortir = true;
    services_.ui->unloadHostWindow();
}

}  // namespace tessaran::control
