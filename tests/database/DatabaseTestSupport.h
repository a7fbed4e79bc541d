#pragma once
// Helpers for the database tests: the error an action raises, a select request and the keys
// it selects, a scratch database, and the datasets.

#include <unistd.h>

#include <cstdint>
#include <functional>
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

}  // namespace tessaran::db::testing
