#pragma once
// One run of the engine, from its request to its outcome. The print run (and the preview,
// which is a print run rolled back) selects the flows of the chosen period and associations
// that are not invoiced yet, prints each association's statements, recap and management-fee
// invoice, records the fees, invoice numbers and complementary flows, and stores the invoice
// counter once at the end, all in one transaction. The reprint selects the flows already
// invoiced and prints their documents again from what the print run recorded.
//
// Every copy walks the selected flows in association, sector, funding-body and period order;
// the documents of an association are opened at its first flow and after every change of
// sector, and closed at every change of sector or association and at the end of the copy.
// Each statement of the walk runs under the run's error trap, so that a failing one is
// skipped and the run goes on with the next.

#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "billing/Accumulation.h"
#include "billing/BillingEngine.h"
#include "billing/ErrorTrap.h"
#include "platform/Printer.h"
#include "platform/Utility.h"
#include "printing/BillingStatement.h"
#include "printing/DocumentInputs.h"

namespace tessaran::billing {

// Where the walk stands: the flow being handled and the association, sector and funding
// body whose documents are open.
struct WalkPosition {
    std::string flowKey;      // CleFlux
    std::string association;  // CodeAssoCourante
    std::string sector;       // SecteurCourant
    std::string fundingBody;  // OrgCourant
};

// What the run decided about the association whose documents are open.
struct AssociationState {
    bool billable = false;     // AssoValide: in a print run, it has a fee scale
    bool multiSector = false;  // MultiSecteur: it gets a recapitulative statement
};

class BillingRun {
public:
    BillingRun(DataFiles& files, const RunServices& services, const RunRequest& request);

    RunOutcome run();

private:
    RunOutcome printRun();
    RunOutcome reprintRun();

    // ---- opening and closing of a run ----
    bool prepare(ErrorTrap& trap);
    void startPrinter(int index);
    void finish(ErrorTrap& trap, bool keepDocument);
    void tell(const std::string& text, int buttons);
    bool counterIsUsable();
    bool writeDocument(ErrorTrap& trap);
    RunEnd endAfterWalk(RunEnd whenPrinted) const;

    // ---- the walk ----
    void walkCopies(ErrorTrap& trap);
    void openAssociation(ErrorTrap& trap, bool withinWalk);
    void closeSector(ErrorTrap& trap);
    void closeAssociation(ErrorTrap& trap);
    void closeLastAssociation(ErrorTrap& trap);
    void printAssociationDocuments(ErrorTrap& trap);
    void handleFlow(ErrorTrap& trap);
    void chooseServiceRate(ErrorTrap& trap);
    void readFundingBody(ErrorTrap& trap, const std::string& code);
    void readServiceActivity();  // Cherche_Taux
    void advanceInvoiceNumber();
    void newPage(ErrorTrap& trap);
    void reportProgress();

    // ---- one flow and the documents ----
    void accumulateFlow();   // Cumule_Detail
    void printDetailLine();  // Imprime_Detail
    void closeStatement();   // Imprime_Fin_Tableau at the end of a statement
    void printRecap();       // Imprime_Recap
    void printInvoice();     // Imprime_Frais_Gestion
    printing::DocumentHeading heading() const;
    printing::ComplementaryLines complementaryLines();
    printing::BillingStatement& statement();

    // ---- the records a print run writes (first copy only) ----
    void completeFlow(double fee, const FeeBasis& basis);
    void createComplementaryFlow(int item);
    void storeRunRecord(db::Record& record);

    DataFiles& files_;
    const RunServices& services_;
    RunRequest request_;
    std::string periodTitle_;  // the pay period as the documents show it
    std::string today_;
    platform::Utility utility_;
    std::unique_ptr<platform::Printer> printer_;
    RunOutcome outcome_;

    bool printing_ = false;   // ModeImpression: a print run or a preview
    bool firstCopy_ = true;   // PremiereCopie: the records are written during the first copy only
    bool writeFailed_ = false;
    bool cancelled_ = false;
    int documentsStarted_ = 0;
    int flowsHandled_ = 0;
    int flowsToHandle_ = 0;

    std::vector<std::string> flowKeys_;  // ListeFlux
    WalkPosition position_;
    AssociationState association_;
    std::string invoiceNumber_;  // NumFacture
    DetailLine line_;
    double hourlyRate_ = 0;      // TauxHoraire
    struct OwnRate {             // the last funding body's own rate looked up, for its period
        bool known = false;
        std::string fundingBody;
        std::string period;
        double rate = 0;
    } ownRate_;
    Accumulators accumulators_;
    std::optional<printing::BillingStatement> statement_;

    // Records the run reads again and again, kept for the run.
    std::map<std::string, std::shared_ptr<db::Record>> fundingBodies_;
    std::set<std::string> absentFundingBodies_;  // codes read without a record under them
    std::shared_ptr<db::Record> serviceActivity_;
    std::exception_ptr serviceActivityError_;
    // The complementary flows a reprint last read, with their association and sector: the
    // statement, recap and invoice of an association print the same ones, and a reprint
    // writes none.
    struct ReadComplementary {
        std::string association;
        std::string sector;
        printing::ComplementaryLines lines;
    };
    std::optional<ReadComplementary> lastComplementary_;
};

}  // namespace tessaran::billing
