#pragma once
// The billing statement of one sector of an association: a heading on every page (letterhead
// and date, title with the pay period, the association, the sector, the ruled column
// headings), one table line per detail line, and at its end the complementary lines (for a
// single-sector association), the totals and the balance. A full page is closed by ruling its
// table body and the statement goes on under a new heading.

#include <optional>
#include <string>

#include "platform/Printer.h"
#include "printing/DocumentInputs.h"
#include "printing/StatementLines.h"

namespace tessaran::printing {

class BillingStatement {
public:
    // `sectorName` is empty when the sector could not be read: each heading then stops
    // before the sector line.
    BillingStatement(platform::Printer& printer, DocumentHeading heading, std::optional<std::string> sectorName);

    // The heading of a page (the application's Imprime_Entete).
    void printHeading();
    // The page-break rule before a table line: a page lower than 23.5 cm is closed and a new
    // one started under a new heading.
    void breakPageIfFull();
    // One detail line, on a new page when this one is full (Imprime_Detail); its printed
    // figures add to the statement's totals.
    void printLine(const StatementLine& line);
    // The end of the statement (Imprime_Fin_Tableau): the complementary lines when given, the
    // totals and balance, and the ruled foot of the table.
    void printEnd(const ComplementaryLines* complementary);

    const PrintedFigures& totals() const { return totals_; }

private:
    void closePage();

    platform::Printer& printer_;
    DocumentHeading heading_;
    std::optional<std::string> sectorName_;
    PrintedFigures totals_;
};

}  // namespace tessaran::printing
