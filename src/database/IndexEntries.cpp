#include "IndexEntries.h"

namespace tessaran::db {

std::set<std::string> indexedValues(const DynamicArray& record, int attribute) {
    std::set<std::string> values;
    if (attribute > record.attributeCount()) return values;
    record.anyValue(attribute, [&](std::string_view value) {
        if (!value.empty()) values.emplace(value);  // absent and empty values are found by scanning
        return false;
    });
    return values;
}

IndexChanges indexChanges(const std::set<int>& attributes, const DynamicArray& before, const DynamicArray& after) {
    IndexChanges changes;
    for (const int attribute : attributes) {
        if (before.attributeText(attribute) == after.attributeText(attribute)) continue;
        const std::set<std::string> old = indexedValues(before, attribute);
        const std::set<std::string> now = indexedValues(after, attribute);
        for (const std::string& value : old)
            if (now.count(value) == 0) changes.dropped.push_back({attribute, value});
        for (const std::string& value : now)
            if (old.count(value) == 0) changes.added.push_back({attribute, value});
    }
    return changes;
}

}  // namespace tessaran::db
