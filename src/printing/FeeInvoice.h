#pragma once
// The management-fee invoice of an association: a heading on every page (issuer and date,
// title with the pay period, the association, the invoice number, the ruled column headings),
// one line per detail line of a funding body of type "P", the complementary lines after a
// subtotal, then the final total in the boxes under the table.
// Grid, in characters: 0 space | 1-30 label | 31-45 period | 46-54 hours |
// 55 space, 56-66 amount | 67 space, 68-78 rate, 79 space | 80-91 fee.

#include <string>

#include "database/DynamicArray.h"
#include "platform/Printer.h"
#include "printing/DocumentInputs.h"

namespace tessaran::printing {

// The invoice's totals, in hundredths.
struct InvoiceTotals {
    double hours = 0;
    double amount = 0;
    double fees = 0;
};

class FeeInvoice {
public:
    FeeInvoice(platform::Printer& printer, DocumentHeading heading, std::string invoiceNumber);

    // The whole invoice (Imprime_Frais_Gestion). `cumul` holds one line per label and period,
    // values label, period, hours, amount, scale value, fee, type code.
    void print(const db::DynamicArray& cumul, const ComplementaryLines& complementary);

    const InvoiceTotals& totals() const { return totals_; }

private:
    void printHeading();
    void printLines(const db::DynamicArray& cumul);
    void printEnd(const ComplementaryLines& complementary);
    void printFeeScaleItems(const std::vector<ComplementaryLine>& items);
    void printRecordedFlows(const std::vector<ComplementaryLine>& flows);
    void printSubtotal();
    void closePage();
    void breakPageIfFull();

    platform::Printer& printer_;
    DocumentHeading heading_;
    std::string invoiceNumber_;
    InvoiceTotals totals_;
};

}  // namespace tessaran::printing
