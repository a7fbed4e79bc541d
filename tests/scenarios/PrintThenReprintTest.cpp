// End to end on the demo federation: print a month for every association, then reprint it.
// The reprint shows the same documents from what the print recorded: the same statements,
// the same invoice numbers and figures to the cent. Only the extra lines of the recaps and
// invoices, and so their totals, come from elsewhere (the fee scale in a print, the recorded
// complementary flows in a reprint); the reprint writes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/EngineWorld.h"

namespace tessaran::testing {
namespace {

std::string demoJson() {
    const char* resources = std::getenv("TESSARAN_RESOURCE_DIR");
    return readText(std::string(resources ? resources : "resources") + "/demo/demo.json");
}

// A page cut in three: everything down to the column headings, the detail lines that follow
// them up to the first blank line, and the rest (extra lines, totals); with its document.
struct Page {
    std::string document;
    std::vector<std::string> heading, details, rest;
};

Page pageOf(const std::string& text) {
    Page page;
    std::vector<std::string>* into = &page.heading;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        for (const char* title : {"ETAT RECAPITULATIF DE", "ETAT DE FACTURATION DE", "FACTURE DES FRAIS DE GESTION"}) {
            if (page.document.empty() && line.find(title) != std::string::npos) page.document = title;
        }
        if (into == &page.details && line.empty() && !page.details.empty()) into = &page.rest;
        if (into != &page.details || !line.empty()) into->push_back(line);
        if (into == &page.heading && line.find("LIBELLE") != std::string::npos &&
            line.find("PERIODE") != std::string::npos) {
            into = &page.details;
        }
    }
    return page;
}

// The labels of the extra lines printed after the detail lines (totals left out).
std::vector<std::string> extraLabels(const std::vector<std::string>& rest) {
    std::vector<std::string> labels;
    for (const std::string& line : rest) {
        if (line.empty() || line.find("Total") != std::string::npos) continue;
        labels.push_back(line.substr(0, line.find("  ")));  // the label ends at the column's fill
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
    std::map<std::string, int> documents;
    int invoicesWithExtraLines = 0;
    for (std::size_t p = 0; p < printed.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const Page was = pageOf(printed[p]);
        const Page is = pageOf(reprinted[p]);
        ASSERT_EQ(is.document, was.document);
        ++documents[was.document];
        if (was.document == "ETAT DE FACTURATION DE") {
            // Statements, their complementary lines included, are printed identically.
            EXPECT_EQ(reprinted[p], printed[p]);
            continue;
        }
        // Recaps and invoices: same heading (association, period, invoice number), same lines.
        EXPECT_EQ(is.heading, was.heading);
        EXPECT_EQ(is.details, was.details);
        if (was.document != "FACTURE DES FRAIS DE GESTION") continue;
        // A one-sector association's extra lines come back from its complementary flows.
        const auto labelsAfter = extraLabels(is.rest);
        if (!labelsAfter.empty()) {
            ++invoicesWithExtraLines;
            EXPECT_EQ(labelsAfter, extraLabels(was.rest));
        }
    }
    EXPECT_EQ(documents.size(), 3u);  // statements, recaps and invoices
    EXPECT_GT(invoicesWithExtraLines, 0);
}

}  // namespace
}  // namespace tessaran::testing
