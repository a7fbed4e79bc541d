#pragma once
// Ctr_Tessaran: the billing-statement control. The host sets the user's rights, its client
// object and the open database, then calls Init. The user chooses a pay period and
// associations; "Imprimer" prints each association's billing statements, recapitulative
// statement and management-fee invoice and writes the fees back; "Réedition" reprints.
//
// The control is the view: its form, lifecycle and selection panel. Its handlers keep the
// application's names and sequence around the billing engine, which does the runs: the
// handler builds the run's request from the panel and reads only the outcome.

#include <QWidget>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "billing/DataFiles.h"
#include "billing/RunOutcome.h"
#include "billing/RunRequest.h"
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


namespace tessaran::control {

// The platform doors the control goes through; the host supplies them.
struct ControlServices {
    platform::UiServices* ui = nullptr;
    platform::PrinterChoice* printers = nullptr;
    platform::Clock* clock = nullptr;
    std::function<std::unique_ptr<platform::HelpViewer>()> makeHelpViewer;
    // Where "Aperçu" shows the documents (a print-preview window); none hides the button.
    platform::PrinterChoice* previewPrinters = nullptr;
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

    // ---- Event handlers (public so that hosts and tests can drive them by name) ----
    void Cmd_Imprimer_Click();
    void Cmd_Reedition_Click();
    void Cmd_Apercu_Click();  // "Aperçu": the print run shown, and rolled back
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
    QPushButton* Cmd_Apercu = nullptr;
    QMenu* Mnu_Aide = nullptr;
    QAction* Mnu_Sommaire = nullptr;

    // How the last run ended (empty before the first).
    const std::optional<billing::RunOutcome>& lastOutcome() const { return lastOutcome_; }
    // The open data files (null before Init and after termination).
    billing::DataFiles* dataFiles() const { return files_.get(); }

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
    void changeEvent(QEvent* event) override;

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
    double fontScale() const;
    void placeControls();
    void applyTabOrder();
    void connectHandlers();

    // The run's request from the panel: the chosen period and the selected associations.
    billing::RunRequest requestFromPanel(billing::RunKind kind) const;
    // Runs the engine with this control as its view; an error the run did not tell the user
    // about is raised to the handler.
    void runEngine(billing::RunKind kind);
    void finishRun();  // W_Sortir, then the containing window is unloaded

    ControlServices services_;
    std::unique_ptr<billing::DataFiles> files_;
    std::optional<billing::RunOutcome> lastOutcome_;
    std::unique_ptr<platform::HelpViewer> helpViewer_;

    // ---- Member state shared between the procedures ----
    std::shared_ptr<platform::UserRights> Droits;
    std::shared_ptr<platform::FunctionRights> DroitsFonction;
    std::shared_ptr<platform::Client> TheClient_;
    std::shared_ptr<db::Database> TheDatabase_;

};

}  // namespace tessaran::control
