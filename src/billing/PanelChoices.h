#pragma once
// What the user chooses a run from: the pay periods offered (the current one and the eleven
// before it) and the associations of the federation, by name.

#include <string>
#include <vector>

#include "billing/DataFiles.h"

namespace tessaran::billing {

inline constexpr int kPeriodsOffered = 12;

// The periods offered, "yyyymm", the current pay period (PERIODESPAIE "1") first, then each
// month before it. Throws when the current pay period is not a period.
std::vector<std::string> offeredPeriods(DataFiles& files);

struct AssociationChoice {
    std::string code;
    std::string name;
};

// The associations of the federation, ordered by name.
std::vector<AssociationChoice> offeredAssociations(DataFiles& files);

}  // namespace tessaran::billing
