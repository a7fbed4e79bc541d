#include "billing/BillingRun.h"

#include <algorithm>
#include <optional>

#include "billing/AssociationReadAhead.h"
#include "billing/FlowQueries.h"
#include "billing/FlowReadAhead.h"
#include "billing/RateLookup.h"
#include "billing/RunDocumentInfo.h"
#include "billing/RunTransaction.h"
#include "billing/RunValues.h"
#include "database/Attributes.h"
#include "platform/DateText.h"
#include "platform/NumberText.h"
#include "printing/FeeInvoice.h"
#include "printing/PageText.h"
#include "printing/RecapStatement.h"

namespace tessaran::billing {
namespace {

namespace flow_attr = db::attr::flow;
namespace scale_attr = db::attr::fee_scale;

// Flows are reported every so many, and once more at the last.
constexpr int kProgressStep = 50;
// The free-key search gives up after this many sequence numbers: a database that fails every
// read would otherwise keep it running without end.
constexpr int kSequenceBound = 10000;

std::string transactionRefusal(const db::DatabaseError& error) {
    if (error.code() == db::error_code::kBusy) {
        return "Une autre impression est en cours sur cette base de données. "
               "Réessayez lorsqu'elle sera terminée.";
    }
    return std::string("L'impression ne peut pas commencer : la base de données n'est pas disponible (") +
           error.what() + ").";
}

std::string sequenceText(int sequence) {
    std::string text = std::to_string(sequence);
    return text.size() < 2 ? "0" + text : text;
}

// The association's accounting parameters; a slot that never held any gives empty ones.
const db::DynamicArray& parametersOf(const FileSlot& slot) {
    static const db::DynamicArray none;
    return slot.record ? static_cast<const db::DynamicArray&>(*slot.record) : none;
}

std::string describe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

}  // namespace

BillingRun::BillingRun(DataFiles& files, const RunServices& services, const RunRequest& request)
    : files_(files),
      services_(services),
      request_(request),
      today_(printing::dateText(services.clock.today())),
      utility_(services.printers) {
    const auto period = platform::parsePeriod(request_.period);
    periodTitle_ = period ? platform::periodInCapitals(*period) : request_.period;
}

RunOutcome BillingRun::run() {
    outcome_ = {};
    for (const std::string& code : request_.associations) {
        if (canBeSelected(code)) continue;
        tell("Le code d'association « " + code + " » ne peut pas figurer dans une sélection : rien n'a été imprimé.",
             platform::kButtonsExclamation);
        outcome_.end = RunEnd::Failed;
        outcome_.error = "the association code \"" + code + "\" cannot be quoted in a select statement";
        return outcome_;
    }
    return request_.kind == RunKind::Reprint ? reprintRun() : printRun();
}

// ---------------------------------------------------------------------------------------
// The print run (Cmd_Imprimer_Click) and the preview. Everything written is kept together or
// not at all: one transaction spans the run, from before the select to after the counter, so
// that a run started at the same time waits for this one and then selects only what is still
// not invoiced. A preview rolls it back whatever happens.

RunOutcome BillingRun::printRun() {
    ErrorTrap trap;
    printing_ = true;
    firstCopy_ = true;
    writeFailed_ = false;
    const bool preview = request_.kind == RunKind::Preview;

    std::optional<RunTransaction> transaction;
    try {
        transaction.emplace(files_.database());
    } catch (const db::DatabaseError& error) {
        tell(transactionRefusal(error), platform::kButtonsExclamation);
        outcome_.end = error.code() == db::error_code::kBusy ? RunEnd::DatabaseBusy : RunEnd::Failed;
        outcome_.error = error.what();
        return outcome_;
    }

    if (!counterIsUsable()) {
        transaction->rollback();
        return outcome_;
    }

    // A select that fails is said as such: the user must not take it for an empty month.
    std::optional<std::string> selectError;
    try {
        const db::DynamicArray keys =
            files_.select(runFlowsStatement(request_.period, request_.associations, false), "FLUXCOMPTABLES");
        flowKeys_.reserve(static_cast<std::size_t>(keys.DCount()));
        for (int i = 1, n = keys.DCount(); i <= n; ++i) flowKeys_.emplace_back(keys.view(i));
    } catch (...) {
        selectError = describe(std::current_exception());
    }
    if (selectError) {
        transaction->rollback();
        tell("La sélection des flux comptables à facturer a échoué : rien n'a été imprimé ni enregistré. (" +
                 *selectError + ")",
             platform::kButtonsExclamation);
        outcome_.end = RunEnd::Failed;
        outcome_.error = *selectError;
        return outcome_;
    }
    if (flowKeys_.empty()) {
        transaction->rollback();
        tell("Aucun état de facturation à éditer.", platform::kButtonsInformation);
        outcome_.end = RunEnd::NothingToPrint;
        return outcome_;
    }

    if (!prepare(trap)) {
        transaction->rollback();
        return outcome_;
    }
    if (preview) trap.run([&] { printer_->setWatermark(kPreviewMark); });
    services_.ui.setMousePointer(platform::kPointerHourglass);
    if (services_.enableView) services_.enableView(false);

    walkCopies(trap);

    bool kept = false;
    bool documentWritten = true;
    if (cancelled_) {
        transaction->rollback();
        tell(preview ? "Aperçu annulé : rien n'a été enregistré."
                     : "Impression annulée : aucune facture, aucun frais de gestion ni aucun flux complémentaire "
                       "n'a été enregistré, et aucun document n'a été imprimé.",
             platform::kButtonsExclamation);
    } else {
        // The counter keeps the last number used; it is written once, after every copy.
        const bool counterWritten = trap.run([&] {
            invoiceNumber_ = invoiceNumberText(numberOf(invoiceNumber_) - 1);
            db::Record& counter = files_.counter.held();
            counter.set(db::attr::counter::kLastInvoiceNumber, invoiceNumber_);
            storeRunRecord(counter);
        });
        // The document is written whole before the records are kept: a run whose document
        // cannot be completed keeps nothing.
        documentWritten = documentsStarted_ == 0 || writeDocument(trap);
        if (preview) {
            transaction->rollback();
            kept = true;
        } else if (counterWritten && !writeFailed_ && documentWritten) {
            kept = trap.run([&] { transaction->commit(); });
        } else {
            transaction->rollback();
        }
        if (!documentWritten) {
            tell("Le document n'a pas pu être écrit en entier : aucune facture, aucun frais de gestion ni aucun "
                 "flux complémentaire n'a été enregistré. Vérifiez la place libre et relancez l'impression.",
                 platform::kButtonsExclamation);
        } else if (!kept) {
            tell("L'enregistrement de la facturation a échoué : aucune facture, aucun frais de gestion ni aucun "
                 "flux complémentaire n'a été enregistré. Les documents imprimés ne sont pas valables ; "
                 "relancez l'impression.",
                 platform::kButtonsExclamation);
        }
    }
    finish(trap, !cancelled_ && kept && documentsStarted_ > 0);
    if (cancelled_ || !kept) {
        // Nothing of what the run wrote was kept: no number was given, no flow billed.
        outcome_.invoiceNumbers.clear();
        outcome_.flowsBilled = 0;
        outcome_.complementaryFlows = 0;
    }
    outcome_.end = cancelled_         ? RunEnd::Cancelled
                   : !documentWritten ? RunEnd::DocumentNotWritten
                   : !kept            ? RunEnd::RecordsNotKept
                                      : endAfterWalk(RunEnd::Printed);
    return outcome_;
}

// The invoice counter must hold the last number given, as a whole number of at most ten
// digits: anything else would restart or break the one continuous series of invoice numbers.
bool BillingRun::counterIsUsable() {
    std::string last;
    try {
        last = files_.counter.read("001").get(db::attr::counter::kLastInvoiceNumber);
    } catch (...) {
        // An unreadable counter fails like any other statement of the walk.
        return true;
    }
    const bool digits = last.size() <= 10 && last.find_first_not_of("0123456789") == std::string::npos;
    if (digits) {
        // No number given may be given again: the counter is at least the highest invoice
        // number recorded on a flow.
        const std::string counter = invoiceNumberText(numberOf(last.empty() ? "0" : last));
        std::optional<std::string> highest;
        try {
            highest = files_.database().highestNumber("FLUXCOMPTABLES", flow_attr::kInvoiceNumber, 10);
        } catch (...) {
        }
        if (!highest || *highest <= counter) return true;
        tell("Le compteur de factures (NUMEROFACT 001) porte le numéro " + counter +
                 ", inférieur au numéro de facture " + *highest +
                 " déjà enregistré sur un flux : l'impression ne peut pas commencer, pour ne pas donner deux fois "
                 "le même numéro. Faites corriger le compteur.",
             platform::kButtonsExclamation);
        outcome_.end = RunEnd::CounterRefused;
        outcome_.error = "the invoice counter " + counter + " is below invoice number " + *highest;
        return false;
    }
    tell("Le compteur de factures (NUMEROFACT 001) contient « " + last +
             " », qui n'est pas un numéro de facture de dix chiffres au plus : l'impression ne peut pas commencer. "
             "Faites corriger le compteur pour qu'il porte le dernier numéro de facture attribué.",
         platform::kButtonsExclamation);
    outcome_.end = RunEnd::CounterRefused;
    outcome_.error = "the invoice counter holds \"" + last + "\"";
    return false;
}

bool BillingRun::writeDocument(ErrorTrap& trap) {
    if (trap.run([&] { printer_->endDoc(); })) return true;
    outcome_.error = "the document could not be written whole";
    return false;
}

// ---------------------------------------------------------------------------------------
// "Réedition" (Cmd_Reedition_Click, Reedition): prints again from the fees and invoice
// numbers stored on the flows and the complementary flows recorded by the print run. It
// writes nothing and opens no transaction. A select that fails is not trapped: the error
// reaches whoever started the run.

RunOutcome BillingRun::reprintRun() {
    printing_ = false;
    try {
        const db::DynamicArray keys =
            files_.select(runFlowsStatement(request_.period, request_.associations, true), "FLUXCOMPTABLES");
        flowKeys_.reserve(static_cast<std::size_t>(keys.DCount()));
        for (int i = 1, n = keys.DCount(); i <= n; ++i) flowKeys_.emplace_back(keys.view(i));
    } catch (...) {
        outcome_.end = RunEnd::Failed;
        outcome_.failure = std::current_exception();
        outcome_.error = describe(outcome_.failure);
        return outcome_;
    }
    if (flowKeys_.empty()) {
        tell("Aucun état de facturation à ré-éditer.", platform::kButtonsInformation);
        outcome_.end = RunEnd::NothingToPrint;
        return outcome_;
    }

    ErrorTrap trap;
    if (!prepare(trap)) return outcome_;
    services_.ui.setMousePointer(platform::kPointerHourglass);
    if (services_.enableView) services_.enableView(false);

    walkCopies(trap);

    if (cancelled_) tell("Réédition annulée : aucun document n'a été imprimé.", platform::kButtonsExclamation);
    finish(trap, !cancelled_ && documentsStarted_ > 0);
    outcome_.end = cancelled_ ? RunEnd::Cancelled : endAfterWalk(RunEnd::Printed);
    return outcome_;
}

RunEnd BillingRun::endAfterWalk(RunEnd whenPrinted) const {
    // Every association was passed over (no fee scale): no document was started.
    return documentsStarted_ == 0 ? RunEnd::NothingToPrint : whenPrinted;
}

void BillingRun::tell(const std::string& text, int buttons) {
    outcome_.messages.push_back(text);
    services_.ui.messageBox(text, buttons, kMessageTitle);
}

// The opening of both runs: new accumulators, the printer choice and the chosen printer
// opened. False when the user cancelled or the printer could not be opened (then said).
bool BillingRun::prepare(ErrorTrap& trap) {
    accumulators_ = {};
    association_.multiSector = false;

    // A printer choice that fails counts as cancelled.
    std::string choice = "-1";
    trap.run([&] { choice = utility_.ChoixImprimante(""); });
    services_.ui.yield();
    const double printerIndex = platform::leadingNumber(choice);
    if (printerIndex == -1) {
        outcome_.end = RunEnd::PrinterChoiceCancelled;
        return false;
    }
    try {
        startPrinter(static_cast<int>(printerIndex));
    } catch (...) {
        outcome_.error = describe(std::current_exception());
        tell("L'imprimante choisie n'a pas pu être ouverte : rien n'a été imprimé.", platform::kButtonsExclamation);
        outcome_.end = RunEnd::PrinterUnavailable;
        return false;
    }
    return true;
}

void BillingRun::startPrinter(int index) {
    const auto names = services_.printers.printerNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
        throw std::out_of_range("no printer at index " + std::to_string(index));
    }
    auto output = services_.printers.open(index);
    if (!output) throw std::runtime_error("the printer " + names[static_cast<std::size_t>(index)] + " did not open");
    output->setDocumentInfo(runDocumentInfo(request_.kind, periodTitle_));
    printer_ = std::make_unique<platform::Printer>(std::move(output), names[static_cast<std::size_t>(index)]);
}

