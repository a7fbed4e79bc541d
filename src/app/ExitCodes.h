#pragma once
// Exit codes of the `tessaran` command, documented in `tessaran --help` and docs/cli.md.

namespace tessaran::app::exit_code {
inline constexpr int kOk = 0;
inline constexpr int kUsage = 1;          // unknown command or option, missing argument
inline constexpr int kDatabase = 2;       // database missing, not ours, already exists, storage failure
inline constexpr int kRefusedInput = 3;   // import document or select statement refused
inline constexpr int kRefusedChoice = 4;  // unknown period or association, no right to print
inline constexpr int kOutput = 5;         // output file or printer unusable
inline constexpr int kNothingToPrint = 6; // the run found no flow to print or reprint
inline constexpr int kCancelled = 7;      // printer choice cancelled, or the run interrupted
inline constexpr int kNotKept = 8;        // the print run's records could not be kept: nothing recorded
inline constexpr int kBusy = 9;           // another print run held the database longer than the wait
inline constexpr int kCounter = 10;       // the invoice counter is not a usable number: nothing done
}  // namespace tessaran::app::exit_code
