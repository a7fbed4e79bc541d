#pragma once
// Printer choice of the desktop host: the system's print dialog (its printers, PDF output,
// number of copies).

#include <string>

#include "platform/PrinterChoice.h"

class QWidget;

namespace tessaran::platform {

class DialogPrinterChoice : public PrinterChoice {
public:
    explicit DialogPrinterChoice(QWidget* parent);
    ~DialogPrinterChoice() override;
    std::vector<std::string> printerNames() const override;
    PrinterPick choose() override;
    std::unique_ptr<PageSink> open(int index) override;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace tessaran::platform
