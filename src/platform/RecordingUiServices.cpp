#include "RecordingUiServices.h"

namespace tessaran::platform {

int RecordingUiServices::messageBox(const std::string& text, int buttons, const std::string& title) {
    messages.push_back({text, buttons, title});
    return 1;  // OK
}

}  // namespace tessaran::platform
