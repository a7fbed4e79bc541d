#include "billing/RunDocumentInfo.h"

#include <utility>

namespace tessaran::billing {

platform::DocumentInfo runDocumentInfo(RunKind kind, const std::string& periodTitle) {
    const std::string documents =
        "états de facturation, états récapitulatifs et factures des frais de gestion de la période de paie " +
        periodTitle;
    std::string subject;
    switch (kind) {
    case RunKind::Print: subject = "Les " + documents; break;
    case RunKind::Reprint: subject = "Réédition des " + documents; break;
    case RunKind::Preview: subject = "Aperçu, non valable, des " + documents; break;
    }
    return {.title = "États de facturation - " + periodTitle, .subject = std::move(subject), .creator = "Tessaran"};
}

}  // namespace tessaran::billing
