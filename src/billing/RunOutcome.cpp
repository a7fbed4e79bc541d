#include "billing/RunOutcome.h"

namespace tessaran::billing {

const char* endName(RunEnd end) {
    switch (end) {
    case RunEnd::Printed: return "printed";
    case RunEnd::NothingToPrint: return "nothing to print";
    case RunEnd::PrinterChoiceCancelled: return "printer choice cancelled";
    case RunEnd::PrinterUnavailable: return "printer unavailable";
    case RunEnd::DatabaseBusy: return "database busy";
    case RunEnd::RecordsNotKept: return "records not kept";
    case RunEnd::DocumentNotWritten: return "document not written";
    case RunEnd::CounterRefused: return "invoice counter refused";
    case RunEnd::Cancelled: return "cancelled";
    case RunEnd::Failed: return "failed";
    }
    return "unknown";
}

}  // namespace tessaran::billing
