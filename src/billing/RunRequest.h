#pragma once
// What a run is asked to do: the pay period, the associations in the user's order, and which
// run. Built once, by the control from its panel or by the command line from its options.

#include <string>
#include <vector>

namespace tessaran::billing {

enum class RunKind {
    Print,    // prints and records the fees, invoice numbers, complementary flows and counter
    Reprint,  // prints again what earlier print runs recorded; writes nothing
    Preview,  // the print run in a transaction that is rolled back: writes nothing, ever
};

struct RunRequest {
    std::string period;                     // "yyyymm"
    std::vector<std::string> associations;  // association codes, in the user's order
    RunKind kind = RunKind::Print;
    int copies = 0;                         // 0: as many as the printer choice says
};

}  // namespace tessaran::billing
