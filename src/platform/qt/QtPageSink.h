#pragma once
// Output to a QPrinter: a PDF file (A4, fonts embedded) or a system printer through CUPS.
// "Courier New" is drawn with Liberation Mono, which has its metrics.

#include <memory>
#include <string>

#include "platform/PageSink.h"

namespace tessaran::platform {

std::unique_ptr<PageSink> openPdfOutput(const std::string& path);
std::unique_ptr<PageSink> openSystemPrinter(const std::string& printerName);
std::unique_ptr<PageSink> openTextFileOutput(const std::string& path);

}  // namespace tessaran::platform
