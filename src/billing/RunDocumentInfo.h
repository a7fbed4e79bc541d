#pragma once
// What a run's document says of itself in a PDF reader's properties: the period as the
// documents print it, and whether the file holds the documents of a print, a reprint or a
// preview.

#include <string>

#include "billing/RunRequest.h"
#include "platform/PageSink.h"

namespace tessaran::billing {

// `periodTitle` as the documents show it: "NOVEMBRE 2026".
platform::DocumentInfo runDocumentInfo(RunKind kind, const std::string& periodTitle);

}  // namespace tessaran::billing
