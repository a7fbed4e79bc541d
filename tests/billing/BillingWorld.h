#pragma once
// A control on a real database, driven through its panel as a user would: the rights, the
// database, Init, a period chosen in the combo box, associations moved into the selection.
// Messages, pointer, progress and the printed pages are recorded.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
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
#include "support/ControlTestAccess.h"

namespace tessaran::testing {

class FixedUserRights : public platform::UserRights {
public:
    explicit FixedUserRights(int level) : level_(level) {}
    std::shared_ptr<platform::FunctionRights> rightsOf(const std::string&) override {
        return std::make_shared<platform::FixedFunctionRights>(level_);
    }

private:
    int level_;
};

// Recording UI services that also hand every progress report to a hook.
class HookedUiServices : public platform::RecordingUiServices {
public:
    void progress(int done, int total) override {
        RecordingUiServices::progress(done, total);
        if (onProgress) onProgress(done, total);
    }
    std::function<void(int done, int total)> onProgress;
};

// A directory of its own under the system's temporary directory, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaran-billing-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Creates a database file holding the records of `json`.
inline std::shared_ptr<db::SqliteDatabase> createDatabase(const std::string& path, const std::string& json) {
    auto database = db::SqliteDatabase::create(path);
    db::importJson(*database, json);
    return database;
}

// The control, its doors to the platform and its database, ready for a run.
class BillingWorld {
public:
    explicit BillingWorld(std::shared_ptr<db::SqliteDatabase> database, platform::PrinterPick pick = {0, 1},
                          std::vector<std::string> printerNames = {"Imprimante de test"})
        : database_(std::move(database)), printers_(pick, std::move(printerNames)), clock_({2026, 12, 6}) {
        control::resetDataModule();
        control_ = std::make_unique<control::Ctr_Tessaran>(
            control::ControlServices{&ui_, &printers_, &clock_, nullptr});
        control_->setDroitsUtilisateur(std::make_shared<FixedUserRights>(2));
        control_->setTheClient(std::make_shared<platform::Client>());
        control_->setTheDatabase(database_);
        control_->Init();
    }
    BillingWorld(const BillingWorld&) = delete;
    BillingWorld& operator=(const BillingWorld&) = delete;
    ~BillingWorld() {
        control_.reset();
        control::resetDataModule();
    }

    // Chooses a period by its name in the combo box ("NOVEMBRE 2026").
    BillingWorld& period(const std::string& name) {
        const int index = control_->Cbo_PeriodePaie->findText(QString::fromStdString(name));
        EXPECT_GE(index, 0) << name << " is not offered";
        control_->Cbo_PeriodePaie->setCurrentIndex(index);
        return *this;
    }

    // Selects the associations of these codes in the list of possible ones and moves them
    // into the selection with "------>".
    BillingWorld& select(const std::vector<std::string>& codes) {
        for (const std::string& code : codes) {
            bool found = false;
            for (int i = 0; i < control_->Lst_Possible->count(); ++i) {
                QListWidgetItem* item = control_->Lst_Possible->item(i);
                if (item->text().startsWith(QString::fromStdString(code + " "))) {
                    item->setSelected(true);
                    found = true;
                }
            }
            EXPECT_TRUE(found) << "no association " << code;
        }
        control_->Cmd_Select_Click();
        return *this;
    }

    void print() { control_->Cmd_Imprimer_Click(); }
    void reprint() { control_->Cmd_Reedition_Click(); }

    control::Ctr_Tessaran& control() { return *control_; }
    control::ControlTestAccess members() { return control::ControlTestAccess(*control_); }
    HookedUiServices& ui() { return ui_; }
    platform::ScriptedPrinterChoice& printers() { return printers_; }
    db::SqliteDatabase& database() { return *database_; }

    // A stored record, read afresh; empty when there is none.
    db::DynamicArray record(const std::string& file, const std::string& key) {
        for (const auto& [storedKey, contents] : database_->records(file)) {
            if (storedKey == key) return contents;
        }
        return {};
    }
    std::vector<std::string> keys(const std::string& file) {
        std::vector<std::string> result;
        for (const auto& entry : database_->records(file)) result.push_back(entry.first);
        return result;
    }
    std::string exported() { return db::exportJson(*database_); }

    // The printed pages as text.
    std::vector<std::string> pages() const {
        const auto output = printers_.lastOutput();
        return output ? output->pagesAsText() : std::vector<std::string>{};
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : ui_.messages) texts.push_back(message.text);
        return texts;
    }

private:
    std::shared_ptr<db::SqliteDatabase> database_;
    HookedUiServices ui_;
    platform::ScriptedPrinterChoice printers_;
    platform::FixedClock clock_;
    std::unique_ptr<control::Ctr_Tessaran> control_;
};

}  // namespace tessaran::testing