// The closing of both runs: pointer and view restored, the document ended (or dropped when
// the run kept nothing), progress done.
void BillingRun::finish(ErrorTrap& trap, bool keepDocument) {
    services_.ui.yield();
    services_.ui.setMousePointer(platform::kPointerDefault);
    if (services_.enableView) services_.enableView(true);
    if (keepDocument) {
        if (!trap.run([&] { printer_->endDoc(); })) outcome_.error = "the document could not be written whole";
        if (outcome_.error.empty() && !trap.run([&] { printer_->publish(); })) {
            outcome_.error = "the document could not be put in place";
        }
    }
    if (keepDocument && outcome_.error.empty()) {
        outcome_.pages = printer_->pageCount();
    } else {
        printer_->abandon();
    }
    printer_.reset();
    services_.ui.progress(0, 0);
}

// ---------------------------------------------------------------------------------------
// The walk.

void BillingRun::walkCopies(ErrorTrap& trap) {
    const int copies = std::max<int>(1, request_.copies > 0 ? request_.copies : utility_.NbExemplaires());
    const int flowCount = static_cast<int>(flowKeys_.size());
    flowsHandled_ = 0;
    flowsToHandle_ = flowCount * copies;

    for (int copy = 1; copy <= copies && !cancelled_; ++copy) {
        // Fees, invoice numbers and complementary flows are written during the first copy
        // only; the others print the same documents from the same figures.
        firstCopy_ = copy == 1;
        if (copy != 1) newPage(trap);
        trap.run([&] {
            if (platform::toUpperFrench(printer_->deviceName()).find("MATRIC") == std::string::npos) {
                printer_->setQualitySetting(1);
            }
        });
        statement_.reset();
        line_.zero();
        accumulators_.clear();
        if (!printing_) association_.billable = true;

        trap.run([&] { files_.issuer.read("001"); });
        if (printing_) {
            trap.run([&] { files_.counter.read("001"); });
            // The counter holds the last number used.
            trap.run([&] {
                const std::string last = files_.counter.held().get(db::attr::counter::kLastInvoiceNumber);
                invoiceNumber_ = invoiceNumberText(numberOf(last.empty() ? "0" : last) + 1);
            });
        }

        const AssociationReadAhead associationsAhead(files_, flowKeys_, printing_);
        trap.run([&] { position_.flowKey = flowKeys_.at(0); });
        trap.run([&] { files_.flows.read(position_.flowKey); });
        position_.association = associationOfKey(position_.flowKey);
        position_.sector = sectorOfKey(position_.flowKey);
        trap.run([&] { position_.fundingBody = files_.flows.held().get(flow_attr::kFundingBody); });
        line_.period = periodOfKey(position_.flowKey);
        openAssociation(trap, false);

        FlowReadAhead readAhead(*files_.flows.file, flowKeys_);
        for (int i = 0; i < flowCount; ++i) {
            position_.flowKey = flowKeys_[static_cast<std::size_t>(i)];
            readAhead.reach(static_cast<std::size_t>(i));
            trap.run([&] { files_.flows.read(position_.flowKey); });
            if (sectorOfKey(position_.flowKey) != position_.sector) {
                closeSector(trap);
                openAssociation(trap, true);
            } else if (associationOfKey(position_.flowKey) != position_.association) {
                closeAssociation(trap);
                openAssociation(trap, true);
            }
            if (association_.billable) handleFlow(trap);
            reportProgress();
            if (cancelled_) return;
        }
        closeLastAssociation(trap);
    }
    firstCopy_ = true;
}

