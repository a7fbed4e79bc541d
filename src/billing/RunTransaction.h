#pragma once
// The database transaction of one print run: opened before the flows are selected, so that
// a run started at the same time on the same database waits for this one and then selects
// only what is still not invoiced; committed once the invoice counter is written; rolled
// back on every other way out, so that a run that stops, fails or is killed midway leaves
// the database as it was.

#include "database/Database.h"

namespace tessaran::billing {

class RunTransaction {
public:
    // Begins the transaction; throws the database's error (kBusy after its wait) when it
    // cannot.
    explicit RunTransaction(db::Database& database) : database_(database) {
        database_.begin();
        open_ = true;
    }
    RunTransaction(const RunTransaction&) = delete;
    RunTransaction& operator=(const RunTransaction&) = delete;
    ~RunTransaction() { rollback(); }

    // Keeps everything written; throws when the database refuses, having rolled back.
    void commit() {
        if (!open_) return;
        try {
            database_.commit();
            open_ = false;
        } catch (...) {
            rollback();
            throw;
        }
    }

    // Keeps nothing of what was written. Never throws.
    void rollback() noexcept {
        if (!open_) return;
        open_ = false;
        try {
            if (database_.inTransaction()) database_.rollback();
        } catch (...) {
            // The storage drops an unfinished transaction by itself when the connection ends.
        }
    }

private:
    db::Database& database_;
    bool open_ = false;
};

}  // namespace tessaran::billing
