#include "billing/AssociationReadAhead.h"

#include <set>
#include <string_view>


namespace tessaran::billing {

AssociationReadAhead::AssociationReadAhead(DataFiles& files, const std::vector<std::string>& flowKeys,
                                           bool printing) {
    // The walk's flows come association by association, sector by sector: each code is
    // taken once per run of keys that share it.
    std::set<std::string> associations;
    std::set<std::string> sectors;
    std::string_view association;
    std::string_view sector;
    for (const std::string& key : flowKeys) {
        // As associationOfKey and sectorOfKey read them, without a copy.
        const std::string_view view(key);
        const std::string_view thisAssociation = view.size() >= 6 ? view.substr(5, 3) : std::string_view();
        const std::string_view thisSector = view.size() >= 9 ? view.substr(8, 3) : std::string_view();
        if (associations.empty() || thisAssociation != association)
            association = *associations.emplace(thisAssociation).first;
        if (sectors.empty() || thisSector != sector) sector = *sectors.emplace(thisSector).first;
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