void BillingRun::openAssociation(ErrorTrap& trap, bool withinWalk) {
    if (withinWalk) {
        statement_.reset();
        line_.zero();
        position_.sector = sectorOfKey(position_.flowKey);
        position_.association = associationOfKey(position_.flowKey);
        trap.run([&] { position_.fundingBody = files_.flows.held().get(flow_attr::kFundingBody); });
        line_.period = periodOfKey(position_.flowKey);
    }

    trap.clear();
    trap.run([&] { files_.associations.read(position_.association); });
    trap.run([&] {
        association_.multiSector = files_.associations.held().DCount(db::attr::association::kSectors) > 1;
    });

    // The statement of the sector; its heading reads the sector's name.
    const auto startStatement = [&] {
        std::optional<std::string> sectorName;
        try {
            sectorName = files_.sectors.read(position_.sector).get(db::attr::sector::kName);
        } catch (...) {
        }
        statement_.emplace(*printer_, heading(), std::move(sectorName));
        ++documentsStarted_;
        trap.run([&] { statement_->printHeading(); });
    };
    if (!printing_) {
        startStatement();
        return;
    }

    const auto associationName = [&] { return files_.associations.held().get(db::attr::association::kName); };
    if (!trap.run([&] { files_.parameters.read(position_.association); }) &&
        trap.code() == db::error_code::kNotFound) {
        trap.run([&] {
            tell("Le paramétrage des flux comptables de l'association " + associationName() + " n'est pas renseigné.",
                 platform::kButtonsExclamation);
        });
        // Its flows get empty accounting parameters rather than those of the association
        // billed before it.
        files_.parameters.record = std::make_shared<db::Record>(files_.parameters.file, position_.association);
    }

    trap.clear();
    if (!trap.run([&] { files_.feeScales.read(position_.association + "P"); }) &&
        trap.code() == db::error_code::kNotFound) {
        trap.run([&] {
            tell("Le barème de l'association " + associationName() + " n'est pas renseigné.",
                 platform::kButtonsExclamation);
        });
        association_.billable = false;
    } else {
        startStatement();
        association_.billable = true;
    }
}

