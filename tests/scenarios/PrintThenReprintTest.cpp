// End to end on the demo federation: print a month for every association, then reprint it.
// The reprint shows the same documents from what the print recorded: the same statements,
// the same invoice numbers and figures. Only the extra lines of the recaps and invoices come
// from elsewhere (the fee scale in a print, the recorded complementary flows in a reprint),
// and the invoice fee of a line charged at the scale's default is rounded per flow in the
// reprint; the reprint writes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "support/ControlWorld.h"
#include "platform/NumberText.h"

namespace tessaran::testing {
namespace {

std::string demoJson() {
    const char* resources = std::getenv("TESSARAN_RESOURCE_DIR");
    return readText(std::string(resources ? resources : "resources") + "/demo/demo.json");
}

std::vector<std::string> linesOf(const std::string& page) {
    std::vector<std::string> lines;
    std::istringstream in(page);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

enum class Document { Statement, Recap, Invoice, Unknown };

Document documentOf(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.find("ETAT RECAPITULATIF DE FACTURATION DE") != std::string::npos) return Document::Recap;
        if (line.find("ETAT DE FACTURATION DE") != std::string::npos) return Document::Statement;
        if (line.find("FACTURE DES FRAIS DE GESTION DE") != std::string::npos) return Document::Invoice;
    }
    return Document::Unknown;
}

// A page cut in three: everything down to the column headings, the detail lines that follow
// them up to the first blank line, and the rest (extra lines, totals).
struct PageParts {
    std::vector<std::string> heading, details, rest;
};

PageParts partsOf(const std::vector<std::string>& lines) {
    PageParts parts;
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        parts.heading.push_back(lines[i]);
        if (lines[i].find("LIBELLE") != std::string::npos && lines[i].find("PERIODE") != std::string::npos) break;
    }
    for (++i; i < lines.size() && lines[i].empty(); ++i) {
    }
    for (; i < lines.size() && !lines[i].empty(); ++i) parts.details.push_back(lines[i]);
    for (; i < lines.size(); ++i) parts.rest.push_back(lines[i]);
    return parts;
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
    auto database = databaseFrom(demoJson());
    std::vector<std::string> printed;
    {
        ControlWorld world(database);
        world.control().Cmd_Tous_Click();
        world.period("NOVEMBRE 2026").print();
        printed = world.pages();
        EXPECT_EQ(world.ui().messages.size(), 2u);  // a fee scale and a parameter record missing
    }
    const std::string afterPrint = db::exportJson(*database);

    ControlWorld world(database);
    world.control().Cmd_Tous_Click();
    world.period("NOVEMBRE 2026").reprint();
    const std::vector<std::string> reprinted = world.pages();
    EXPECT_TRUE(world.ui().messages.empty());
    EXPECT_EQ(db::exportJson(*database), afterPrint);

    ASSERT_EQ(reprinted.size(), printed.size());
    int statements = 0, recaps = 0, invoices = 0, roundedFees = 0, invoicesWithExtraLines = 0;
    for (std::size_t p = 0; p < printed.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const auto before = linesOf(printed[p]);
        const auto after = linesOf(reprinted[p]);
        const Document document = documentOf(before);
        ASSERT_EQ(documentOf(after), document);
        if (document == Document::Statement) {
            // Statements, their complementary lines included, are printed identically.
            ++statements;
            EXPECT_EQ(after, before);
            continue;
        }
        const PageParts was = partsOf(before);
        const PageParts is = partsOf(after);
        // Same heading: association, period, invoice number.
        EXPECT_EQ(is.heading, was.heading);
        ASSERT_EQ(is.details.size(), was.details.size());
        if (document == Document::Recap) {
            ++recaps;
            EXPECT_EQ(is.details, was.details);
            continue;
        }
        ASSERT_EQ(document, Document::Invoice);
        ++invoices;
        // Invoice lines (the fee is the last field): label, period, hours, amount and scale
        // value alike; the fee within
        // the rounding of a fee charged at the scale's default.
        for (std::size_t l = 0; l < was.details.size(); ++l) {
            const std::string& a = was.details[l];
            const std::string& b = is.details[l];
            const std::size_t feeA = a.find_last_of(' ') + 1;
            const std::size_t feeB = b.find_last_of(' ') + 1;
            EXPECT_EQ(b.substr(0, feeB), a.substr(0, feeA));
            const double feeBefore = platform::textToNumber(a.substr(feeA));
            const double feeAfter = platform::textToNumber(b.substr(feeB));
            EXPECT_NEAR(feeAfter, feeBefore, 0.05) << a << "\n" << b;
            if (feeAfter != feeBefore) ++roundedFees;
        }
        // A one-sector association's extra lines come back from its complementary flows.
        const auto labelsAfter = extraLabels(is.rest);
        if (!labelsAfter.empty()) {
            ++invoicesWithExtraLines;
            EXPECT_EQ(labelsAfter, extraLabels(was.rest));
        }
    }
    EXPECT_GT(statements, 0);
    EXPECT_GT(recaps, 0);
    EXPECT_GT(invoices, 0);
    EXPECT_GT(invoicesWithExtraLines, 0);
    EXPECT_GT(roundedFees, 0);
}

}  // namespace
}  // namespace tessaran::testing
