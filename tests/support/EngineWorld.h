#pragma once
// The billing engine on a database, with its message box, progress and printer choice
// recorded and a fixed day: runs are requested as the control or the command line would.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Files.h"
#include "TestStorage.h"
#include "billing/BillingEngine.h"
#include "database/Exchange.h"
#include "database/MultivalueDatabase.h"
#include "platform/RecordingUiServices.h"
#include "platform/ScriptedPrinterChoice.h"
#include "platform/SystemClock.h"

namespace tessaran::testing {

// A new test database holding `json`: at `location` (from newDatabaseLocation), or private.
inline std::shared_ptr<db::MultivalueDatabase> databaseFrom(const std::string& json, const std::string& location = {}) {
    auto database = location.empty() ? newTestDatabase() : db::createDatabase(location);
    if (!json.empty()) db::importJson(*database, json);
    return database;
}

// Recorded UI services with hooks on yield and progress, and a cancel that tests can press.
class HookedUiServices : public platform::RecordingUiServices {
public:
    void yield() override {
        RecordingUiServices::yield();
        if (onYield) onYield();
    }
    void progress(int done, int total) override {
        RecordingUiServices::progress(done, total);
        if (onProgress) onProgress(done, total);
    }
    bool cancelRequested() override { return cancel; }
    std::function<void()> onYield;
    std::function<void(int done, int total)> onProgress;
    bool cancel = false;
};

// What the engine and the control worlds share: recorded UI services, a scripted printer
// choice whose pages are kept, a fixed day, and the database read back.
class RecordedWorld {
public:
    RecordedWorld(std::shared_ptr<db::MultivalueDatabase> database, platform::PrinterPick pick,
                  platform::CalendarDate today = {2026, 12, 6})
        : database_(std::move(database)), printers_(pick), clock_(today) {}

    // A stored record, read afresh; empty when there is none.
    db::DynamicArray record(const std::string& file, const std::string& key) const {
        for (const auto& [storedKey, contents] : database_->records(file)) {
            if (storedKey == key) return contents;
        }
        return {};
    }
    std::string exported() const { return db::exportJson(*database_); }
    std::shared_ptr<const platform::RecordingPageSink> output() const { return printers_.lastOutput(); }
    std::vector<std::string> pages() const { return output() ? output()->pagesAsText() : std::vector<std::string>{}; }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : ui_.messages) texts.push_back(message.text);
        return texts;
    }
    HookedUiServices& ui() { return ui_; }
    platform::ScriptedPrinterChoice& printers() { return printers_; }

protected:
    std::shared_ptr<db::MultivalueDatabase> database_;
    HookedUiServices ui_;
    platform::ScriptedPrinterChoice printers_;
    platform::FixedClock clock_;
};

class EngineWorld : public RecordedWorld {
public:
    explicit EngineWorld(std::shared_ptr<db::MultivalueDatabase> database, platform::PrinterPick pick = {0, 1})
        : RecordedWorld(std::move(database), pick), files_(std::make_unique<billing::DataFiles>(database_)) {}

    billing::RunOutcome run(billing::RunKind kind, const std::string& period, const std::vector<std::string>& codes) {
        platform::PrinterChoice& printers = otherPrinters != nullptr ? *otherPrinters : printers_;
        return billing::runBilling(*files_, {ui_, printers, clock_, [this](bool on) { enabledStates.push_back(on); }},
                                   {period, codes, kind});
    }
    billing::RunOutcome print(const std::string& period, const std::vector<std::string>& codes) {
        return run(billing::RunKind::Print, period, codes);
    }
    billing::RunOutcome reprint(const std::string& period, const std::vector<std::string>& codes) {
        return run(billing::RunKind::Reprint, period, codes);
    }
    billing::RunOutcome preview(const std::string& period, const std::vector<std::string>& codes) {
        return run(billing::RunKind::Preview, period, codes);
    }

    db::MultivalueDatabase& database() { return *database_; }
    billing::DataFiles& files() { return *files_; }
    std::vector<bool> enabledStates;                   // what the view was told, in order
    platform::PrinterChoice* otherPrinters = nullptr;  // in place of the scripted choice

private:
    std::unique_ptr<billing::DataFiles> files_;
};

// Occurrences of `text` on all pages.
inline int occurrences(const std::vector<std::string>& pages, const std::string& text) {
    int count = 0;
    for (const std::string& page : pages) {
        for (std::size_t at = page.find(text); at != std::string::npos; at = page.find(text, at + 1)) ++count;
    }
    return count;
}

}  // namespace tessaran::testing
