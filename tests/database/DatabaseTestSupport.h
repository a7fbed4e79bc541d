#pragma once
// Helpers for the database tests: the error an action raises, a select request and the keys
// it selects, a scratch database, and the datasets.

#include <unistd.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/DatabaseError.h"
#include "database/DynamicArray.h"
#include "database/OpenDatabase.h"
#include "database/SqliteDatabase.h"
#include "support/Files.h"
#include "support/TestStorage.h"

namespace tessaran::db::testing {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using tessaran::testing::TempDir;
using tessaran::testing::testData;

// Root reads and writes whatever the permissions say: when the tests run as root, the file
// accesses of a scope run as "nobody".
class Unprivileged {
public:
    Unprivileged() : root_(geteuid() == 0) {
        [[maybe_unused]] const bool nobody = root_ && setegid(kNobody) == 0 && seteuid(kNobody) == 0;
    }
    ~Unprivileged() {
        [[maybe_unused]] const bool back = root_ && seteuid(0) == 0 && setegid(0) == 0;
    }
    bool restricted() const { return geteuid() != 0; }

private:
    static constexpr uid_t kNobody = 65534;
    const bool root_;
};

// A new database in a scratch directory removed afterwards (on the test server, when the
// tests run there).
struct ScratchDatabase {
    TempDir directory;
    std::string path = tessaran::testing::newDatabaseLocation(directory.file("base.db"));
    std::shared_ptr<MultivalueDatabase> database = createDatabase(path);
};

// The code and message of the database error `action` raises; code 0 when it raises none.
struct Raised {
    std::uint32_t code = 0;
    std::string message;
};
inline Raised raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& error) {
        return {error.code(), error.what()};
    }
    return {};
}
inline std::uint32_t codeOf(const std::function<void()>& action) { return raised(action).code; }

// A select request: statement, file, attributes to list.
inline std::string request(const std::string& statement, const std::string& file, const std::string& attributes = "0") {
    return statement + kAttributeMark + file + kAttributeMark + attributes;
}

// Value 1 of every attribute of a result list.
inline std::vector<std::string> firstValues(const DynamicArray& result) {
    std::vector<std::string> values;
    for (int i = 1; i <= result.DCount(); ++i) values.push_back(result.get(i, 1));
    return values;
}

// The keys of the activities of kind P, found through the index of attribute 12.
inline std::vector<std::string> activitiesOfKind(MultivalueDatabase& database, const std::string& kind) {
    return firstValues(database.Select(request("SSELECT ACTIVITES AVEC 12 = \"" + kind + "\"", "ACTIVITES")));
}

inline std::vector<std::string> activitiesOfKindP(MultivalueDatabase& database) {
    return activitiesOfKind(database, "P");
}

// What the selects of select-flows.json answer through each kind of index lookup, and the
// highest invoice number: one text per statement.
inline std::vector<std::string> indexAnswers(const std::function<DynamicArray(const std::string& request)>& select,
                                 const std::optional<std::string>& highest) {
    std::vector<std::string> answers;
    for (const char* statement :
         {"SSELECT FLUXCOMPTABLES AVEC 1 = \"200203\" AND AVEC 4 # \"\" AND AVEC 20 = \"\" OR AVEC 1 = \"\" AND "
          "AVEC 36 = \"200203\" AND AVEC 37 # \"1\" PAR CodeAssoc",
          "SSELECT FLUXCOMPTABLES AVEC 20 = \"00000000]\"", "SSELECT FLUXCOMPTABLES AVEC 36 = \"200202\"",
          "SSELECT FLUXCOMPTABLES AVEC 4 = \"0]\" AND AVEC 1 = \"200203\"", "SSELECT ACTIVITES AVEC 12 = \"P\""}) {
        const std::string file = std::string(statement).substr(8, std::string(statement).find(' ', 8) - 8);
        answers.push_back(select(request(statement, file)).str());
    }
    answers.push_back(highest.value_or("none"));
    return answers;
}

inline std::vector<std::string> answersOf(MultivalueDatabase& database) {
    return indexAnswers([&](const std::string& request) { return database.Select(request); },
                        database.highestNumber("FLUXCOMPTABLES", 20, 10));
}

// A record with one attribute set.
inline DynamicArray withAttribute(int attribute, const std::string& text) {
    DynamicArray record;
    record.set(attribute, text);
    return record;
}

// Inside a transaction rolled back at its end: more invoice numbers (attribute 20) of new flows
// than a batch of index entries holds, a read of the index among them, and a dropped entry
// (flow 10001A01S01200203 moved to another period).
inline void writeInvoicesThenRollBack(MultivalueDatabase& database, File& flows) {
    database.begin();
    for (int n = 0; n < 300; ++n) {
        DynamicArray flow = withAttribute(1, "200203");
        flow.set(20, std::to_string(1000000000 + n));
        flows.write("NEW" + std::to_string(1000 + n), flow);
        if (n == 200) {
            EXPECT_EQ(database.highestNumber("FLUXCOMPTABLES", 20, 10), "1000000200");
            flows.write("10001A01S01200203", withAttribute(1, "200301"));
        }
    }
    database.rollback();
}

}  // namespace tessaran::db::testing
