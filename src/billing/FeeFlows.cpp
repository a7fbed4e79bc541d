// Remplir_FluxComptables: what a print run leaves in the database. Each billed flow is
// completed with its invoice number, line label, management fee and the association's
// accounting parameters; each complementary item of the fee scale printed on a statement
// becomes a complementary flow of its own, under the first free sequence number of its
// association, sector and period. Nothing is written in a reprint, nor during the later
// copies of a print run, which print the documents the first copy recorded.

#include <QComboBox>

#include "ErrorTrap.h"
#include "RunValues.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "platform/DateText.h"

namespace tessaran::control {
namespace {

// The free-key search gives up after this many sequence numbers: a database that fails every
// read would otherwise keep it running without end.
constexpr int kSequenceBound = 10000;

std::string sequenceText(int sequence) {
    std::string text = std::to_string(sequence);
    return text.size() < 2 ? "0" + text : text;
}

// The association's accounting parameters; a slot that never held any gives empty ones.
const db::DynamicArray& parameters(const std::shared_ptr<db::Record>& slot) {
    static const db::DynamicArray none;
    return slot ? static_cast<const db::DynamicArray&>(*slot) : none;
}

}  // namespace

void Ctr_Tessaran::Remplir_FluxComptables(double W_Var, bool W_Creation, std::int16_t k) {
    if (!ModeImpression || !PremiereCopie) return;
    if (W_Creation) {
        createComplementaryFlow(k);
    } else {
        completeFlow(W_Var);
    }
}

void Ctr_Tessaran::storeRunRecord(db::Record& record) {
    try {
        record.DBWrite();
    } catch (...) {
        runWriteFailed_ = true;
        throw;
    }
}

void Ctr_Tessaran::completeFlow(double fee) {
    auto& module = dataModule();
    const std::shared_ptr<db::Record> flowRecord = module.FLUXCOMPTABLES.record;
    db::Record& flow = billing::held(flowRecord, "FLUXCOMPTABLES");
    const bool noFeeRecorded = billing::held(module.ORGPRISECHARGE.record, "ORGPRISECHARGE").get(18) == "C";
    const db::DynamicArray& param = parameters(module.FLUXPARAM.record);

    flow.set(20, NumFacture);
    flow.set(21, LibelleDetail);
    flow.set(22, noFeeRecorded ? "0" : billing::storedNumber(billing::wholePart(fee * 100 + 0.5)));
    flow.set(23, param.get(14));
    flow.set(24, param.get(15));
    flow.set(25, param.get(8));
    flow.set(26, param.get(6));
    flow.set(33, noFeeRecorded ? "0" : billing::storedNumber(HeuresFlux));
    flow.set(34, noFeeRecorded ? "0" : billing::storedNumber(MontantFlux));
    flow.set(35, noFeeRecorded ? "0" : billing::storedNumber(TauxBareme));
    // A flow billed to the beneficiary only is marked, since it has no period of its own.
    if (flow.get(1).empty() && !flow.get(36).empty()) flow.set(37, "1");
    storeRunRecord(flow);
}

void Ctr_Tessaran::createComplementaryFlow(std::int16_t item) {
    auto& module = dataModule();
    billing::ErrorTrap trap;
    const std::string period = periodeChoisie();
    const std::string keyStart = "00000" + CodeAssoCourante + SecteurCourant + period;

    // The first sequence number whose key is free.
    std::string key;
    for (int sequence = 1; sequence <= kSequenceBound && key.empty(); ++sequence) {
        const std::string candidate = keyStart + sequenceText(sequence);
        trap.clear();
        const bool read =
            trap.run([&] { module.FLUXCOMPTABLES2 = module.FLUXCOMPTABLES.file->Read(candidate); });
        if (!read && trap.code() == db::error_code::kNotFound) key = candidate;
    }
    if (key.empty()) {
        runWriteFailed_ = true;
        trap.run([&] {
            services_.ui->messageBox(
                "Aucun numéro libre n'a été trouvé pour enregistrer le flux complémentaire « " +
                    billing::held(module.BAREMEFEDEASSO.record, "BAREMEFEDEASSO").get(3, item) +
                    " » de l'association " + billing::associationTitle(CodeAssoCourante, module.FEDEASSOC.record) +
                    ", secteur " + SecteurCourant + ", période " + Cbo_PeriodePaie->currentText().toStdString() +
                    " (" + std::to_string(kSequenceBound) + " numéros essayés) : le flux n'est pas créé.",
                platform::kButtonsExclamation, billing::kMessageTitle);
        });
        return;
    }

    if (!trap.run([&] { module.FLUXCOMPTABLES2 = module.FLUXCOMPTABLES.file->NewRecord(key); })) {
        runWriteFailed_ = true;
        return;
    }
    const std::shared_ptr<db::Record> created = module.FLUXCOMPTABLES2;
    db::Record& flow = *created;
    const std::shared_ptr<db::Record> scaleRecord = module.BAREMEFEDEASSO.record;
    const auto scale = [&]() -> const db::Record& { return billing::held(scaleRecord, "BAREMEFEDEASSO"); };
    const db::DynamicArray& param = parameters(module.FLUXPARAM.record);
    const int i = item;

    // Each item carries two pairs of values; its side letter says which attribute of the
    // pair takes the item's value, the other takes the association's parameter.
    trap.run([&] { flow.assign(""); });
    trap.run([&] { flow.set(1, period); });
    trap.run([&] { flow.set(20, NumFacture); });
    trap.run([&] { flow.set(27, scale().get(3, i)); });
    trap.run([&] { flow.set(28, scale().get(4, i)); });
    trap.run([&] { flow.set(29, scale().get(6, i) == "D" ? scale().get(5, i) : param.get(14)); });
    trap.run([&] { flow.set(30, scale().get(6, i) == "C" ? scale().get(5, i) : param.get(12)); });
    trap.run([&] { flow.set(31, scale().get(11, i) == "D" ? scale().get(10, i) : param.get(7)); });
    trap.run([&] { flow.set(32, scale().get(11, i) == "C" ? scale().get(10, i) : param.get(6)); });
    trap.run([&] {
        if (flow.get(1).empty() && !flow.get(36).empty()) flow.set(37, "1");
    });
    trap.run([&] { storeRunRecord(flow); });
}

}  // namespace tessaran::control
