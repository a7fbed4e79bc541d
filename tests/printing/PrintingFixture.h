#pragma once
// The documents drawn on a recorded page output, for November 2026 printed on 3 December
// 2026, with the records of tests/data/printing.json: issuer 001, associations A01 (one
// sector) and A02 (two sectors), fee scales A01 to A03. Pages are read back as text, text
// items and rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "database/Exchange.h"
#include "support/TestStorage.h"
#include "platform/Printer.h"
#include "platform/RecordingPageSink.h"
#include "printing/DocumentInputs.h"
#include "support/Files.h"

namespace tessaran::printing_test {

inline constexpr double kCm = 567;
inline constexpr double kLine = 227;                      // a 10-point line
inline constexpr double kFirstLineY = 7.5 * kCm + kLine;  // first table line under the heading box

// A rule: x1, y1, x2, y2.
using Rule = std::array<double, 4>;

// The boxes hanging under the table: none, the invoice's hours, amount and fee boxes, or the
// statement's totals box and balance box.
enum class Boxes { kNone, kInvoice, kStatement };

// The rules of a page: the heading box, then the table body down to `bottomCm` (none when 0),
// then the boxes under it.
inline std::vector<Rule> ruledPage(double bottomCm, Boxes boxes = Boxes::kNone) {
    std::vector<Rule> rules = {{0.1, 6.7, 19.5, 6.7}, {0.1, 7.5, 19.5, 7.5}, {0.1, 6.7, 0.1, 7.5},
                               {19.5, 6.7, 19.5, 7.5}};
    for (double x : {6.5, 9.6, 11.7, 14.2, 16.8}) rules.push_back({x, 6.7, x, 7.5});
    if (bottomCm == 0) return rules;
    for (double x : {0.1, 6.5, 9.6, 11.7, 14.2, 16.8, 19.5}) rules.push_back({x, 7.5, x, bottomCm});
    rules.push_back({0.1, bottomCm, 19.5, bottomCm});
    if (boxes == Boxes::kNone) return rules;
    const double under = bottomCm + 0.7;
    for (double x : {9.6, 11.7, 14.2, 16.8, 19.5}) rules.push_back({x, bottomCm, x, under});
    const std::vector<Rule> closing =
        boxes == Boxes::kInvoice ? std::vector<Rule>{{9.6, under, 14.2, under}, {16.8, under, 19.5, under}}
                                 : std::vector<Rule>{{9.6, under, 19.5, under}, {11.7, under, 11.7, 25.4},
                                                     {16.8, under, 16.8, 25.4}, {11.7, 25.4, 16.8, 25.4}};
    rules.insert(rules.end(), closing.begin(), closing.end());
    return rules;
}

// A fresh copy of a record of the test data, free to alter.
inline std::shared_ptr<db::DynamicArray> record(const std::string& file, const std::string& key) {
    static const auto database = [] {
        auto loaded = tessaran::testing::newTestDatabase();
        db::importJson(*loaded, testing::testData("printing.json"));
        return loaded;
    }();
    return std::make_shared<db::DynamicArray>(*database->OpenFile(file)->Read(key));
}

inline printing::DocumentHeading heading(const std::string& association = "A01") {
    return {record("ASSOCIATION", "001"), record("FEDEASSOC", association), "NOVEMBRE 2026", "03/12/2026"};
}

// The items of an association's fee scale, as a print run hands them over.
inline printing::ComplementaryLines feeScale(const std::string& association) {
    const auto scale = record("BAREMEFEDEASSO", association);
    printing::ComplementaryLines items;
    for (int i = 1; i <= scale->DCount(3); ++i) items.lines.push_back({scale->get(3, i), scale->get(4, i)});
    return items;
}

// Appends `times` copies of a line (values 1 to 7) to an accumulator.
inline void addLine(db::DynamicArray& accumulator, const std::vector<std::string>& values, int times = 1) {
    for (int i = 0; i < times; ++i) {
        const int line = accumulator.DCount() + 1;
        for (std::size_t v = 0; v < values.size(); ++v) accumulator.set(line, static_cast<int>(v) + 1, values[v]);
    }
}

inline std::string totalLine(const std::string& figures) { return std::string(38, ' ') + "Total" + figures; }
inline std::string balanceLine(const std::string& figure) {
    return std::string(38, ' ') + "Solde" + std::string(18, ' ') + figure;
}

class PrintingTest : public ::testing::Test {
protected:
    // The text rendition of a page, 0-based rows, down to the balance line at least.
    std::vector<std::string> pageLines(int page) const {
        std::vector<std::string> lines;
        std::istringstream in(recording->pagesAsText().at(static_cast<std::size_t>(page)));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        lines.resize(std::max<std::size_t>(lines.size(), 64));
        return lines;
    }
    // The lines of a page containing `piece`.
    int countOn(int page, const std::string& piece) const {
        const auto lines = pageLines(page);
        const auto holds = [&](const std::string& line) { return line.find(piece) != std::string::npos; };
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), holds));
    }
    // The first text item containing `piece`.
    platform::RecordedOp textItem(const std::string& piece) const {
        for (const auto& op : recording->ops()) {
            if (op.kind == platform::RecordedOp::Kind::Text && op.text.find(piece) != std::string::npos) return op;
        }
        ADD_FAILURE() << "no text item contains \"" << piece << "\"";
        return {};
    }
    // The rules of a page in units of `unit` twips (centimetres by default), to a tenth of a unit.
    std::vector<Rule> rulesOf(int page, double unit = kCm) const {
        std::vector<Rule> found;
        for (const auto& op : recording->ops()) {
            if (op.kind != platform::RecordedOp::Kind::Line || op.page != page) continue;
            found.push_back({op.x, op.y, op.x2, op.y2});
            for (double& at : found.back()) at = std::round(at / unit * 10) / 10;
        }
        return found;
    }

    platform::RecordingPageSink* recording = new platform::RecordingPageSink;  // owned by the printer
    platform::Printer printer{std::unique_ptr<platform::PageSink>(recording), "test"};
    db::DynamicArray accumulator;  // the detail or cumul lines handed to a recap or an invoice
};

}  // namespace tessaran::printing_test
