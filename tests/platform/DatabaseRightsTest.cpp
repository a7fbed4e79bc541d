// The rights library over the database's rights table.

#include <gtest/gtest.h>

#include "support/TestStorage.h"
#include "platform/DatabaseRights.h"

namespace tessaran::platform {
namespace {

TEST(DatabaseRights, LevelsComeFromTheRightsTableWhenAsked) {
    const auto database = tessaran::testing::newTestDatabase();
    database->setRightLevel("marie", kFunctionKey, 2);
    database->setRightLevel("paul", kFunctionKey, 1);
    database->setRightLevel("paul", "AUTRE", 2);

    DatabaseUserRights marie(database, "marie");
    DatabaseUserRights paul(database, "paul");
    EXPECT_EQ(marie.rightsOf(kFunctionKey)->level(), 2);
    EXPECT_EQ(paul.rightsOf(kFunctionKey)->level(), 1);
    EXPECT_EQ(paul.rightsOf("AUTRE")->level(), 2);
    EXPECT_EQ(marie.rightsOf("AUTRE")->level(), 0);
    EXPECT_EQ(DatabaseUserRights(database, "inconnu").rightsOf(kFunctionKey)->level(), 0);

    // The per-function object reads the table each time: a later grant is seen.
    const auto paulPrinting = paul.rightsOf(kFunctionKey);
    database->setRightLevel("paul", kFunctionKey, 2);
    EXPECT_EQ(paulPrinting->level(), 2);
    EXPECT_THROW(DatabaseUserRights(nullptr, "marie"), std::invalid_argument);
}

}  // namespace
}  // namespace tessaran::platform
