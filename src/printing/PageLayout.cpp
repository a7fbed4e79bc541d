#include "printing/PageLayout.h"

#include "database/Attributes.h"
#include "printing/PageText.h"

namespace tessaran::printing {
namespace {

// Letterhead and addressee lines start under the name: "Association : " is 14 characters.
constexpr int kNameIndent = 14;
constexpr int kDateColumn = 70;

}  // namespace

void printBlankLine(platform::Printer& printer, int lines) {
    for (int i = 0; i < lines; ++i) printer.print(" ", true);
}

bool pageIsFull(const platform::Printer& printer, int twipsPerCm) {
    return static_cast<float>(printer.currentY()) > static_cast<float>(kPageBreakCm * twipsPerCm);
}

void startPageHeading(platform::Printer& printer, int twipsPerCm) {
    printer.setFontUnderline(false);
    printer.setFontName("Courier New");
    printer.setFontSize(10);
    printBlankLine(printer);
    printer.setCurrentX(0);
    printer.setCurrentY(kLetterheadTopCm * twipsPerCm);
}

void printLetterhead(platform::Printer& printer, const db::DynamicArray& issuer, const std::string& today) {
    const std::string name = issuer.get(db::attr::address::kName);
    const int nameLength = platform::Printer::characterCount(name);
    printer.print(name, false);
    printer.print(spaces(nameLength <= kDateColumn ? kDateColumn - nameLength : 1) + "Date : " + today, true);

    const std::string address = addressText(issuer);
    if (!address.empty()) printer.print(address, true);
    const std::string complement = issuer.get(db::attr::address::kComplement);
    if (!complement.empty()) printer.print(complement, true);
    printer.print(postcodeTownText(issuer), true);
}

void printTitle(platform::Printer& printer, int indent, const std::string& title) {
    printer.setFontSize(14);
    printer.setFontBold(true);
    printer.print(spaces(indent) + title, true);
    printer.setFontBold(false);
    printer.setFontSize(10);
}

void printLabelledLine(platform::Printer& printer, const std::string& label, const std::string& rest) {
    printer.setFontUnderline(true);
    printer.print(label, false);
    printer.setFontUnderline(false);
    printer.print(rest, true);
}

void printAddresseeBlock(platform::Printer& printer, const db::DynamicArray& addressee) {
    printLabelledLine(printer, "Association", " : " + addressee.get(db::attr::address::kName));
    printer.print(spaces(kNameIndent), false);
    const std::string address = addressText(addressee);
    if (!address.empty()) {
        printer.print(address, true);
        printer.print(spaces(kNameIndent), false);
    }
    const std::string complement = addressee.get(db::attr::address::kComplement);
    if (!complement.empty()) {
        printer.print(complement, true);
        printer.print(spaces(kNameIndent), false);
    }
    printer.print(postcodeTownText(addressee), true);
}

void printHeadingTop(platform::Printer& printer, const DocumentHeading& heading, int blanksAfterLetterhead,
                     int titleIndent, const std::string& title) {
    startPageHeading(printer, platform::kTwipsPerCm);
    printLetterhead(printer, required(heading.issuer, "ASSOCIATION"), heading.today);
    printBlankLine(printer, blanksAfterLetterhead);
    printTitle(printer, titleIndent, title + heading.periodTitle);
    printBlankLine(printer, 2);
    printAddresseeBlock(printer, required(heading.addressee, "FEDEASSOC"));
}

void moveToColumnHeadings(platform::Printer& printer, int twipsPerCm) {
    printer.setCurrentX(kColumnHeadingsXCm * twipsPerCm);
    printer.setCurrentY(kColumnHeadingsYCm * twipsPerCm);
}

void ruleHeadingBox(platform::Printer& printer, int twipsPerCm) {
    const double top = kHeadingBoxTopCm * twipsPerCm;
    const double bottom = kTableTopCm * twipsPerCm;
    const double left = kTableLeftCm * twipsPerCm;
    const double right = kTableRightCm * twipsPerCm;
    printer.setDrawWidth(3);
    printer.line(left, top, right, top);
    printer.line(left, bottom, right, bottom);
    printer.line(left, top, left, bottom);
    printer.line(right, top, right, bottom);
    for (const double x : kColumnSeparatorsCm) printer.line(x * twipsPerCm, top, x * twipsPerCm, bottom);
}

void ruleTableBody(platform::Printer& printer, int twipsPerCm, double bottomTwips) {
    const double top = kTableTopCm * twipsPerCm;
    for (const double x : kTableRulesCm) printer.line(x * twipsPerCm, top, x * twipsPerCm, bottomTwips);
    printer.line(kTableLeftCm * twipsPerCm, bottomTwips, kTableRightCm * twipsPerCm, bottomTwips);
}

}  // namespace tessaran::printing