void BillingRun::advanceInvoiceNumber() {
    if (printing_) invoiceNumber_ = invoiceNumberText(numberOf(invoiceNumber_) + 1);
}

// The sector changed: the statement of the finished sector is closed and, when the
// association changed too, its recap (several sectors) and its invoice follow.
void BillingRun::closeSector(ErrorTrap& trap) {
    if (!association_.billable) return;
    const bool associationChanged = associationOfKey(position_.flowKey) != position_.association;
    trap.run([&] { printDetailLine(); });
    trap.run([&] { closeStatement(); });
    newPage(trap);
    if (associationChanged) {
        if (association_.multiSector) {
            trap.run([&] { printRecap(); });
            newPage(trap);
        }
        trap.run([&] { printInvoice(); });
        advanceInvoiceNumber();
        newPage(trap);
        accumulators_.clear();
    }
}

// Same sector code, another association: statement, recap (several sectors), invoice, and a
// new page for the next association.
void BillingRun::closeAssociation(ErrorTrap& trap) {
    if (!association_.billable) return;
    printAssociationDocuments(trap);
    newPage(trap);
    accumulators_.clear();
}

// End of a copy: the last association's documents, without a page after its invoice.
void BillingRun::closeLastAssociation(ErrorTrap& trap) {
    if (!association_.billable) return;
    printAssociationDocuments(trap);
}

