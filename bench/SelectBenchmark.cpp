// Times the print run's flow select for one month and every association, on a database whose
// month holds F flows, with 1 month and with 24 months of history, against reading those F
// records by key. Prints the timings and the two ratios that matter:
//   24-month select / 1-month select  (goal <= 1.3: history must not slow the month's select)
//   select / reads of the same records (goal <= 3)
//
// Usage: tessaran_bench [--flows F] [--months M] [--associations N] [--repeat R] [--seed S] [--dir DIR]
// Without --dir the databases are generated in a temporary directory and removed at the end;
// with it they are kept there, and a later run with the same settings reuses them.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "DataGenerator.h"
#include "database/Database.h"
#include "database/SqliteDatabase.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using tessaran::bench::GeneratorSettings;

struct Options {
    int flows = 50000;
    int longHistory = 24;
    int associations = 60;
    int repeat = 5;
    std::uint64_t seed = 1;
    std::string directory;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) throw std::invalid_argument("option " + name + " needs a value");
        const std::string value = argv[++i];
        if (name == "--flows") options.flows = std::stoi(value);
        else if (name == "--months") options.longHistory = std::stoi(value);
        else if (name == "--associations") options.associations = std::stoi(value);
        else if (name == "--repeat") options.repeat = std::max(1, std::stoi(value));
        else if (name == "--seed") options.seed = std::stoull(value);
        else if (name == "--dir") options.directory = value;
        else throw std::invalid_argument("unknown option " + name);
    }
    return options;
}

// The statement exactly as the print run appends it, for period P and codes A1 ... An.
std::string printRunStatement(const std::string& period, const std::vector<std::string>& codes) {
    const std::string q = "\"";
    std::string codeList = " AND AVEC CodeAssoc = " + q + codes.front() + q;
    for (std::size_t i = 1; i < codes.size(); ++i) codeList += " OR = " + q + codes[i] + q;
    const std::string notInvoiced = " AND AVEC 4 # " + q + q + " AND AVEC 20 = " + q + q;
    std::string statement = "SSELECT FLUXCOMPTABLES AVEC 1 = " + q + period + q;
    statement += notInvoiced + codeList;
    statement += " OR AVEC 1 = " + q + q + " AND AVEC 36 = " + q + period + q + " AND AVEC 37 # " + q + "1" + q;
    statement += notInvoiced + codeList;
    statement += " PAR CodeAssoc PAR CodeSecteur PAR SigleOrg PAR PeriodeFact";
    return statement;
}

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// One benchmark database: generated (or found in --dir), its request and the keys it selects.
struct Subject {
    int months = 0;
    int totalFlows = 0;
    double generation = -1;  // seconds; negative when an existing database was reused
    std::shared_ptr<tessaran::db::SqliteDatabase> database;
    std::string requestText;
    std::vector<std::string> keys;
    std::vector<double> selectTimes;
    std::vector<double> readTimes;
};

Subject prepare(const Options& options, int months, const fs::path& directory, bool reuse) {
    const std::string path = (directory / ("bench-" + std::to_string(options.flows) + "-flows-" +
                                           std::to_string(months) + "-months-seed-" + std::to_string(options.seed) + ".db"))
                                 .string();
    GeneratorSettings settings;
    settings.associations = options.associations;
    settings.flowsPerMonth = options.flows;
    settings.months = months;
    settings.seed = options.seed;

    Subject subject;
    subject.months = months;
    if (!(reuse && fs::exists(path))) {
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
        const auto start = Clock::now();
        const auto database = tessaran::db::SqliteDatabase::create(path);
        tessaran::bench::generate(*database, settings);
        subject.generation = seconds(Clock::now() - start);
    }
    // A fresh connection, as a print run would have.
    subject.database = tessaran::db::SqliteDatabase::open(path);
    subject.totalFlows = months * options.flows;

    std::vector<std::string> codes;
    for (const auto& [code, record] : subject.database->records("FEDEASSOC")) codes.push_back(code);
    const std::string period = subject.database->OpenFile("PERIODESPAIE")->Read("1")->get(1);
    tessaran::db::SelectRequest request;
    request.set(1, printRunStatement(period, codes));
    request.set(2, "FLUXCOMPTABLES");
    request.set(3, "0");
    subject.requestText = request.str();
    return subject;
}

void timeSelect(Subject& subject) {
    const auto start = Clock::now();
    const tessaran::db::DynamicArray keys = subject.database->Select(subject.requestText, "");
    subject.selectTimes.push_back(seconds(Clock::now() - start));
    subject.keys.clear();
    for (int i = 1; i <= keys.DCount(); ++i) subject.keys.push_back(keys.get(i));
}

void timeReads(Subject& subject) {
    const auto flows = subject.database->OpenFile("FLUXCOMPTABLES");
    std::size_t attributes = 0;
    const auto start = Clock::now();
    for (const std::string& key : subject.keys) attributes += static_cast<std::size_t>(flows->Read(key)->DCount());
    subject.readTimes.push_back(seconds(Clock::now() - start));
    if (attributes == 0 && !subject.keys.empty()) std::cerr << "warning: the flows read were empty\n";
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const Subject& s) {
    std::printf("%2d month(s): %8d flows", s.months, s.totalFlows);
    if (s.generation >= 0) std::printf(" (generated in %.0f s)", s.generation);
    std::printf("; select -> %d keys: %7.1f ms; %d reads by key: %7.1f ms\n", static_cast<int>(s.keys.size()),
                median(s.selectTimes) * 1000, static_cast<int>(s.keys.size()), median(s.readTimes) * 1000);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = parseOptions(argc, argv);
        const bool ownDirectory = options.directory.empty();
        fs::path directory = ownDirectory ? fs::temp_directory_path() / ("tessaran-bench-" + std::to_string(::getpid()))
                                          : fs::path(options.directory);
        fs::create_directories(directory);

        std::printf("Print run select, F = %d flows in the month, %d associations, median of %d runs\n",
                    options.flows, options.associations, options.repeat);
        std::fflush(stdout);
        Subject one = prepare(options, 1, directory, !ownDirectory);
        Subject many = prepare(options, options.longHistory, directory, !ownDirectory);

        // Warm both, then alternate the measures so that a busy machine weighs on all of them alike.
        for (Subject* subject : {&one, &many}) {
            timeSelect(*subject);
            timeReads(*subject);
            subject->selectTimes.clear();
            subject->readTimes.clear();
        }
        for (int run = 0; run < options.repeat; ++run) {
            for (Subject* subject : {&one, &many}) {
                timeSelect(*subject);
                timeReads(*subject);
            }
        }
        if (one.keys.size() != static_cast<std::size_t>(options.flows) || many.keys.size() != one.keys.size())
            std::cerr << "warning: the selects found " << one.keys.size() << " and " << many.keys.size()
                      << " flows, " << options.flows << " expected\n";
        report(one);
        report(many);

        const double historyRatio = median(many.selectTimes) / median(one.selectTimes);
        const double oneReadRatio = median(one.selectTimes) / median(one.readTimes);
        const double manyReadRatio = median(many.selectTimes) / median(many.readTimes);
        std::printf("\n%d-month select / 1-month select: %.2f (goal <= 1.3)\n", options.longHistory, historyRatio);
        std::printf("select / reads, 1 month:   %.2f (goal <= 3)\n", oneReadRatio);
        std::printf("select / reads, %d months: %.2f (goal <= 3)\n", options.longHistory, manyReadRatio);

        one.database.reset();
        many.database.reset();
        if (ownDirectory) fs::remove_all(directory);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "tessaran_bench: " << error.what() << '\n';
        return 1;
    }
}
