#pragma once
// Printer choice for tests: answers with a preset pick and records the pages printed.

#include <memory>
#include <string>
#include <vector>

#include "PrinterChoice.h"
#include "RecordingPageSink.h"

namespace tessaran::platform {

class ScriptedPrinterChoice : public PrinterChoice {
public:
    explicit ScriptedPrinterChoice(PrinterPick answer = {0, 1},
                                   std::vector<std::string> names = {"Imprimante de test"});
    std::vector<std::string> printerNames() const override { return names_; }
    PrinterPick choose() override;
    std::unique_ptr<PageSink> open(int index) override;

    int timesAsked() const { return asked_; }
    // The output of the last open() (it outlives the printer that drew on it); null before.
    std::shared_ptr<const RecordingPageSink> lastOutput() const { return last_; }

private:
    PrinterPick answer_;
    std::vector<std::string> names_;
    int asked_ = 0;
    std::shared_ptr<RecordingPageSink> last_;
};

}  // namespace tessaran::platform
