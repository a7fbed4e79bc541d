#include "billing/FlowQueries.h"

#include <algorithm>
#include <stdexcept>

namespace tessaran::billing {
namespace {

std::string quoted(const std::string& value) { return "\"" + value + "\""; }

}  // namespace

bool canBeSelected(const std::string& code) {
    if (code.empty() || code.back() == ']') return false;
    return std::none_of(code.begin(), code.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '"' || byte < 0x20 || byte == 0x7F || byte == 0xFC || byte == 0xFD || byte == 0xFE;
    });
}

std::string runFlowsStatement(const std::string& period, const std::vector<std::string>& codes, bool invoiced) {
    for (const std::string& code : codes) {
        if (!canBeSelected(code)) throw std::invalid_argument("the code \"" + code + "\" cannot be selected");
    }
    // With no association the one code is "", which selects nothing.
    std::string codeList = quoted(codes.empty() ? std::string() : codes.front());
    for (std::size_t i = 1; i < codes.size(); ++i) codeList += " OR = " + quoted(codes[i]);
    const std::string invoiceTest = invoiced ? " AND AVEC 20 # " : " AND AVEC 20 = ";
    const std::string fundedAndInvoiced = " AND AVEC 4 # " + quoted("") + invoiceTest + quoted("");
    const std::string beneficiaryOnly = invoiced ? " AND AVEC 37 = " : " AND AVEC 37 # ";

    std::string statement = "SSELECT FLUXCOMPTABLES AVEC 1 = " + quoted(period);
    statement += fundedAndInvoiced;
    statement += " AND AVEC CodeAssoc = " + codeList;
    statement += " OR AVEC 1 = " + quoted("") + " AND AVEC 36 = " + quoted(period) + beneficiaryOnly + quoted("1");
    statement += fundedAndInvoiced;
    statement += " AND AVEC CodeAssoc = " + codeList;
    statement += " PAR CodeAssoc PAR CodeSecteur PAR SigleOrg PAR PeriodeFact";
    return statement;
}

std::string complementaryFlowsStatement(const std::string& period, const std::string& association,
                                        const std::string& sector) {
    return "SSELECT FLUXCOMPTABLES AVEC 1 = " + quoted(period) + " AND AVEC 0 = " +
           quoted("00000" + association + sector + "]") + " AND AVEC 20 # " + quoted("") + " PAR 0";
}

}  // namespace tessaran::billing
