#pragma once
// The help viewer: shows a page of resources/help in a window.

#include <memory>

#include "platform/HelpViewer.h"

namespace tessaran::platform {

class QtHelpViewer : public HelpViewer {
public:
    QtHelpViewer();
    ~QtHelpViewer() override;
    std::string show(const std::string& page, const std::string& mode, const std::string& title) override;
    void setClient(std::shared_ptr<Client> client) override;
    void setDatabase(std::shared_ptr<db::Database> database) override;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Where resources live: $TESSARAN_RESOURCE_DIR, else next to the executable
// (../share/tessaran), else the source tree's resources/ folder.
std::string resourceDirectory();

}  // namespace tessaran::platform
