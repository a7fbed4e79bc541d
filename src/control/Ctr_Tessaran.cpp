#include "Ctr_Tessaran.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include "DataModule.h"

// Placeholder lifecycle: the form and the host interface are filled in by the control work.
namespace tessaran::control {

Ctr_Tessaran::Ctr_Tessaran(ControlServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    buildForm();
}

Ctr_Tessaran::~Ctr_Tessaran() { UserControl_Terminate(); }

void Ctr_Tessaran::buildForm() {
    Cbo_PeriodePaie = new QComboBox(this);
    Etq_PeriodePaie = new QLabel(QStringLiteral("Période de paie"), this);
    Cdr_Assoc = new QGroupBox(QStringLiteral("Associations"), this);
    Cmd_Tous = new QPushButton(QStringLiteral("Tous"), Cdr_Assoc);
    Lst_Possible = new QListWidget(Cdr_Assoc);
    Cmd_Select = new QPushButton(QStringLiteral("------>"), Cdr_Assoc);
    Cmd_Supp = new QPushButton(QStringLiteral("<------"), Cdr_Assoc);
    Lst_Select = new QListWidget(Cdr_Assoc);
    Etq_Possible = new QLabel(QStringLiteral("Possibles"), Cdr_Assoc);
    Etq_Select = new QLabel(QStringLiteral("Sélectionnées"), Cdr_Assoc);
    Cmd_Imprimer = new QPushButton(QStringLiteral("Imprimer"), this);
    Cmd_Sortir = new QPushButton(QStringLiteral("Sortir"), this);
    Cmd_Reedition = new QPushButton(QStringLiteral("Réedition"), this);
    Mnu_Aide = new QMenu(QStringLiteral("Aide"), this);
    Mnu_Sommaire = Mnu_Aide->addAction(QStringLiteral("Aide_VELORANDE"));
}

void Ctr_Tessaran::setDroitsUtilisateur(std::shared_ptr<platform::UserRights> rights) {
    Droits = std::move(rights);
    DroitsFonction = Droits ? Droits->rightsOf("MORVELINTASKADE") : nullptr;
}
void Ctr_Tessaran::setTheClient(std::shared_ptr<platform::Client> client) { dataModule().client = std::move(client); }
void Ctr_Tessaran::setTheDatabase(std::shared_ptr<db::Database> database) {
    dataModule().database = std::move(database);
}
void Ctr_Tessaran::Init() {}
void Ctr_Tessaran::Remplir_CboPeriode() {}
void Ctr_Tessaran::Remplir_ListAsso() {}
void Ctr_Tessaran::Cmd_Sortir_Click() {}
void Ctr_Tessaran::Cmd_Tous_Click() {}
void Ctr_Tessaran::Cmd_Select_Click() {}
void Ctr_Tessaran::Cmd_Supp_Click() {}
void Ctr_Tessaran::Lst_Possible_DblClick() {}
void Ctr_Tessaran::Lst_Select_DblClick() {}
void Ctr_Tessaran::Mnu_Sommaire_Click() {}
void Ctr_Tessaran::mousePressEvent(QMouseEvent* event) { QWidget::mousePressEvent(event); }
bool Ctr_Tessaran::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
void Ctr_Tessaran::Applique_Droits() {}
void Ctr_Tessaran::showHelpMenu(const QPoint&) {}
void Ctr_Tessaran::UserControl_Terminate() {}

}  // namespace tessaran::control