// The last statement of an association, its recap when it has several sectors, its invoice.
void BillingRun::printAssociationDocuments(ErrorTrap& trap) {
    trap.run([&] { printDetailLine(); });
    trap.run([&] { closeStatement(); });
    newPage(trap);
    if (association_.multiSector) {
        trap.run([&] { printRecap(); });
        newPage(trap);
    }
    trap.run([&] { printInvoice(); });
    advanceInvoiceNumber();
}

// One flow of a billable association: a change of funding body or period prints the line
// just finished; the flow's funding body is read (or, without one, the service rate chosen)
// and the flow is accumulated.
void BillingRun::handleFlow(ErrorTrap& trap) {
    const auto flow = [&]() -> db::Record& { return files_.flows.held(); };

    bool lineChanged = false;
    trap.run([&] {
        lineChanged = position_.fundingBody != flow().view(flow_attr::kFundingBody) ||
                      line_.period != periodOfKey(position_.flowKey);
    });
    if (lineChanged) {
        trap.run([&] { printDetailLine(); });
        line_.zero();
        trap.run([&] { position_.fundingBody = flow().get(flow_attr::kFundingBody); });
        line_.period = periodOfKey(position_.flowKey);
    }

    std::string fundingBody;
    trap.run([&] { fundingBody = flow().get(flow_attr::kFundingBody); });
    readFundingBody(trap, fundingBody);
    if (fundingBody == kNoFundingBody) {
        line_.label = kServiceRateLabel;
        trap.run([&] { readServiceActivity(); });
        chooseServiceRate(trap);
    } else {
        trap.run([&] { line_.label = files_.fundingBodies.held().get(db::attr::funding_body::kName); });
    }
    trap.run([&] { accumulateFlow(); });
}

// The rate of a flow without funding body, billed at the association's own service rate:
// the association's rate history first, then the service activity's.
void BillingRun::chooseServiceRate(ErrorTrap& trap) {
    namespace association_attr = db::attr::association;
    namespace activity_attr = db::attr::activity;
    const std::string& period = request_.period;

    double lastDay = 0;
    trap.run([&] { lastDay = lastDayOfPeriod(period); });

    // The association's history, from its latest entry back: the first rate of kind "1"
    // dated before the end of the period.
    bool found = false;
    trap.run([&] {
        const db::Record& association = files_.associations.held();
        for (int k = association.DCount(association_attr::kRateDates); k >= 1; --k) {
            if (association.get(association_attr::kRateKinds, k) == "1" &&
                wholePart(numberOf(association.get(association_attr::kRateDates, k))) < lastDay) {
                hourlyRate_ = numberOf(association.get(association_attr::kRates, k));
                found = true;
                return;
            }
        }
    });

    // Otherwise the service activity's history, from its first entry: the entry in force
    // for the period when it is the last one, or an entry of kind "1" that starts later.
    // The walk ends at the latest one past the last entry, where an empty date qualifies.
    if (!found) {
        trap.run([&] {
            const db::Record& activity = files_.activities.held();
            for (int k = 1;; ++k) {
                const std::string start = periodOfDay(activity.get(activity_attr::kRateDates, k));
                const bool lastInForce = period >= start && activity.get(activity_attr::kRateDates, k + 1).empty();
                const bool laterOfKindOne = period < start && activity.get(activity_attr::kRateKinds, k) == "1";
                if (lastInForce || laterOfKindOne) {
                    const std::string rate = activity.get(activity_attr::kRates, k);
                    if (!rate.empty()) hourlyRate_ = numberOf(rate);
                    return;
                }
            }
        });
    }

    // The line of a flow without funding body counts its hours like a funding body of type
    // "P": the funding-body slot gets a record saying so.
    trap.run([&] {
        db::DynamicArray serviceRate;
        serviceRate.set(db::attr::funding_body::kType, "P");
        files_.fundingBodies.record = std::make_shared<db::Record>(nullptr, "", std::move(serviceRate));
    });
}

