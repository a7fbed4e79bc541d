#pragma once
// The rights library over the database's rights table: the rights of one user, asked per
// function key. A user without an entry for a key has level 0.

#include <memory>
#include <string>

#include "Rights.h"

namespace tessaran::db { class MultivalueDatabase; }

namespace tessaran::platform {

inline constexpr const char* kFunctionKey = "MORVELINTASKADE";

class DatabaseUserRights : public UserRights {
public:
    DatabaseUserRights(std::shared_ptr<db::MultivalueDatabase> database, std::string user);
    std::shared_ptr<FunctionRights> rightsOf(const std::string& functionKey) override;

private:
    std::shared_ptr<db::MultivalueDatabase> database_;
    std::string user_;
};

// Fixed levels, for tests and hosts that already know them.
class FixedFunctionRights : public FunctionRights {
public:
    explicit FixedFunctionRights(int level) : level_(level) {}
    int level() const override { return level_; }

private:
    int level_;
};

}  // namespace tessaran::platform
