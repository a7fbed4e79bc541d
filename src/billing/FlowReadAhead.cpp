#include "billing/FlowReadAhead.h"

#include <algorithm>
#include <span>

namespace tessaran::billing {

FlowReadAhead::~FlowReadAhead() {
    try {
        flows_.readAhead({});
    } catch (...) {
        // Letting the window go cannot fail in a way the walk could do anything about.
    }
}

void FlowReadAhead::reach(std::size_t position) {
    if (position < windowEnd_ || position >= keys_.size()) return;
    windowEnd_ = std::min(keys_.size(), position + kWindow);
    flows_.readAhead(std::span(keys_).subspan(position, windowEnd_ - position));
}

}  // namespace tessaran::billing
