#include "RecordStorage.h"

namespace tessaran::db {

std::optional<std::string> RecordStorage::highestNumber(const std::string& file, int attribute, int digits) {
    requireFile(file);
    if (indexedAttributes(file).count(attribute) == 0) {
        throw DatabaseError(error_code::kInvalidRequest,
                            "attribute " + std::to_string(attribute) + " of " + file + " is not indexed");
    }
    std::optional<std::string> highest;
    const auto consider = [&](std::string_view value) {
        const bool number = static_cast<int>(value.size()) == digits &&
                            value.find_first_not_of("0123456789") == std::string_view::npos;
        if (number && (!highest || value > *highest)) highest = std::string(value);
    };
    if (const std::optional<std::string> top = topIndexedNumber(file, attribute, digits)) consider(*top);
    // Records another tool wrote are not in the index yet.
    std::vector<std::string> changed;
    changedKeys(file, changed);
    for (const std::string& key : changed) {
        if (const auto record = read(file, key)) {
            const DynamicArray values(*record);
            for (int v = 1; v <= values.DCount(attribute); ++v) consider(values.get(attribute, v));
        }
    }
    return highest;
}

}  // namespace tessaran::db
