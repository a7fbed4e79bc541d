#pragma once
// The host's client object: who is working and on which database.

#include <string>

namespace tessaran::platform {

struct Client {
    std::string userName;
    std::string databasePath;
};

}  // namespace tessaran::platform
