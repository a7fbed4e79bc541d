#pragma once
// The page geometry shared by the three documents, in centimetres from the top left of the
// printable page, and the blocks every page heading is made of. Every document uses the same
// ruled grid: a heading box from 6.7 to 7.5 cm, a table body down to 24 cm, seven vertical
// rules, and boxes for the totals hanging below the table.

#include <array>
#include <string>

#include "database/DynamicArray.h"
#include "platform/Printer.h"
#include "printing/DocumentInputs.h"

namespace tessaran::printing {

inline constexpr double kLetterheadTopCm = 0.4;
inline constexpr double kColumnHeadingsXCm = 2.5;
inline constexpr double kColumnHeadingsYCm = 6.9;
inline constexpr double kHeadingBoxTopCm = 6.7;
inline constexpr double kTableTopCm = 7.5;
inline constexpr double kTableBottomCm = 24.0;
inline constexpr double kTotalsLineCm = 24.2;
inline constexpr double kTotalsBoxBottomCm = 24.7;
inline constexpr double kBalanceBoxBottomCm = 25.4;
inline constexpr double kPageBreakCm = 23.5;
inline constexpr double kTableLeftCm = 0.1;
inline constexpr double kTableRightCm = 19.5;
// The vertical rules of the table, left to right as they are ruled.
inline constexpr std::array<double, 7> kTableRulesCm = {0.1, 6.5, 9.6, 11.7, 14.2, 16.8, 19.5};
// The column separators inside the heading box.
inline constexpr std::array<double, 5> kColumnSeparatorsCm = {6.5, 9.6, 11.7, 14.2, 16.8};
// The rules of the totals boxes under the table (hours to beneficiary amount).
inline constexpr std::array<double, 5> kTotalsBoxRulesCm = {9.6, 11.7, 14.2, 16.8, 19.5};

// Blank line: one space that ends the line.
void printBlankLine(platform::Printer& printer, int lines = 1);

// True when the next table line must go to a new page: the print position is lower than
// 23.5 cm (compared in single precision; exactly 23.5 cm still fits).
bool pageIsFull(const platform::Printer& printer, int twipsPerCm);

// Starts a page heading: underline off, "Courier New" 10 points, a blank line, then the
// position at the top left of the letterhead.
void startPageHeading(platform::Printer& printer, int twipsPerCm);

// The issuer's name with the date at character 70, then its address lines and its postcode
// and town line. A name of 70 characters or more is printed whole, with one space before
// the date.
void printLetterhead(platform::Printer& printer, const db::DynamicArray& issuer, const std::string& today);

// A document title in 14-point bold, indented by `indent` spaces; back to 10 points after.
void printTitle(platform::Printer& printer, int indent, const std::string& title);

// The underlined field label followed by its separator and value, as one line.
void printLabelledLine(platform::Printer& printer, const std::string& label, const std::string& rest);

// The "Association" block: name, then the address lines indented under the name.
void printAddresseeBlock(platform::Printer& printer, const db::DynamicArray& addressee);

// The top of every page heading: letterhead with the date, `blanksAfterLetterhead` blank lines,
// the title with the pay period, two blank lines, the addressee block.
void printHeadingTop(platform::Printer& printer, const DocumentHeading& heading, int blanksAfterLetterhead,
                     int titleIndent, const std::string& title);

// Column headings are placed at a fixed place whatever the length of the blocks above.
void moveToColumnHeadings(platform::Printer& printer, int twipsPerCm);

// The heading box around the column headings, with pen width 3.
void ruleHeadingBox(platform::Printer& printer, int twipsPerCm);

// The seven vertical rules of the table body from 7.5 cm down to `bottomTwips`, then the
// bottom rule at that height.
void ruleTableBody(platform::Printer& printer, int twipsPerCm, double bottomTwips);

}  // namespace tessaran::printing