// Funding bodies and the service activity do not change during a run: each is read once and
// put back in its slot from the run's copy, as a read would. A code without a record (that of
// the flows without funding body, among others) fails as its read did, without reading again.
void BillingRun::readFundingBody(ErrorTrap& trap, const std::string& code) {
    const auto known = fundingBodies_.find(code);
    if (known != fundingBodies_.end()) {
        files_.fundingBodies.record = known->second;
        return;
    }
    if (absentFundingBodies_.count(code) != 0) {
        trap.fail(db::error_code::kNotFound);
        return;
    }
    trap.run([&] {
        try {
            files_.fundingBodies.read(code);
        } catch (const db::DatabaseError& error) {
            if (error.code() == db::error_code::kNotFound) absentFundingBodies_.insert(code);
            throw;
        }
        fundingBodies_.emplace(code, files_.fundingBodies.record);
    });
}

void BillingRun::readServiceActivity() {
    if (!serviceActivity_ && !serviceActivityError_) {
        try {
            findServiceActivity(files_);
            serviceActivity_ = files_.activities.record;
        } catch (...) {
            serviceActivityError_ = std::current_exception();
        }
    }
    if (serviceActivityError_) std::rethrow_exception(serviceActivityError_);
    files_.activities.record = serviceActivity_;
}

void BillingRun::newPage(ErrorTrap& trap) {
    trap.run([&] { printer_->newPage(); });
}

void BillingRun::reportProgress() {
    ++flowsHandled_;
    if (flowsHandled_ % kProgressStep == 0 || flowsHandled_ == flowsToHandle_) {
        services_.ui.progress(flowsHandled_, flowsToHandle_);
    }
    if (services_.ui.cancelRequested()) cancelled_ = true;
}

// ---------------------------------------------------------------------------------------
// One flow (Cumule_Detail): its line in the accumulators, the page break before its amounts
// when the statement page is full, its figures, and in a print run its fee recorded on it.

void BillingRun::accumulateFlow() {
    // The records stay alive here even if a page break loads others into the slots.
    const std::shared_ptr<db::Record> flowRecord = files_.flows.record;
    const std::shared_ptr<db::Record> fundingBodyRecord = files_.fundingBodies.record;
    const db::Record& flow = files_.flows.held();
    const db::Record& fundingBody = files_.fundingBodies.held();

    if (flow.view(flow_attr::kFundingBody) != kNoFundingBody) {
        // Consecutive flows mostly share their funding body and period, and a funding body's
        // record does not change during the run (it is kept for the run once read).
        if (!ownRate_.known || ownRate_.fundingBody != fundingBody.key() || ownRate_.period != line_.period)
            ownRate_ = {true, fundingBody.key(), line_.period, fundingBodyRate(fundingBody, line_.period)};
        hourlyRate_ = ownRate_.rate;
        if (hourlyRate_ == 0) lookUpRateBehindFundingBody(files_, fundingBody, line_.period, hourlyRate_);
    }

    const std::string type = fundingBody.get(db::attr::funding_body::kType);
    const int line = placeLine(accumulators_, line_.label, line_.period, type);

    statement().breakPageIfFull();

    const std::shared_ptr<db::Record> scale = files_.feeScales.record;
    const FlowToAccumulate input{flow, type, request_.period, printing_, scale.get(), hourlyRate_};
    const FlowCharge charge = billing::accumulateFlow(input, line, accumulators_, line_, invoiceNumber_);

    if (printing_ && firstCopy_) completeFlow(charge.fee, charge.basis);
}

// The statement line just finished (Imprime_Detail); a funding body of type "C" shows no fee.
void BillingRun::printDetailLine() {
    printing::BillingStatement& document = statement();
    document.breakPageIfFull();
    printing::StatementLine line;
    line.label = line_.label;
    line.period = line_.period;
    line.hours = line_.hours;
    line.amount = line_.funded;
    line.fee = line_.fee;
    line.beneficiary = line_.beneficiary;
    line.feeWithheld = files_.fundingBodies.held().view(db::attr::funding_body::kType) == "C";
    document.printLine(line);
    if (line.feeWithheld) line_.fee = 0;
}

