#pragma once
// The records a copy's walk opens for each association and sector (the association, its
// accounting parameters, its fee scale, the sector), fetched before the walk in one read per
// file: on a database server, one round trip per file instead of one per association and
// file. Each record is handed out once, then read as usual; the batches are let go when the
// copy ends however it ends, as the flows' read-ahead is.

#include <string>
#include <vector>

#include "billing/DataFiles.h"

namespace tessaran::billing {

class AssociationReadAhead {
public:
    // `flowKeys`: the walk's flows; `printing`: a print run, which also reads the parameters
    // and fee scales.
    AssociationReadAhead(DataFiles& files, const std::vector<std::string>& flowKeys, bool printing);
    ~AssociationReadAhead();
    AssociationReadAhead(const AssociationReadAhead&) = delete;
    AssociationReadAhead& operator=(const AssociationReadAhead&) = delete;

private:
    std::vector<db::File*> asked_;
};

}  // namespace tessaran::billing
