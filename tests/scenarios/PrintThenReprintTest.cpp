// End to end on the demo federation: print a month for every association, then reprint it.
// The reprint shows the same documents from what the print recorded: the same statements,
// the same invoice numbers and figures to the cent. Only the extra lines of the recaps and
// invoices, and so their totals, come from elsewhere (the fee scale in a print, the recorded
// complementary flows in a reprint); the reprint writes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/EngineWorld.h"

namespace tessaran::testing {
namespace {

std::string demoJson() {
    const char* resources = std::getenv("TESSARAN_RESOURCE_DIR");
    return readText(std::string(resources ? resources : "resources") + "/demo/demo.json");
}

// Where the detail lines of a page end: at the first blank line after them (they start
// after the column headings and the blank lines under them).
std::size_t endOfDetails(const std::string& page) {
    return page.find("\n\n", page.find_first_not_of('\n', page.find('\n', page.find("LIBELLE"))));
}

// The labels of the extra lines printed after the detail lines (totals left out).
std::vector<std::string> extraLabels(const std::string& page) {
    std::vector<std::string> labels;
    std::istringstream rest(page.substr(std::min(endOfDetails(page), page.size())));
    for (std::string line; std::getline(rest, line);) {
        if (!line.empty() && line.find("Total") == std::string::npos) labels.push_back(line.substr(0, line.find("  ")));
    }
    return labels;
}

TEST(PrintThenReprint, ReprintShowsWhatThePrintRecordedAndWritesNothing) {
    EngineWorld world(databaseFrom(demoJson()));
    std::vector<std::string> codes;
    for (const auto& [code, association] : world.database().records("FEDEASSOC")) codes.push_back(code);

    const billing::RunOutcome print = world.print("202611", codes);
    const std::vector<std::string> printed = world.pages();
    EXPECT_EQ(print.end, billing::RunEnd::Printed);
    EXPECT_EQ(print.messages.size(), 2u);  // a fee scale and a parameter record missing
    const std::string afterPrint = world.exported();

    const billing::RunOutcome reprint = world.reprint("202611", codes);
    const std::vector<std::string> reprinted = world.pages();
    EXPECT_EQ(reprint.end, billing::RunEnd::Printed);
    EXPECT_TRUE(reprint.messages.empty());
    EXPECT_EQ(world.exported(), afterPrint);

    ASSERT_EQ(reprinted.size(), printed.size());
    int invoicesWithExtraLines = 0;
    for (std::size_t p = 0; p < printed.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const std::string &was = printed[p], &is = reprinted[p];
        // Statements, their complementary lines included, are printed identically; recaps and
        // invoices down to their last detail line (association, period, invoice number, lines).
        if (was.find("ETAT DE FACTURATION DE") != std::string::npos) { EXPECT_EQ(is, was); }
        EXPECT_EQ(is.substr(0, endOfDetails(is)), was.substr(0, endOfDetails(was)));
        // A one-sector association's extra lines come back from its complementary flows.
        if (was.find("FACTURE DES FRAIS DE GESTION") != std::string::npos && !extraLabels(is).empty()) {
            ++invoicesWithExtraLines;
            EXPECT_EQ(extraLabels(is), extraLabels(was));
        }
    }
    for (const char* title : {"ETAT DE FACTURATION", "ETAT RECAPITULATIF"}) EXPECT_GT(occurrences(printed, title), 0);
    EXPECT_GT(invoicesWithExtraLines, 0);
}

}  // namespace
}  // namespace tessaran::testing
