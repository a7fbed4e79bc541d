#pragma once
// How a run ended and what it did: the only thing hosts read of a run.

#include <exception>
#include <string>
#include <vector>

namespace tessaran::billing {

enum class RunEnd {
    Printed,                 // the documents were printed (and, for a print run, recorded)
    NothingToPrint,          // no flow to print, or no association that could be billed
    PrinterChoiceCancelled,  // the user cancelled the printer choice
    PrinterUnavailable,      // the chosen printer could not be opened
    DatabaseBusy,            // another print run holds the database
    RecordsNotKept,          // the records could not be kept: nothing was recorded, no document released
    DocumentNotWritten,      // the document could not be written whole: nothing was recorded
    CounterRefused,          // the invoice counter is not a usable number: nothing was done
    Cancelled,               // the user stopped the run: nothing was recorded or kept
    Failed,                  // the run could not start or select its flows (see error)
};

struct RunOutcome {
    RunEnd end = RunEnd::Failed;
    // What a print run recorded; a preview tells what a print started now would record.
    std::vector<std::string> invoiceNumbers;  // invoice numbers given, in order
    int flowsBilled = 0;                      // flows completed with their fee and invoice number
    int complementaryFlows = 0;               // complementary flows created
    int pages = 0;                            // pages of the document released, over all copies
    std::vector<std::string> messages;        // messages shown to the user, in order
    std::string error;                        // the technical detail of a failure
    // A failure the run did not tell the user about (a reprint's select that failed, an
    // unexpected error): the host reports it as it reports any failing statement.
    std::exception_ptr failure;
};

// A short English name of a run's end, for logs and tests.
const char* endName(RunEnd end);

}  // namespace tessaran::billing
