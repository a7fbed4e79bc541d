#pragma once
// The application's utility component: printer choice, day numbers and fixed-width number
// fields. Day 0 is 31 December 1967; day 1 is 1 January 1968.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaran::platform {

class PrinterChoice;

class Utility {
public:
    explicit Utility(PrinterChoice& printers) : printers_(printers) {}

    // Lets the user pick a printer and a number of copies; the index of the chosen printer
    // in the system's list, as text, or "-1" when the user cancels.
    std::string ChoixImprimante(const std::string& unused);
    // Copies chosen in the last ChoixImprimante.
    std::int16_t NbExemplaires() const { return copies_; }

    // "dd/mm/yyyy" to its day number, as text.
    static std::string DateEnJours(std::string_view date);
    // Day number (as stored, text) to "dd/mm/yyyy"; an empty or unreadable text gives "".
    static std::string FormateDate(std::string_view dayNumber);
    static std::string FormateDate(long dayNumber);
    // Right-aligned fixed-width field of `width` + 1 + `decimals` characters with a decimal
    // comma, rounded half away from zero; a value too wide is returned whole, never cut.
    // `number` is a text in the French convention (decimal comma; a period is accepted too).
    static std::string FormateNombre(std::string_view number, std::int32_t width, std::int32_t decimals,
                                     std::int32_t option);

private:
    PrinterChoice& printers_;
    std::int16_t copies_ = 1;
};

}  // namespace tessaran::platform
