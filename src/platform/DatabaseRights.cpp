#include "DatabaseRights.h"

#include <stdexcept>

#include "database/MultivalueDatabase.h"

namespace tessaran::platform {

namespace {

// The rights of one user for one function key; the level is read from the rights table each
// time it is asked, so a change made meanwhile is seen.
class DatabaseFunctionRights : public FunctionRights {
public:
    DatabaseFunctionRights(std::shared_ptr<db::MultivalueDatabase> database, std::string user, std::string functionKey)
        : database_(std::move(database)), user_(std::move(user)), functionKey_(std::move(functionKey)) {}

    int level() const override { return database_->rightLevel(user_, functionKey_).value_or(0); }

private:
    std::shared_ptr<db::MultivalueDatabase> database_;
    std::string user_;
    std::string functionKey_;
};

}  // namespace

DatabaseUserRights::DatabaseUserRights(std::shared_ptr<db::MultivalueDatabase> database, std::string user)
    : database_(std::move(database)), user_(std::move(user)) {
    if (!database_) throw std::invalid_argument("user rights need a database");
}

std::shared_ptr<FunctionRights> DatabaseUserRights::rightsOf(const std::string& functionKey) {
    return std::make_shared<DatabaseFunctionRights>(database_, user_, functionKey);
}

}  // namespace tessaran::platform
