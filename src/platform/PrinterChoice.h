#pragma once
// The printer choice behind the utility component's ChoixImprimante / NbExemplaires:
// the system's printer list, the user's pick and number of copies, and the opening of the
// chosen printer as an output.

#include <memory>
#include <string>
#include <vector>

#include "PageSink.h"

namespace tessaran::platform {

struct PrinterPick {
    int index = -1;  // index in printerNames(), -1 when the user cancelled
    int copies = 1;
};

class PrinterChoice {
public:
    virtual ~PrinterChoice() = default;
    virtual std::vector<std::string> printerNames() const = 0;
    virtual PrinterPick choose() = 0;
    // Opens the printer at `index` of printerNames() as a page output.
    virtual std::unique_ptr<PageSink> open(int index) = 0;
};

}  // namespace tessaran::platform
