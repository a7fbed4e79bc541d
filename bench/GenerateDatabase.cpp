// tessaran_generate: writes generated billing data into a new database, for load trials of the
// print run (for example: tessaran print --db big.db --period 202611 --all --output big.pdf).
//
// Usage: tessaran_generate --db PATH [--associations N] [--sectors N] [--bodies N]
//                          [--flows N] [--months N] [--period YYYYMM] [--seed S] [--varied]

#include <iostream>
#include <string>

#include "DataGenerator.h"
#include "database/SqliteDatabase.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessaran_generate --db PATH [--associations N] [--sectors N] [--bodies N]\n"
    "                         [--flows N] [--months N] [--period YYYYMM] [--seed S] [--varied]\n"
    "Writes a generated federation into a new database (refuses an existing one).\n"
    "  --varied   varied shapes: missing parameters or fee scales, long names, credits...\n";

}  // namespace

int main(int argc, char** argv) {
    try {
        std::string path;
        tessaran::bench::GeneratorSettings settings;
        for (int i = 1; i < argc; ++i) {
            const std::string name = argv[i];
            if (name == "--help" || name == "-h") {
                std::cout << kUsage;
                return 0;
            }
            if (name == "--varied") {
                settings.varied = true;
                continue;
            }
            if (i + 1 >= argc) throw std::invalid_argument("option " + name + " needs a value");
            const std::string value = argv[++i];
            if (name == "--db") path = value;
            else if (name == "--associations") settings.associations = std::stoi(value);
            else if (name == "--sectors") settings.sectors = std::stoi(value);
            else if (name == "--bodies") settings.fundingBodies = std::stoi(value);
            else if (name == "--flows") settings.flowsPerMonth = std::stoi(value);
            else if (name == "--months") settings.months = std::stoi(value);
            else if (name == "--period") settings.currentPeriod = value;
            else if (name == "--seed") settings.seed = std::stoull(value);
            else throw std::invalid_argument("unknown option " + name);
        }
        if (path.empty()) throw std::invalid_argument("--db PATH is required");
        const auto database = tessaran::db::SqliteDatabase::create(path);
        const auto data = tessaran::bench::generate(*database, settings);
        database->setRightLevel("admin", "MORVELINTASKADE", 2);
        std::cout << path << ": " << data.associationCodes.size() << " associations, " << data.totalFlows
                  << " flows, " << data.currentFlows << " waiting in " << data.currentPeriod
                  << "; user admin may print.\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "tessaran_generate: " << error.what() << '\n';
        return 1;
    }
}
