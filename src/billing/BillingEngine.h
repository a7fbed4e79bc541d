#pragma once
// The billing engine: runs a print, a reprint or a preview on the data files, through the
// platform's doors (message box, pointer, yield, printer choice, clock), and tells how it
// ended. It knows no widget: the view it runs under is only told when to enable itself.

#include <functional>

#include "billing/DataFiles.h"
#include "billing/RunOutcome.h"
#include "billing/RunRequest.h"
#include "platform/Clock.h"
#include "platform/PrinterChoice.h"
#include "platform/UiServices.h"

namespace tessaran::billing {

struct RunServices {
    platform::UiServices& ui;
    platform::PrinterChoice& printers;
    const platform::Clock& clock;
    // Enables or disables the view the run was started from; empty without one.
    std::function<void(bool enabled)> enableView;
};

// Runs `request` to its end. Never throws: every way a run ends is in the outcome.
RunOutcome runBilling(DataFiles& files, const RunServices& services, const RunRequest& request);

// The text a preview marks every page with.
inline constexpr const char* kPreviewMark = "APERÇU - document non valable";

}  // namespace tessaran::billing
