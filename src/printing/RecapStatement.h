#pragma once
// The recapitulative statement of a multi-sector association: every detail line of all its
// sectors, then its complementary lines, with the totals and the balance at the foot of
// every page (running totals on a page that continues, the final ones on the last page).

#include "database/DynamicArray.h"
#include "platform/Printer.h"
#include "printing/DocumentInputs.h"
#include "printing/StatementLines.h"

namespace tessaran::printing {

class RecapStatement {
public:
    RecapStatement(platform::Printer& printer, DocumentHeading heading);

    // The whole recap (Imprime_Recap): `detail` holds one line per label and period, values
    // label, period, hours, funding-body amount, fee, beneficiary amount, type code.
    void print(const db::DynamicArray& detail, const ComplementaryLines& complementary);

private:
    void printHeading();
    void printLines(const db::DynamicArray& detail);
    void printEnd(const ComplementaryLines& complementary);
    void breakPageIfFull();
    void printFoot();

    platform::Printer& printer_;
    DocumentHeading heading_;
    PrintedFigures totals_;
};

}  // namespace tessaran::printing