// The end of a statement (Imprime_Fin_Tableau). A single-sector association has its
// complementary lines on the statement, recorded as complementary flows in a print run; the
// others get them on their recapitulative statement.
void BillingRun::closeStatement() {
    printing::BillingStatement& document = statement();
    const bool singleSector = files_.associations.held().DCount(db::attr::association::kSectors) == 1;
    if (!singleSector) {
        document.printEnd(nullptr);
        return;
    }
    const printing::ComplementaryLines complementary = complementaryLines();
    if (printing_ && firstCopy_ && !complementary.unreadable) {
        for (int item = 1; item <= static_cast<int>(complementary.lines.size()); ++item) {
            createComplementaryFlow(item);
        }
    }
    document.printEnd(&complementary);
}

void BillingRun::printRecap() {
    printing::RecapStatement recap(*printer_, heading());
    recap.print(accumulators_.detail(), complementaryLines());
    association_.multiSector = false;
}

void BillingRun::printInvoice() {
    if (printing_ && firstCopy_) outcome_.invoiceNumbers.push_back(invoiceNumber_);
    printing::FeeInvoice invoice(*printer_, heading(), invoiceNumber_);
    invoice.print(accumulators_.cumul(), complementaryLines());
}

printing::DocumentHeading BillingRun::heading() const {
    return {files_.issuer.record, files_.associations.record, periodTitle_, today_};
}

printing::BillingStatement& BillingRun::statement() {
    if (!statement_) throw std::logic_error("no statement is open");
    return *statement_;
}

// The association's complementary lines: the items of its fee scale in a print run, the
// complementary flows recorded for its current sector in a reprint.
printing::ComplementaryLines BillingRun::complementaryLines() {
    printing::ComplementaryLines complementary;
    complementary.fromFeeScale = printing_;
    try {
        if (printing_) {
            const db::Record& scale = files_.feeScales.held();
            const int items = scale.DCount(scale_attr::kItemLabels);
            for (int i = 1; i <= items; ++i) {
                complementary.lines.push_back(
                    {scale.get(scale_attr::kItemLabels, i), scale.get(scale_attr::kItemAmounts, i)});
            }
        } else {
            if (lastComplementary_ && lastComplementary_->association == position_.association &&
                lastComplementary_->sector == position_.sector) {
                return lastComplementary_->lines;
            }
            const db::DynamicArray keys = files_.select(
                complementaryFlowsStatement(request_.period, position_.association, position_.sector),
                "FLUXCOMPTABLES");
            for (int i = 1, n = keys.empty() ? 0 : keys.DCount(); i <= n; ++i) {
                const std::shared_ptr<db::Record> flow = files_.flows.file->Read(keys.get(i));
                complementary.lines.push_back({flow->get(flow_attr::kItemLabel), flow->get(flow_attr::kItemAmount)});
            }
            lastComplementary_ = ReadComplementary{position_.association, position_.sector, complementary};
        }
    } catch (...) {
        complementary.unreadable = true;
        complementary.lines.clear();
    }
    return complementary;
}

// ---------------------------------------------------------------------------------------
// What a print run leaves in the database (Remplir_FluxComptables). Each billed flow is
// completed with its invoice number, line label, management fee and the association's
// accounting parameters; each complementary item of the fee scale printed on a statement
// becomes a complementary flow of its own, under the first free sequence number of its
// association, sector and period.

void BillingRun::storeRunRecord(db::Record& record) {
    try {
        record.DBWrite();
    } catch (...) {
        writeFailed_ = true;
        throw;
    }
}

void BillingRun::completeFlow(double fee, const FeeBasis& basis) {
    namespace param_attr = db::attr::parameters;
    const std::shared_ptr<db::Record> flowRecord = files_.flows.record;
    db::Record& flow = files_.flows.held();
    const bool noFeeRecorded = files_.fundingBodies.held().view(db::attr::funding_body::kType) == "C";
    const db::DynamicArray& parameters = parametersOf(files_.parameters);

    const auto recorded = [&](double value) { return noFeeRecorded ? std::string("0") : storedNumber(value); };
    const std::string recordedFeeText = recorded(recordedFee(fee));
    const std::string feeHours = recorded(basis.hours);
    const std::string feeAmount = recorded(basis.amount);
    const std::string feeScaleValue = recorded(basis.scaleValue);
    flow.setAttributes({{flow_attr::kInvoiceNumber, invoiceNumber_},
                        {flow_attr::kLineLabel, line_.label},
                        {flow_attr::kFee, recordedFeeText},
                        {flow_attr::kCustomerAccount, parameters.view(param_attr::kCustomerAccount)},
                        {flow_attr::kFeeAccount, parameters.view(param_attr::kFeeAccount)},
                        {flow_attr::kJournal, parameters.view(param_attr::kJournal)},
                        {flow_attr::kRevenueAccount, parameters.view(param_attr::kRevenueAccount)},
                        {flow_attr::kFeeHours, feeHours},
                        {flow_attr::kFeeAmount, feeAmount},
                        {flow_attr::kFeeScaleValue, feeScaleValue}});
    // A flow billed to the beneficiary only is marked, since it has no period of its own.
    if (flow.view(flow_attr::kPeriod).empty() && !flow.view(flow_attr::kBeneficiaryPeriod).empty()) {
        flow.set(flow_attr::kBeneficiaryOnlyInvoiced, "1");
    }
    storeRunRecord(flow);
    ++outcome_.flowsBilled;
}

