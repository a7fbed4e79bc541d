#include "PresetPrinterChoice.h"

#include <QPrinterInfo>

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "QtPageSink.h"

namespace tessaran::platform {

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

PresetPrinterChoice::PresetPrinterChoice(std::string outputPath, std::string printerName, int copies)
    : outputPath_(std::move(outputPath)), printerName_(std::move(printerName)), copies_(std::max(copies, 1)) {}

std::vector<std::string> PresetPrinterChoice::printerNames() const {
    if (!outputPath_.empty()) return {outputPath_};
    if (!printerName_.empty()) return {printerName_};
    // Neither given: the system's default printer, when there is one.
    const QString fallback = QPrinterInfo::defaultPrinterName();
    if (fallback.isEmpty()) return {};
    return {fallback.toStdString()};
}

PrinterPick PresetPrinterChoice::choose() {
    if (printerNames().empty()) return {-1, copies_};
    return {0, copies_};
}

std::unique_ptr<PageSink> PresetPrinterChoice::open(int index) {
    const std::vector<std::string> names = printerNames();
    if (index != 0 || names.empty()) {
        throw std::runtime_error(names.empty() ? "no output given and no printer is installed"
                                               : "no output at index " + std::to_string(index));
    }
    if (outputPath_.empty()) return openSystemPrinter(names.front());
    if (endsWithIgnoringCase(outputPath_, ".pdf")) return openPdfOutput(outputPath_);
    if (endsWithIgnoringCase(outputPath_, ".txt")) return openTextFileOutput(outputPath_);
    throw std::runtime_error("unsupported output \"" + outputPath_ + "\": the file name must end in .pdf or .txt");
}

}  // namespace tessaran::platform
