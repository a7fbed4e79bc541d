#pragma once
// The two accumulators of an association's statement, Detail and Cumul, as dynamic arrays with
// one attribute per line, values:
//   1 label, 2 period, 3 hours, 4 amount, 5 fee (Detail) or scale value (Cumul),
//   6 beneficiary amount (Detail) or fee (Cumul), 7 type code of the funding body.
// Detail feeds the recapitulative statement, Cumul the management-fee invoice; both always
// have the same lines.
//
// Each addition to a sum reads the value's text as a number and writes the sum back as a
// stored number (15 significant digits), so the text after each flow is what decides the
// next sum. The sums are held as numbers between reads: each keeps the number its text
// would read back as and the last sum, written out when the arrays are read. The figures
// are those of writing the text at every flow.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "database/DynamicArray.h"

namespace tessaran::billing {

class Accumulators {
public:
    enum class Of { Detail, Cumul };

    // The arrays with every held sum written out.
    const db::DynamicArray& detail();
    const db::DynamicArray& cumul();

    // Labels, periods and type codes are never held: they read at once.
    std::string_view label(int line) const { return detail_.view(line, 1); }
    std::string_view period(int line) const { return detail_.view(line, 2); }
    int lineCount() const { return detail_.DCount(); }

    // A new line in both arrays: label, period, four zero sums, type code; placed before
    // `line` when `insert`, otherwise written at `line` (past the last).
    void addLine(int line, const std::string& label, const std::string& period, const std::string& type,
                 bool insert);

    // Adds `amount` to sum `value` (3 to 6) of `line`.
    void add(Of which, int line, int value, double amount);
    // Writes `text` as value `value` of `line`, in place of any held sum.
    void set(Of which, int line, int value, std::string_view text);

    void clear();

    // The line placeLine last found for these arguments without creating or inserting one.
    // Only placeLine writes labels and periods or moves lines, so until it adds a line the
    // same arguments find the same line (consecutive flows mostly share their line).
    struct Placed {
        std::string label;
        std::string period;
        std::string type;
        int line = 0;  // 0: none
    } lastPlaced;

private:
    struct Sum {
        double reading = 0;  // what the value's text reads as
        double written = 0;  // the sum whose stored number the text is to be
        bool known = false;  // `reading` is the text's
        bool held = false;   // `written` is not yet in the text
    };
    static constexpr int kFirstSum = 3;
    static constexpr int kSums = 4;
    using LineSums = std::array<Sum, kSums>;

    db::DynamicArray& array(Of which) { return which == Of::Detail ? detail_ : cumul_; }
    std::vector<LineSums>& sums(Of which) { return which == Of::Detail ? detailSums_ : cumulSums_; }
    Sum* sumOf(Of which, int line, int value, bool create);
    void settle();

    db::DynamicArray detail_;
    db::DynamicArray cumul_;
    std::vector<LineSums> detailSums_;  // by line, from line 1
    std::vector<LineSums> cumulSums_;
    bool anyHeld_ = false;
};

}  // namespace tessaran::billing
