#pragma once
// A control on a database with its UI, printer choice, clock and rights recorded or scripted,
// driven through its panel as a user would.

#include <QComboBox>
#include <QListWidget>

#include <gtest/gtest.h>

#include <optional>

#include "QtTestEnvironment.h"
#include "control/Ctr_Tessaran.h"
#include "platform/DatabaseRights.h"
#include "support/EngineWorld.h"

namespace tessaran::testing {

// Rights of one level for every function key; records the keys asked for.
class FixedUserRights : public platform::UserRights {
public:
    explicit FixedUserRights(int level) : level_(level) {}
    std::shared_ptr<platform::FunctionRights> rightsOf(const std::string& functionKey) override {
        keysAsked.push_back(functionKey);
        return std::make_shared<platform::FixedFunctionRights>(level_);
    }
    std::vector<std::string> keysAsked;

private:
    int level_;
};

// Three associations (A01 GAMMA, A02 BETA, A03 ALPHA) and the pay period March 2002.
inline std::shared_ptr<db::MultivalueDatabase> panelDatabase() { return databaseFrom(testData("panel.json")); }

inline std::vector<std::string> entriesOf(const QListWidget& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.count(); ++i) texts.push_back(list.item(i)->text().toStdString());
    return texts;
}

struct WorldSettings {
    std::optional<int> rightsLevel = 2;  // no rights given when empty
    bool init = true;
    platform::PrinterPick pick{0, 1};
    std::function<std::unique_ptr<platform::HelpViewer>()> makeHelpViewer = nullptr;
};

class ControlWorld : public RecordedWorld {
public:
    // The world keeps a SQLite database only for reading it back; any other one is the
    // control's alone, so that the control's release of it can be observed.
    explicit ControlWorld(std::shared_ptr<db::Database> database, WorldSettings settings = {})
        : RecordedWorld(std::dynamic_pointer_cast<db::MultivalueDatabase>(database), settings.pick) {
        control_ = std::make_unique<control::Ctr_Tessaran>(control::ControlServices{
            &ui_, &printers_, &clock_, std::move(settings.makeHelpViewer), &previewPrinters_});
        if (settings.rightsLevel) {
            rights = std::make_shared<FixedUserRights>(*settings.rightsLevel);
            control_->setDroitsUtilisateur(rights);
        }
        control_->setTheClient(std::make_shared<platform::Client>(platform::Client{"alice", "base.db"}));
        if (database) control_->setTheDatabase(std::move(database));
        if (settings.init) control_->Init();
    }

    // Chooses a period by its name in the combo box ("NOVEMBRE 2026").
    ControlWorld& period(const std::string& name) {
        const int index = control_->Cbo_PeriodePaie->findText(QString::fromStdString(name));
        EXPECT_GE(index, 0) << name << " is not offered";
        control_->Cbo_PeriodePaie->setCurrentIndex(index);
        return *this;
    }

    // Selects the associations of these codes among the possible ones and moves them.
    ControlWorld& select(const std::vector<std::string>& codes) {
        for (const std::string& code : codes) {
            const auto found = control_->Lst_Possible->findItems(QString::fromStdString(code + " "), Qt::MatchStartsWith);
            EXPECT_FALSE(found.isEmpty()) << "no association " << code;
            for (QListWidgetItem* item : found) item->setSelected(true);
        }
        control_->Cmd_Select_Click();
        return *this;
    }

    void print() { control_->Cmd_Imprimer_Click(); }
    void reprint() { control_->Cmd_Reedition_Click(); }
    void preview() { control_->Cmd_Apercu_Click(); }
    void release() { control_.reset(); }
    control::Ctr_Tessaran& control() { return *control_; }

    std::shared_ptr<FixedUserRights> rights;

private:
    platform::ScriptedPrinterChoice previewPrinters_{{0, 1}, {"Aperçu"}};
    std::unique_ptr<control::Ctr_Tessaran> control_;  // destroyed first, before the services it uses
};

}  // namespace tessaran::testing
