#pragma once
// Ctr_Tessaran: the billing-statement control. The host sets the user's rights, its client
// object and the open database, then calls Init. The user chooses a pay period and
// associations; "Imprimer" prints each association's billing statements, recapitulative
// statement and management-fee invoice and writes the fees back; "Réedition" reprints.
//
// One class across three folders: control/ (interface, lifecycle, form, selection panel),
// billing/ (the runs, rate lookup, accumulation, fee flows) and printing/ (the documents).
// The procedures keep the application's names and share the member state declared here.

#include <QWidget>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "database/Database.h"
#include "platform/Client.h"
#include "platform/Clock.h"
#include "platform/HelpViewer.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/Rights.h"
#include "platform/UiServices.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;

namespace tessaran::platform { class Utility; }
namespace tessaran::billing { class ErrorTrap; }

namespace tessaran::control {

// The platform doors the control goes through; the host supplies them.
struct ControlServices {
    platform::UiServices* ui = nullptr;
    platform::PrinterChoice* printers = nullptr;
    platform::Clock* clock = nullptr;
    std::function<std::unique_ptr<platform::HelpViewer>()> makeHelpViewer;
};

class Ctr_Tessaran : public QWidget {
    Q_OBJECT

public:
    explicit Ctr_Tessaran(ControlServices services, QWidget* parent = nullptr);
    ~Ctr_Tessaran() override;  // UserControl_Terminate

    // ---- Public interface seen by the host ----
    bool W_Sortir = false;
    void setDroitsUtilisateur(std::shared_ptr<platform::UserRights> rights);
    void setTheClient(std::shared_ptr<platform::Client> client);
    void setTheDatabase(std::shared_ptr<db::Database> database);
    void Init();

    // ---- The control's procedures (public, called only by the control itself) ----
    void Remplir_CboPeriode();
    void Remplir_ListAsso();
    void Reedition();
    void Remplir_FluxComptables(double W_Var, bool W_Creation, std::int16_t k);
    void Cherche_Taux();
    void Imprime_Entete();
    void Imprime_Entete_Tableau();
    void Cumule_Detail();
    void Imprime_Detail();
    void Imprime_Fin_Tableau();
    void Requete_Flux_Complement();
    void Imprime_Recap();
    void Imprime_Entete_Recap();
    void Imprime_Detail_Recap();
    void Imprime_Fin_Tableau_Recap();
    void Imprime_Frais_Gestion();
    void Entete_Frais_Gestion();
    void Entete_Tableau_Frais_Gestion();
    void Detail_Frais_Gestion();
    void Fin_Tableau_Frais_Gestion();

    // ---- Event handlers (public so that hosts and tests can drive them by name) ----
    void Cmd_Imprimer_Click();
    void Cmd_Reedition_Click();
    void Cmd_Sortir_Click();
    void Cmd_Tous_Click();
    void Cmd_Select_Click();
    void Cmd_Supp_Click();
    void Lst_Possible_DblClick();
    void Lst_Select_DblClick();
    void Mnu_Sommaire_Click();

    // ---- Form controls ----
    QComboBox* Cbo_PeriodePaie = nullptr;
    QLabel* Etq_PeriodePaie = nullptr;
    QGroupBox* Cdr_Assoc = nullptr;
    QPushButton* Cmd_Tous = nullptr;
    QListWidget* Lst_Possible = nullptr;
    QPushButton* Cmd_Select = nullptr;
    QPushButton* Cmd_Supp = nullptr;
    QListWidget* Lst_Select = nullptr;
    QLabel* Etq_Possible = nullptr;
    QLabel* Etq_Select = nullptr;
    QPushButton* Cmd_Imprimer = nullptr;
    QPushButton* Cmd_Sortir = nullptr;
    QPushButton* Cmd_Reedition = nullptr;
    QMenu* Mnu_Aide = nullptr;
    QAction* Mnu_Sommaire = nullptr;

    // The printer of the current run (null outside a run).
    platform::Printer* printer() const { return Printer_.get(); }

    // ---- control ----
    // Shows a pop-up menu at a global screen position; QMenu::exec when left empty. Tests
    // replace it, since exec blocks until the menu closes.
    std::function<void(QMenu& menu, const QPoint& globalPosition)> popupMenu;
    // Receives an error that escaped an event handler (a button, a double click, the help
    // menu); when left empty the error is shown in a message box.
    std::function<void(const std::string& handler, std::exception_ptr error)> handlerError;

protected:
    void mousePressEvent(QMouseEvent* event) override;   // UserControl_MouseDown
    bool eventFilter(QObject* watched, QEvent* event) override;  // Cdr_Assoc_MouseDown

private:
    void buildForm();
    void Applique_Droits();
    void showHelpMenu(const QPoint& globalPosition);
    void UserControl_Terminate();

