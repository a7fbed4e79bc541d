#include "PrintingFixture.h"

#include <QApplication>
#include <QComboBox>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "control/DataModule.h"
#include "database/Exchange.h"
#include "database/SqliteDatabase.h"

namespace tessaran::printing_test {
namespace {

// The widgets of the control need an application object, created once for the program.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance() == nullptr) application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_printing";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// Draws on the recording kept by the test, which outlives the printer.
class ForwardingSink : public platform::PageSink {
public:
    explicit ForwardingSink(std::shared_ptr<platform::PageSink> target) : target_(std::move(target)) {}
    void drawText(double x, double y, const std::string& text, const platform::Font& font) override {
        target_->drawText(x, y, text, font);
    }
    void drawLine(double x1, double y1, double x2, double y2, int width) override {
        target_->drawLine(x1, y1, x2, y2, width);
    }
    void newPage() override { target_->newPage(); }
    void endDocument() override { target_->endDocument(); }

private:
    std::shared_ptr<platform::PageSink> target_;
};

const char* const kFederation = R"({
  "ASSOCIATION": {"001": {"1": "FEDERATION DES SERVICES", "3": "12 RUE DES LILAS", "5": "BATIMENT B",
                          "7": "BP 14", "8": "75011", "9": "PARIS"}},
  "FEDEASSOC": {
    "A01": {"1": "AIDE ET PRESENCE", "3": "3 PLACE DU MARCHE", "8": "69002", "9": "LYON", "41": "S01"},
    "A02": {"1": "SERVICES REUNIS", "4": "ROUTE DU LAC", "7": "LIEU-DIT LES PINS", "8": "74000", "9": "ANNECY",
            "41": ["S01", "S02"]}},
  "SECTEUR": {"S01": {"1": "AIDE A DOMICILE"}, "S02": {"1": "PORTAGE DE REPAS"}},
  "ORGPRISECHARGE": {"100": {"1": "CAISSE REGIONALE", "18": "P"}, "200": {"1": "CONSEIL GENERAL", "18": "C"}},
  "BAREMEFEDEASSO": {
    "A01": {"1": "0", "2": "150", "3": ["COTISATION ANNUELLE", "REMISE FIDELITE"], "4": ["12050", "-3000"]},
    "A02": {"1": "0", "2": "150", "3": ["ADHESION", "REMISE", "GRATUIT"], "4": ["5000", "-2500", "0"]},
    "A03": {"1": "0", "2": "150"}}
})";

}  // namespace

void PrintingTest::SetUp() {
    control::resetDataModule();
    auto database = db::SqliteDatabase::create(":memory:");
    db::importJson(*database, kFederation);
    control::dataModule().database = database;
    control::dataModule().Ouvre_Fichiers();

    control = std::make_unique<control::Ctr_Tessaran>(control::ControlServices{&ui, &printers, &clock, {}});
    control->Cbo_PeriodePaie->addItem(QStringLiteral("NOVEMBRE 2026"));
    printTo(std::make_unique<ForwardingSink>(output));
    access().TwipsParCm() = 567;
    access().CodeAssoCourante() = "A01";
    access().SecteurCourant() = "S01";
    access().NumFacture() = "0000000042";
    access().ModeImpression() = true;
    access().Detail() = std::make_shared<db::DynamicArray>();
    access().Cumul() = std::make_shared<db::DynamicArray>();
    load("ASSOCIATION", "001");
    load("FEDEASSOC", "A01");
    load("BAREMEFEDEASSO", "A01");
    load("ORGPRISECHARGE", "100");
}

void PrintingTest::TearDown() {
    control.reset();
    control::resetDataModule();
}

void PrintingTest::load(const std::string& file, const std::string& key) {
    auto& slot = control::dataModule().slot(file);
    slot.record = slot.file->Read(key);
}

void PrintingTest::importRecords(const std::string& json) {
    db::importJson(dynamic_cast<db::SqliteDatabase&>(*control::dataModule().database), json);
}

void PrintingTest::printTo(std::unique_ptr<platform::PageSink> sink) {
    access().Printer_() = std::make_unique<platform::Printer>(std::move(sink), "Imprimante de test");
}

void PrintingTest::addLine(db::DynamicArray& accumulator, const std::vector<std::string>& values) {
    const int line = accumulator.DCount() + 1;
    for (std::size_t v = 0; v < values.size(); ++v) accumulator.set(line, static_cast<int>(v) + 1, values[v]);
}

std::vector<std::string> PrintingTest::pageLines(int page) const {
    const auto pages = output->pagesAsText();
    std::vector<std::string> lines;
    if (page >= static_cast<int>(pages.size())) return lines;
    std::istringstream in(pages[static_cast<std::size_t>(page)]);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    lines.resize(std::max<std::size_t>(lines.size(), 64));  // rows up to the balance line
    return lines;
}

int PrintingTest::countOn(int page, const std::string& part) const {
    const auto lines = pageLines(page);
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& line) { return line.find(part) != std::string::npos; }));
}

platform::RecordedOp PrintingTest::textItem(const std::string& part) const {
    for (const auto& op : output->ops()) {
        if (op.kind == platform::RecordedOp::Kind::Text && op.text.find(part) != std::string::npos) return op;
    }
    ADD_FAILURE() << "no text item contains \"" << part << "\"";
    return {};
}

std::vector<Rule> PrintingTest::rulesOf(int page) const {
    const auto cm = [](double twips) { return std::round(twips / kCm * 10) / 10; };
    std::vector<Rule> found;
    for (const auto& op : output->ops()) {
        if (op.kind == platform::RecordedOp::Kind::Line && op.page == page) {
            found.push_back({cm(op.x), cm(op.y), cm(op.x2), cm(op.y2)});
        }
    }
    return found;
}

std::ostream& operator<<(std::ostream& out, const Rule& rule) {
    return out << "(" << rule.x1 << ", " << rule.y1 << ")-(" << rule.x2 << ", " << rule.y2 << ")";
}

std::vector<Rule> headingBoxRules() {
    std::vector<Rule> rules = {{0.1, 6.7, 19.5, 6.7}, {0.1, 7.5, 19.5, 7.5}, {0.1, 6.7, 0.1, 7.5}, {19.5, 6.7, 19.5, 7.5}};
    for (double x : {6.5, 9.6, 11.7, 14.2, 16.8}) rules.push_back({x, 6.7, x, 7.5});
    return rules;
}

std::vector<Rule> bodyRules(double bottomCm) {
    std::vector<Rule> rules;
    for (double x : {0.1, 6.5, 9.6, 11.7, 14.2, 16.8, 19.5}) rules.push_back({x, 7.5, x, bottomCm});
    rules.push_back({0.1, bottomCm, 19.5, bottomCm});
    return rules;
}

std::vector<Rule> joined(std::vector<Rule> a, const std::vector<Rule>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace tessaran::printing_test
