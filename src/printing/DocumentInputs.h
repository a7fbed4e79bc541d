#pragma once
// What billing hands the documents to draw: the blocks of every page heading and the
// complementary lines of an association.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/DynamicArray.h"

namespace tessaran::printing {

// The blocks every page heading of a document shows. A record that was never read is null;
// the heading then stops where it needs it, like any other failing statement.
struct DocumentHeading {
    std::shared_ptr<const db::DynamicArray> issuer;     // the federation, letterhead of every page
    std::shared_ptr<const db::DynamicArray> addressee;  // the billed association
    std::string periodTitle;                            // the pay period, "NOVEMBRE 2026"
    std::string today;                                  // "dd/mm/yyyy"
};

// The complementary lines of an association: the items of its fee scale (a print run) or the
// complementary flows a print run recorded for it (a reprint). Amounts are kept as stored
// (hundredths, as text), since each document reads them its own way.
struct ComplementaryLine {
    std::string label;
    std::string amount;
};

struct ComplementaryLines {
    bool fromFeeScale = true;  // false: the complementary flows found again by a reprint
    bool unreadable = false;   // they could not be read: the document stops where it needs them
    std::vector<ComplementaryLine> lines;
};

// The lines; throws when they could not be read.
const std::vector<ComplementaryLine>& linesOf(const ComplementaryLines& complementary);

// The record `record` holds; throws std::logic_error naming `what` when it was never read.
const db::DynamicArray& required(const std::shared_ptr<const db::DynamicArray>& record, std::string_view what);

}  // namespace tessaran::printing
