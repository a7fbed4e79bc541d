#pragma once
// Printer choice of the command-line host: the answer is given by its options, an output
// file (.pdf or .txt) or a system printer by name, and a number of copies.

#include <string>

#include "platform/PrinterChoice.h"

namespace tessaran::platform {

class PresetPrinterChoice : public PrinterChoice {
public:
    // `outputPath` ending in .pdf or .txt, or `printerName` of a system printer (one of the two).
    PresetPrinterChoice(std::string outputPath, std::string printerName, int copies);
    std::vector<std::string> printerNames() const override;
    PrinterPick choose() override;
    std::unique_ptr<PageSink> open(int index) override;  // throws std::runtime_error if unusable

private:
    std::string outputPath_;
    std::string printerName_;
    int copies_;
};

}  // namespace tessaran::platform
