#pragma once
// The application's rights library as the control uses it: the user's rights object answers,
// for one function key, a per-function object that carries a right level.

#include <memory>
#include <string>

namespace tessaran::platform {

class FunctionRights {
public:
    virtual ~FunctionRights() = default;
    // The right level of the user for this function; throws when it cannot be read.
    virtual int level() const = 0;
};

class UserRights {
public:
    virtual ~UserRights() = default;
    virtual std::shared_ptr<FunctionRights> rightsOf(const std::string& functionKey) = 0;
};

}  // namespace tessaran::platform
