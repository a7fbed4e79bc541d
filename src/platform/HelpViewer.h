#pragma once
// The application's help viewer: given the client and database objects, shows a help page
// under a window title.

#include <memory>
#include <string>

namespace tessaran::db { class Database; }

namespace tessaran::platform {

struct Client;

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Shows the page (a file name under the help folder) in `mode` with `title`.
    virtual std::string show(const std::string& page, const std::string& mode, const std::string& title) = 0;
    virtual void setClient(std::shared_ptr<Client> client) = 0;
    virtual void setDatabase(std::shared_ptr<db::Database> database) = 0;
};

}  // namespace tessaran::platform
