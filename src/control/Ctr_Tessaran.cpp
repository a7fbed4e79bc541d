// The control's host interface and lifecycle: the three properties, Init, the rights rule,
// the right-click help menu, "Sortir", and the release of every object at termination.

#include "Ctr_Tessaran.h"

#include <QDebug>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "platform/DatabaseRights.h"

namespace tessaran::control {
namespace {

constexpr int kLevelAllowedToPrint = 2;
constexpr int kButtonsCritical = 16;
constexpr const char* kMessageTitle = "Message VELORANDE";
constexpr const char* kHelpPage = "Morvelintaskade.htm";
constexpr const char* kHelpMode = "P";
constexpr const char* kHelpTitle = "Etat de facturation par association";

platform::UiServices& uiOf(const ControlServices& services) {
    if (services.ui == nullptr) throw std::logic_error("the control was created without UI services");
    return *services.ui;
}

bool isRightPressAlone(const QMouseEvent& event) {
    return event.button() == Qt::RightButton && event.buttons() == Qt::RightButton;
}

std::string describe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const db::DatabaseError& e) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(e.code()));
        return std::string(e.what()) + " (" + code + ")";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

// What the user was doing, in the user's words, for a failure the handler did not handle.
std::string frenchSentenceFor(std::string_view handler) {
    if (handler == "Cmd_Imprimer_Click") return "L'impression n'a pas pu aboutir.";
    if (handler == "Cmd_Reedition_Click") return "La réédition n'a pas pu aboutir.";
    if (handler == "Cmd_Apercu_Click") return "L'aperçu n'a pas pu aboutir.";
    if (handler == "Mnu_Sommaire_Click") return "L'aide n'a pas pu être affichée.";
    return "L'opération demandée n'a pas pu aboutir.";
}

}  // namespace

Ctr_Tessaran::Ctr_Tessaran(ControlServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    buildForm();
}

Ctr_Tessaran::~Ctr_Tessaran() { UserControl_Terminate(); }

void Ctr_Tessaran::setDroitsUtilisateur(std::shared_ptr<platform::UserRights> rights) {
    Droits = std::move(rights);
    DroitsFonction = Droits ? Droits->rightsOf(platform::kFunctionKey) : nullptr;
}

void Ctr_Tessaran::setTheClient(std::shared_ptr<platform::Client> client) { TheClient_ = std::move(client); }

void Ctr_Tessaran::setTheDatabase(std::shared_ptr<db::Database> database) { TheDatabase_ = std::move(database); }

void Ctr_Tessaran::Init() {
    platform::UiServices& ui = uiOf(services_);
    ui.setMousePointer(platform::kPointerHourglass);
    setEnabled(false);
    files_.reset();
    files_ = std::make_unique<billing::DataFiles>(TheDatabase_);  // Ouvre_Fichiers
    Remplir_CboPeriode();
    Remplir_ListAsso();
    // The control is still disabled here, so no click reaches a half-filled panel.
    ui.yield();
    ui.setMousePointer(platform::kPointerDefault);
    setEnabled(true);
    Applique_Droits();
}

void Ctr_Tessaran::Applique_Droits() {
    if (!DroitsFonction) {
        throw std::runtime_error("the user's rights (DroitsUtilisateur) were not given to the control "
                                 "before Init: the right level for " +
                                 std::string(platform::kFunctionKey) + " cannot be read");
    }
    if (DroitsFonction->level() != kLevelAllowedToPrint) {
        Cmd_Imprimer->setVisible(false);
        Cmd_Apercu->setVisible(false);  // the preview is the print run: the same right
    }
}

void Ctr_Tessaran::Cmd_Sortir_Click() {
    W_Sortir = true;
    uiOf(services_).unloadHostWindow();
}

void Ctr_Tessaran::Mnu_Sommaire_Click() {
    if (!helpViewer_) {
        if (!services_.makeHelpViewer) throw std::logic_error("no help viewer is available in this host");
        helpViewer_ = services_.makeHelpViewer();
        if (!helpViewer_) throw std::runtime_error("the help viewer could not be created");
    }
    helpViewer_->setClient(TheClient_);
    helpViewer_->setDatabase(TheDatabase_);
    helpViewer_->show(kHelpPage, kHelpMode, kHelpTitle);
}

bool Ctr_Tessaran::isFreeSurface(const QWidget& widget, const QPoint& position) {
    return widget.rect().contains(position) && widget.childAt(position) == nullptr;
}

void Ctr_Tessaran::mousePressEvent(QMouseEvent* event) {
    // Presses on child controls reach here too when the child ignores them (a right press on
    // a button): only the control's own surface opens the menu.
    if (isRightPressAlone(*event) && isFreeSurface(*this, event->position().toPoint())) {
        event->accept();
        showHelpMenu(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}

bool Ctr_Tessaran::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == Cdr_Assoc) {
        const auto& mouse = *static_cast<QMouseEvent*>(event);
        if (isRightPressAlone(mouse) && isFreeSurface(*Cdr_Assoc, mouse.position().toPoint())) {
            showHelpMenu(mouse.globalPosition().toPoint());
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (Lst_Possible != nullptr && watched == Lst_Possible->viewport()) {
            dispatch("Lst_Possible_DblClick", &Ctr_Tessaran::Lst_Possible_DblClick);
        } else if (Lst_Select != nullptr && watched == Lst_Select->viewport()) {
            dispatch("Lst_Select_DblClick", &Ctr_Tessaran::Lst_Select_DblClick);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Ctr_Tessaran::showHelpMenu(const QPoint& globalPosition) {
    Mnu_Aide->setEnabled(true);
    Mnu_Sommaire->setEnabled(true);
    if (popupMenu) {
        popupMenu(*Mnu_Aide, globalPosition);
    } else {
        Mnu_Aide->exec(globalPosition);
    }
}

void Ctr_Tessaran::dispatch(const char* handlerName, void (Ctr_Tessaran::*handler)()) {
    std::exception_ptr error;
    try {
        (this->*handler)();
    } catch (...) {
        error = std::current_exception();
    }
    if (!error) return;
    if (handlerError) {
        handlerError(handlerName, error);
        return;
    }
    const std::string text = frenchSentenceFor(handlerName) + "\n\nDétail technique : " + handlerName + ": " +
                             describe(error);
    if (services_.ui != nullptr) {
        services_.ui->messageBox(text, kButtonsCritical, kMessageTitle);
    } else {
        qWarning("%s", text.c_str());
    }
}

void Ctr_Tessaran::UserControl_Terminate() {
    lastOutcome_.reset();
    Droits.reset();
    DroitsFonction.reset();
    files_.reset();  // Libere_Objets: the request, the record slots, the files, the database
    helpViewer_.reset();
    TheClient_.reset();
    TheDatabase_.reset();
}

}  // namespace tessaran::control
