#pragma once
// Where "Aperçu" prints in the desktop host: the run draws on a recording, and when the
// document ends it is shown in a print-preview window, every page marked as a preview. The
// window's own print button is hidden: a preview is never a valid document.

#include <memory>
#include <string>
#include <vector>

#include "platform/PrinterChoice.h"

class QWidget;

namespace tessaran::platform {

class PreviewPrinterChoice : public PrinterChoice {
public:
    explicit PreviewPrinterChoice(QWidget* parent);
    std::vector<std::string> printerNames() const override { return {"Aperçu"}; }
    PrinterPick choose() override { return {0, 1}; }
    std::unique_ptr<PageSink> open(int index) override;

private:
    QWidget* parent_;
};

}  // namespace tessaran::platform
