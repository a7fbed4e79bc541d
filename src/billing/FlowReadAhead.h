#pragma once
// The flows a copy of the walk is about to read, fetched a window at a time: when the walk
// reaches the end of one window, the file is told the keys of the next. Asked as the walk
// gets there, a window is read after everything the walk wrote before it (a later copy reads
// what the first one wrote). Only one window is held, and it is let go when the copy ends
// however it ends, so that nothing read inside a run's transaction outlives the walk.

#include <cstddef>
#include <string>
#include <vector>

#include "database/Database.h"

namespace tessaran::billing {

class FlowReadAhead {
public:
    // Flows fetched together: large enough that a round trip to a database server is paid
    // once for many flows, small enough to hold little.
    static constexpr std::size_t kWindow = 256;

    FlowReadAhead(db::File& flows, const std::vector<std::string>& keys) : flows_(flows), keys_(keys) {}
    ~FlowReadAhead();
    FlowReadAhead(const FlowReadAhead&) = delete;
    FlowReadAhead& operator=(const FlowReadAhead&) = delete;

    // The walk is about to read the flow at `position` of the keys.
    void reach(std::size_t position);

private:
    db::File& flows_;
    const std::vector<std::string>& keys_;
    std::size_t windowEnd_ = 0;  // the window asked last covers the keys before this position
};

}  // namespace tessaran::billing
