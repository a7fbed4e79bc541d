#include "printing/DocumentInputs.h"

#include <stdexcept>

namespace tessaran::printing {

const db::DynamicArray& required(const std::shared_ptr<const db::DynamicArray>& record, std::string_view what) {
    if (!record) throw std::logic_error("no current record of " + std::string(what));
    return *record;
}

const std::vector<ComplementaryLine>& linesOf(const ComplementaryLines& complementary) {
    if (complementary.unreadable) {
        throw std::runtime_error(complementary.fromFeeScale ? "the fee scale of the association could not be read"
                                                            : "the complementary flows could not be found again");
    }
    return complementary.lines;
}

}  // namespace tessaran::printing
