#pragma once
// A control ready to print: an in-memory database holding a small federation, the files
// open, issuer, association, fee scale and funding body in their slots, and a printer whose
// output is recorded. Tests set members, call the page procedures and read the pages back.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "control/Ctr_Tessaran.h"
#include "platform/RecordingPageSink.h"
#include "platform/RecordingUiServices.h"
#include "platform/ScriptedPrinterChoice.h"
#include "platform/SystemClock.h"
#include "support/ControlTestAccess.h"

namespace tessaran::printing_test {

inline constexpr double kCm = 567;
inline constexpr double kFirstLineY = 7.5 * kCm + 227;  // first table line under the heading box

// A rule in centimetres, rounded to the millimetre.
struct Rule {
    double x1, y1, x2, y2;
    friend bool operator==(const Rule&, const Rule&) = default;
};
std::ostream& operator<<(std::ostream& out, const Rule& rule);
std::vector<Rule> headingBoxRules();
std::vector<Rule> bodyRules(double bottomCm = 24);
std::vector<Rule> joined(std::vector<Rule> a, const std::vector<Rule>& b);

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void load(const std::string& file, const std::string& key);  // into the file's slot
    void importRecords(const std::string& json);
    void printTo(std::unique_ptr<platform::PageSink> sink);
    // Appends a line (values 1 to 7) to an accumulator.
    static void addLine(db::DynamicArray& accumulator, const std::vector<std::string>& values);

    platform::Printer& printer() { return *access().Printer_(); }
    control::ControlTestAccess access() { return control::ControlTestAccess(*control); }

    std::vector<std::string> pageLines(int page) const;  // text rendition, 0-based rows
    int countOn(int page, const std::string& part) const;  // lines of a page containing `part`
    platform::RecordedOp textItem(const std::string& part) const;  // first item containing it
    std::vector<Rule> rulesOf(int page) const;

    platform::RecordingUiServices ui;
    platform::ScriptedPrinterChoice printers;
    platform::FixedClock clock{platform::CalendarDate{2026, 12, 3}};
    std::shared_ptr<platform::RecordingPageSink> output = std::make_shared<platform::RecordingPageSink>();
    std::unique_ptr<control::Ctr_Tessaran> control;
};

}  // namespace tessaran::printing_test
