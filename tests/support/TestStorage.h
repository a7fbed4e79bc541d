#pragma once
// Where a test's new database goes. By default SQLite: the path given (":memory:" for a
// private one). When TESSARAN_TEST_POSTGRES_STATE names the file in which the throwaway
// PostgreSQL cluster wrote its address (tests/postgres/cluster.sh), every new database is a
// fresh schema of that server instead, so the same tests run on both storages.

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "database/MultivalueDatabase.h"
#include "database/OpenDatabase.h"
#include "database/PostgresConnection.h"

namespace tessaran::testing {

// The throwaway server's address, or empty when the tests run on SQLite.
inline const std::string& testServer() {
    static const std::string address = [] {
        const char* state = std::getenv("TESSARAN_TEST_POSTGRES_STATE");
        if (state == nullptr || *state == '\0') return std::string();
        std::ifstream in(state);
        std::string uri;
        if (!std::getline(in, uri) || uri.empty())
            throw std::runtime_error(std::string("no PostgreSQL test server address in ") + state);
        return uri;
    }();
    return address;
}

inline bool testsOnServer() { return !testServer().empty(); }

// A new, empty schema on the test server, as a location its tables go to.
inline std::string newServerSchema() {
    static std::atomic<int> made{0};
    const std::string schema = "t" + std::to_string(getpid()) + "_" + std::to_string(++made);
    db::postgres::Connection(testServer()).execute("CREATE SCHEMA " + schema);
    return testServer() + "&options=-csearch_path%3D" + schema;
}

// Where a new database for a test goes: `path` on SQLite, a new schema on the server.
inline std::string newDatabaseLocation(const std::string& path) {
    return testsOnServer() ? newServerSchema() : path;
}

inline std::shared_ptr<db::MultivalueDatabase> newTestDatabase(const std::string& path = ":memory:") {
    return db::createDatabase(newDatabaseLocation(path));
}

}  // namespace tessaran::testing