void BillingRun::createComplementaryFlow(int item) {
    namespace param_attr = db::attr::parameters;
    ErrorTrap trap;
    const std::string keyStart = "00000" + position_.association + position_.sector + request_.period;

    // The first sequence number whose key is free.
    std::string key;
    for (int sequence = 1; sequence <= kSequenceBound && key.empty(); ++sequence) {
        const std::string candidate = keyStart + sequenceText(sequence);
        trap.clear();
        const bool read = trap.run([&] { files_.flows.file->Read(candidate); });
        if (!read && trap.code() == db::error_code::kNotFound) key = candidate;
    }
    if (key.empty()) {
        writeFailed_ = true;
        trap.run([&] {
            tell("Aucun numéro libre n'a été trouvé pour enregistrer le flux complémentaire « " +
                     files_.feeScales.held().get(scale_attr::kItemLabels, item) + " » de l'association " +
                     associationTitle(position_.association, files_.associations.record) + ", secteur " +
                     position_.sector + ", période " + periodTitle_ + " (" + std::to_string(kSequenceBound) +
                     " numéros essayés) : le flux n'est pas créé.",
                 platform::kButtonsExclamation);
        });
        return;
    }

    std::shared_ptr<db::Record> created;
    if (!trap.run([&] { created = files_.flows.file->NewRecord(key); })) {
        writeFailed_ = true;
        return;
    }
    db::Record& flow = *created;
    const std::shared_ptr<db::Record> scaleRecord = files_.feeScales.record;
    const auto scale = [&]() -> const db::Record& {
        if (!scaleRecord) throw std::logic_error("no current record of BAREMEFEDEASSO");
        return *scaleRecord;
    };
    const db::DynamicArray& parameters = parametersOf(files_.parameters);
    const int i = item;

    // Each item carries two pairs of values; its side letter says which attribute of the
    // pair takes the item's value, the other takes the association's parameter.
    trap.run([&] { flow.assign(""); });
    trap.run([&] { flow.set(flow_attr::kPeriod, request_.period); });
    trap.run([&] { flow.set(flow_attr::kInvoiceNumber, invoiceNumber_); });
    trap.run([&] { flow.set(flow_attr::kItemLabel, scale().get(scale_attr::kItemLabels, i)); });
    trap.run([&] { flow.set(flow_attr::kItemAmount, scale().get(scale_attr::kItemAmounts, i)); });
    // The item's value when its side letter is `side`, else the association's parameter.
    const auto sided = [&](int sides, int values, const char* side, int parameter) {
        return scale().get(sides, i) == side ? scale().get(values, i) : parameters.get(parameter);
    };
    const int firstSides = scale_attr::kItemFirstSides, firstValues = scale_attr::kItemFirstValues;
    const int secondSides = scale_attr::kItemSecondSides, secondValues = scale_attr::kItemSecondValues;
    trap.run([&] {
        flow.set(flow_attr::kFirstPairDebit, sided(firstSides, firstValues, "D", param_attr::kCustomerAccount));
    });
    trap.run([&] {
        flow.set(flow_attr::kFirstPairCredit, sided(firstSides, firstValues, "C", param_attr::kFirstPairCredit));
    });
    trap.run([&] {
        flow.set(flow_attr::kSecondPairDebit, sided(secondSides, secondValues, "D", param_attr::kSecondPairDebit));
    });
    trap.run([&] {
        flow.set(flow_attr::kSecondPairCredit, sided(secondSides, secondValues, "C", param_attr::kRevenueAccount));
    });
    trap.run([&] {
        if (flow.get(flow_attr::kPeriod).empty() && !flow.get(flow_attr::kBeneficiaryPeriod).empty()) {
            flow.set(flow_attr::kBeneficiaryOnlyInvoiced, "1");
        }
    });
    if (trap.run([&] { storeRunRecord(flow); })) ++outcome_.complementaryFlows;
}

// ---------------------------------------------------------------------------------------

RunOutcome runBilling(DataFiles& files, const RunServices& services, const RunRequest& request) {
    try {
        return BillingRun(files, services, request).run();
    } catch (...) {
        RunOutcome outcome;
        outcome.end = RunEnd::Failed;
        outcome.failure = std::current_exception();
        outcome.error = describe(outcome.failure);
        return outcome;
    }
}

}  // namespace tessaran::billing
