#pragma once
// UI services for tests: keeps every message, pointer change, yield, unload and progress.

#include <string>
#include <vector>

#include "UiServices.h"

namespace tessaran::platform {

struct RecordedMessage {
    std::string text;
    int buttons = 0;
    std::string title;
};

class RecordingUiServices : public UiServices {
public:
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    void setMousePointer(int pointer) override { pointers.push_back(pointer); }
    void yield() override { ++yields; }
    void unloadHostWindow() override { ++unloads; }
    void progress(int done, int total) override { progressReports.emplace_back(done, total); }

    std::vector<RecordedMessage> messages;
    std::vector<int> pointers;
    int yields = 0;
    int unloads = 0;
    std::vector<std::pair<int, int>> progressReports;
};

}  // namespace tessaran::platform
