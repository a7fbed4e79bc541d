#include "billing/AssociationReadAhead.h"

#include <set>

#include "billing/RunValues.h"

namespace tessaran::billing {

AssociationReadAhead::AssociationReadAhead(DataFiles& files, const std::vector<std::string>& flowKeys,
                                           bool printing) {
    std::set<std::string> associations;
    std::set<std::string> sectors;
    for (const std::string& key : flowKeys) {
        associations.insert(associationOfKey(key));
        sectors.insert(sectorOfKey(key));
    }
    const std::vector<std::string> codes(associations.begin(), associations.end());
    const auto ask = [&](FileSlot& slot, const std::vector<std::string>& keys) {
        if (!slot.file || keys.empty()) return;
        slot.file->readAhead(keys);
        asked_.push_back(slot.file.get());
    };
    ask(files.associations, codes);
    ask(files.sectors, std::vector<std::string>(sectors.begin(), sectors.end()));
    if (printing) {
        ask(files.parameters, codes);
        std::vector<std::string> scales;
        scales.reserve(codes.size());
        for (const std::string& code : codes) scales.push_back(code + "P");
        ask(files.feeScales, scales);
    }
}

AssociationReadAhead::~AssociationReadAhead() {
    for (db::File* file : asked_) {
        try {
            file->readAhead({});
        } catch (...) {
            // Letting a batch go cannot fail in a way the walk could do anything about.
        }
    }
}

}  // namespace tessaran::billing