    // ---- control ----
    // Runs one event handler; an error it raises goes to handlerError (or a message box)
    // instead of unwinding through the toolkit's event dispatch.
    void dispatch(const char* handlerName, void (Ctr_Tessaran::*handler)());
    // True when a press at `position` (in `widget`'s coordinates) is on the widget's own
    // surface rather than on one of its child controls.
    static bool isFreeSurface(const QWidget& widget, const QPoint& position);
    void placeControls();
    void applyTabOrder();
    void connectHandlers();

    // Run helpers shared by the print and the reprint runs.
    std::string periodeChoisie() const;   // the combo box text as "yyyymm"
    std::string requeteFlux(bool dejaFactures) const;  // the flow select of a run
    void zeroTotals();
    void zeroDetail();
    void startPrinter(int index);

    // ---- printing ----
    // Reprint: the complementary flows recorded for the current association, sector and
    // period, one line each under the funding-body amounts; returns the sum of the printed
    // amounts. `breakPageIfFull` applies the document's page-break rule before each line.
    double printStoredComplementaryFlows(const std::function<void()>& breakPageIfFull);

    // ---- billing ----
    // The walk shared by the print and the reprint runs: every copy walks the selected flows,
    // opening and closing each association's documents. Each statement runs under the run's
    // error trap, so a failing one is skipped and the run goes on with the next.
    void walkCopies(billing::ErrorTrap& trap);
    void openAssociation(billing::ErrorTrap& trap, bool withinWalk);
    void closeSector(billing::ErrorTrap& trap);
    void closeAssociation(billing::ErrorTrap& trap);
    void closeLastAssociation(billing::ErrorTrap& trap);
    void printAssociationDocuments(billing::ErrorTrap& trap);
    void handleFlow(billing::ErrorTrap& trap);
    void choisirTauxPrestation(billing::ErrorTrap& trap);  // rate of a flow without funding body
    void advanceInvoiceNumber();
    void newPage(billing::ErrorTrap& trap);
    void reportProgress();
    // The opening of both runs: new accumulators, the printer choice and the chosen printer
    // opened; false when the user cancelled or the printer could not be opened (then said).
    bool prepareRun(billing::ErrorTrap& trap);
    // The closing of both runs: pointer and control restored, document ended, progress done.
    void endRun(billing::ErrorTrap& trap);
    void finishRun();  // W_Sortir, then the containing window is unloaded
    platform::Utility& utility();
    // Writes of a print run: the completion of a billed flow, the creation of a
    // complementary flow, and the store that remembers a failed write (the run then keeps
    // nothing of what it wrote).
    void completeFlow(double fee);
    void createComplementaryFlow(std::int16_t item);
    void storeRunRecord(db::Record& record);

    bool AssoValide = false;       // the current association may be billed
    bool runWriteFailed_ = false;  // a write of the current print run failed
    int flowsHandled_ = 0;         // progress of the run, over all copies
    int flowsToHandle_ = 0;

    ControlServices services_;
    std::unique_ptr<platform::Printer> Printer_;

    // ---- Member state shared between the procedures ----
    std::shared_ptr<platform::UserRights> Droits;
    std::shared_ptr<platform::FunctionRights> DroitsFonction;
    std::shared_ptr<db::DynamicArray> ListeAsso;
    std::shared_ptr<db::DynamicArray> ListeFlux;
    std::shared_ptr<db::DynamicArray> ListeFluxComplement;
    std::shared_ptr<db::DynamicArray> ListeActivites;
    std::shared_ptr<db::DynamicArray> Detail;
    std::shared_ptr<db::DynamicArray> Cumul;
    std::int16_t TwipsParCm = platform::kTwipsPerCm;
    std::string CodeAssoCourante;
    std::string SecteurCourant;
    std::string NumFacture;
    bool SuitePage = false;
    bool ModeImpression = false;
    bool MultiSecteur = false;
    // Fees, invoice numbers and complementary flows are written during the first copy only;
    // later copies print the same documents without writing them again.
    bool PremiereCopie = true;

    std::string CleFlux;
    std::string OrgCourant;
    std::string PeriodeDetail;
    std::string LibelleDetail;
    double TauxHoraire = 0;

    double TotalCaisse = 0, TotalFrais = 0, TotalHeures = 0, TotalBenef = 0;
    double HeuresDetail = 0, CaisseDetail = 0, FraisDetail = 0, BenefDetail = 0;
    double HeuresFlux = 0, MontantFlux = 0, TauxBareme = 0;
    double TotalHeuresFacture = 0, TotalMontantFacture = 0, TotalFraisFacture = 0;

    friend class ControlTestAccess;  // tests read the member state
};

}  // namespace tessaran::control
