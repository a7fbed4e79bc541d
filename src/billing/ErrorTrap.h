#pragma once
// The error trap of the print and reprint runs: a run goes on after a failing statement.
// Each statement is run through the trap, which remembers the code of the last failure
// (the database's own code, or one of ours for any other error) and lets the run continue
// with the next statement. Only the run drivers use it; every other procedure lets its
// errors reach the run, which then skips the rest of that procedure.

#include <cstdint>
#include <utility>

#include "database/DatabaseError.h"

namespace tessaran::billing {

namespace run_error {
inline constexpr std::uint32_t kNone = 0;
// A failure that did not come from the database component (an empty record slot, a printer
// output that failed, a conversion): the runs treat it like any other failed statement.
inline constexpr std::uint32_t kOther = 0x80040301;
}  // namespace run_error

class ErrorTrap {
public:
    // Runs one statement; returns false, remembering the error code, when it failed.
    template <typename Statement>
    bool run(Statement&& statement) {
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (const db::DatabaseError& error) {
            code_ = error.code();
        } catch (...) {
            code_ = run_error::kOther;
        }
        return false;
    }

    // Remembers a failure known without running its statement again.
    void fail(std::uint32_t code) { code_ = code; }

    // The code of the last failure since the last clear(), kNone when there was none.
    std::uint32_t code() const { return code_; }
    void clear() { code_ = run_error::kNone; }

private:
    std::uint32_t code_ = run_error::kNone;
};

}  // namespace tessaran::billing
