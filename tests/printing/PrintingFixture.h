#pragma once
// A control ready to print November 2026 for association A01, sector S01, invoice 42, its
// records in their slots and its pages recorded; tests call the page procedures directly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/RecordingPageSink.h"
#include "support/ControlWorld.h"

namespace tessaran::printing_test {

inline constexpr double kCm = 567;
inline constexpr double kFirstLineY = 7.5 * kCm + 227;  // first table line under the heading box

// A rule in centimetres, rounded to the millimetre.
struct Rule {
    double x1, y1, x2, y2;
    friend bool operator==(const Rule&, const Rule&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rule& r) {
        return out << "(" << r.x1 << ", " << r.y1 << ")-(" << r.x2 << ", " << r.y2 << ")";
    }
};

inline std::vector<Rule> joined(std::vector<Rule> a, const std::vector<Rule>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::vector<Rule> headingBoxRules() {
    std::vector<Rule> rules = {{0.1, 6.7, 19.5, 6.7}, {0.1, 7.5, 19.5, 7.5}, {0.1, 6.7, 0.1, 7.5}, {19.5, 6.7, 19.5, 7.5}};
    for (double x : {6.5, 9.6, 11.7, 14.2, 16.8}) rules.push_back({x, 6.7, x, 7.5});
    return rules;
}

inline std::vector<Rule> bodyRules(double bottomCm = 24) {
    std::vector<Rule> rules;
    for (double x : {0.1, 6.5, 9.6, 11.7, 14.2, 16.8, 19.5}) rules.push_back({x, 7.5, x, bottomCm});
    rules.push_back({0.1, bottomCm, 19.5, bottomCm});
    return rules;
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.period("NOVEMBRE 2026");
        auto a = access();
        a.startPrinter(0);
        output = world.printers().lastOutput();
        a.TwipsParCm() = 567;
        a.CodeAssoCourante() = "A01";
        a.SecteurCourant() = "S01";
        a.NumFacture() = "0000000042";
        a.ModeImpression() = true;
        a.Detail() = std::make_shared<db::DynamicArray>();
        a.Cumul() = std::make_shared<db::DynamicArray>();
        for (const auto& [file, key] : {std::pair{"ASSOCIATION", "001"}, {"FEDEASSOC", "A01"},
                                        {"BAREMEFEDEASSO", "A01"}, {"ORGPRISECHARGE", "100"}}) {
            load(file, key);
        }
    }

    static void load(const std::string& file, const std::string& key) {
        auto& slot = control::dataModule().slot(file);
        slot.record = slot.file->Read(key);
    }
    // Appends a line (values 1 to 7) to an accumulator.
    static void addLine(db::DynamicArray& accumulator, const std::vector<std::string>& values) {
        const int line = accumulator.DCount() + 1;
        for (std::size_t v = 0; v < values.size(); ++v) accumulator.set(line, static_cast<int>(v) + 1, values[v]);
    }

    void importRecords(const std::string& json) { db::importJson(*database, json); }
    platform::Printer& printer() { return *access().Printer_(); }
    control::ControlTestAccess access() { return world.members(); }

    // The text rendition of a page, 0-based rows, down to the balance line at least.
    std::vector<std::string> pageLines(int page) const {
        const auto pages = output->pagesAsText();
        std::vector<std::string> lines;
        if (page < static_cast<int>(pages.size())) {
            std::istringstream in(pages[static_cast<std::size_t>(page)]);
            for (std::string line; std::getline(in, line);) lines.push_back(line);
        }
        lines.resize(std::max<std::size_t>(lines.size(), 64));
        return lines;
    }
    // The lines of a page containing `part`.
    int countOn(int page, const std::string& part) const {
        const auto lines = pageLines(page);
        return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                              [&](const std::string& l) { return l.find(part) != std::string::npos; }));
    }
    // The first text item containing `part`.
    platform::RecordedOp textItem(const std::string& part) const {
        for (const auto& op : output->ops()) {
            if (op.kind == platform::RecordedOp::Kind::Text && op.text.find(part) != std::string::npos) return op;
        }
        ADD_FAILURE() << "no text item contains \"" << part << "\"";
        return {};
    }
    std::vector<Rule> rulesOf(int page) const {
        const auto cm = [](double twips) { return std::round(twips / kCm * 10) / 10; };
        std::vector<Rule> found;
        for (const auto& op : output->ops()) {
            if (op.kind == platform::RecordedOp::Kind::Line && op.page == page) {
                found.push_back({cm(op.x), cm(op.y), cm(op.x2), cm(op.y2)});
            }
        }
        return found;
    }

    std::shared_ptr<db::SqliteDatabase> database = testing::databaseFrom(testing::testData("printing.json"));
    testing::ControlWorld world{database, {.today = {2026, 12, 3}}};
    control::Ctr_Tessaran* control = &world.control();
    std::shared_ptr<const platform::RecordingPageSink> output;
};

}  // namespace tessaran::printing_test
