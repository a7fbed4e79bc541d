#pragma once
// A deterministic generator of billing data for benchmarks and load trials: associations with
// their sectors, fee scales and parameters, funding bodies, and accounting flows for a number
// of months. The current month's flows wait to be invoiced; earlier months are invoiced, as a
// print run leaves them. The same settings always give the same records.

#include <cstdint>
#include <string>
#include <vector>

namespace tessaran::db { class SqliteDatabase; }

namespace tessaran::bench {

struct GeneratorSettings {
    int associations = 60;          // codes A00, A01, ... (3 characters)
    int sectors = 5;                // each association works in 1 to 3 of them
    int fundingBodies = 25;         // codes 101, 102, ...; plus "000" flows without one
    int flowsPerMonth = 50000;
    int months = 1;                 // the current month and months - 1 earlier ones
    std::string currentPeriod = "202611";
    std::uint64_t seed = 1;
    // Varied shapes, for the characterization corpus: associations without accounting
    // parameters or fee scale, long names, fee scales with several items (charges, credits,
    // zero) and per-funding-body entries, funding bodies without a rate of their own, flows
    // without hours or amounts. Off, the data is exactly what the benchmarks were measured on.
    bool varied = false;
};

struct GeneratedData {
    std::vector<std::string> associationCodes;  // in code order
    std::string currentPeriod;
    int currentFlows = 0;                       // flows waiting to be invoiced in the current period
    int totalFlows = 0;
};

// Writes everything into `database` (normally a new one) in one transaction.
GeneratedData generate(db::SqliteDatabase& database, const GeneratorSettings& settings);

// The period `monthsBack` months before `period` ("yyyymm").
std::string periodBefore(const std::string& period, int monthsBack);

}  // namespace tessaran::bench
