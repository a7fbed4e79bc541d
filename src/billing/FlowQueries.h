#pragma once
// The select statements of the runs over FLUXCOMPTABLES.

#include <string>
#include <vector>

namespace tessaran::billing {

// True when `code` can be quoted in a statement: no double quote, no control character or
// multivalue mark, not empty, and no final "]" (which would make it a prefix).
bool canBeSelected(const std::string& code);

// The flows of `period` and the associations `codes` to print: not yet invoiced for a print
// run, already invoiced for a reprint; sorted by association, sector, funding body and billed
// period. A flow is of the period by its funding-body amount (attribute 1) or, when it has
// only a beneficiary part, by its beneficiary period (36).
// Throws std::invalid_argument for a code that cannot be selected.
std::string runFlowsStatement(const std::string& period, const std::vector<std::string>& codes, bool invoiced);

// The complementary flows a print run recorded for one association and sector in `period`,
// in key order.
std::string complementaryFlowsStatement(const std::string& period, const std::string& association,
                                        const std::string& sector);

}  // namespace tessaran::billing
