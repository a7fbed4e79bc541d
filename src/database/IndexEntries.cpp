#include "IndexEntries.h"

#include "ValueText.h"

namespace tessaran::db {

std::set<std::string> indexedValues(const DynamicArray& record, int attribute) {
    std::set<std::string> values;
    const auto& attributes = record.attributes();
    if (attribute > static_cast<int>(attributes.size())) return values;
    for (const DynamicArray::Value& value : attributes[static_cast<std::size_t>(attribute - 1)]) {
        std::string text = valueText(value);
        if (!text.empty()) values.insert(std::move(text));
    }
    return values;
}

IndexChanges indexChanges(const std::set<int>& attributes, const DynamicArray& before, const DynamicArray& after) {
    IndexChanges changes;
    for (const int attribute : attributes) {
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
