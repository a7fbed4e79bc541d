#pragma once
// A control on a real in-memory database, with recording UI services, a scripted printer
// choice, a fixed clock and rights of a chosen level; the data module is fresh for each test.

#include <QComboBox>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "database/Exchange.h"
#include "database/SqliteDatabase.h"
#include "platform/DatabaseRights.h"
#include "platform/RecordingUiServices.h"
#include "platform/ScriptedPrinterChoice.h"
#include "platform/SystemClock.h"

namespace tessaran::control::testing {

// Rights of one fixed level for every function key; records the keys asked for.
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

// A period and three associations whose names sort in another order than their codes.
inline const char* const kPanelData = R"({
  "PERIODESPAIE": {"1": {"1": "200203"}},
  "FEDEASSOC": {"A01": {"1": "GAMMA"}, "A02": {"1": "BETA"}, "A03": {"1": "ALPHA"}}
})";

inline std::vector<std::string> entriesOf(const QListWidget& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.count(); ++i) texts.push_back(list.item(i)->text().toStdString());
    return texts;
}

inline std::vector<std::string> entriesOf(const QComboBox& combo) {
    std::vector<std::string> texts;
    for (int i = 0; i < combo.count(); ++i) texts.push_back(combo.itemText(i).toStdString());
    return texts;
}

inline std::vector<int> selectedRows(const QListWidget& list) {
    std::vector<int> rows;
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->isSelected()) rows.push_back(i);
    }
    return rows;
}

inline std::string periodData(const std::string& currentPeriod) {
    return R"({"PERIODESPAIE": {"1": {"1": ")" + currentPeriod + R"("}}})";
}

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override { resetDataModule(); }
    void TearDown() override {
        control.reset();
        rights.reset();
        resetDataModule();
    }

    ControlServices services() {
        return ControlServices{&ui, &printers, &clock, {}};
    }

    std::shared_ptr<db::SqliteDatabase> databaseWith(const std::string& json) {
        auto database = db::SqliteDatabase::create(":memory:");
        if (!json.empty()) db::importJson(*database, json);
        return database;
    }

    // A control given rights of `level` (none when nullopt) and a database holding `json`,
    // not yet initialised.
    Ctr_Tessaran& makeControl(const std::string& json = kPanelData, std::optional<int> level = 2) {
        control = std::make_unique<Ctr_Tessaran>(services());
        rights = level ? std::make_shared<FixedUserRights>(*level) : nullptr;
        if (rights) control->setDroitsUtilisateur(rights);
        control->setTheClient(std::make_shared<platform::Client>(platform::Client{"alice", ":memory:"}));
        control->setTheDatabase(databaseWith(json));
        return *control;
    }

    Ctr_Tessaran& initialisedControl(const std::string& json = kPanelData, std::optional<int> level = 2) {
        Ctr_Tessaran& c = makeControl(json, level);
        c.Init();
        return c;
    }

    platform::RecordingUiServices ui;
    platform::ScriptedPrinterChoice printers;
    platform::FixedClock clock{platform::CalendarDate{2002, 3, 15}};
    std::shared_ptr<FixedUserRights> rights;
    std::unique_ptr<Ctr_Tessaran> control;
};

}  // namespace tessaran::control::testing
