#include "IndexEntries.h"

#include <algorithm>
#include <iterator>

namespace tessaran::db {
namespace {

// The attributes of a record's stored text, visited in ascending order in one pass.
class AttributeWalk {
public:
    explicit AttributeWalk(std::string_view record) : record_(record) {}

    // The text of `attribute`, not before the last one asked for; "" outside the record.
    std::string_view at(int attribute) {
        if (attribute < 1 || record_.empty()) return {};
        const std::size_t size = record_.size();
        while (number_ < attribute) {  // attributes are short: a walk over the bytes
            while (start_ < size && record_[start_] != kAttributeMark) ++start_;
            if (start_ == size) return {};
            ++start_;
            ++number_;
        }
        std::size_t end = start_;
        while (end < size && record_[end] != kAttributeMark) ++end;
        return record_.substr(start_, end - start_);
    }

private:
    std::string_view record_;
    std::size_t start_ = 0;  // where attribute number_ begins
    int number_ = 1;
};

// The distinct non-empty values of an attribute's text, sorted.
void valuesOf(std::string_view attribute, std::vector<std::string_view>& values) {
    values.clear();
    for (std::size_t begin = 0;;) {
        const std::size_t end = attribute.find(kValueMark, begin);
        const std::string_view value = attribute.substr(begin, end == std::string_view::npos ? end : end - begin);
        if (!value.empty()) values.push_back(value);  // absent and empty values are found by scanning
        if (end == std::string_view::npos) break;
        begin = end + 1;
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

// Each value of `from` that `without` lacks, as an entry of `attribute`.
void valuesMissing(int attribute, const std::vector<std::string_view>& from, const std::vector<std::string_view>& without,
                   std::vector<IndexChange>& entries) {
    std::vector<std::string_view> missing;
    std::set_difference(from.begin(), from.end(), without.begin(), without.end(), std::back_inserter(missing));
    for (const std::string_view value : missing) entries.push_back({attribute, std::string(value)});
}

}  // namespace

IndexChanges indexChanges(const std::set<int>& attributes, std::string_view before, const DynamicArray& after) {
    IndexChanges changes;
    AttributeWalk was(before);
    std::vector<std::string_view> old;
    std::vector<std::string_view> now;
    for (const int attribute : attributes) {
        const std::string_view oldText = was.at(attribute);
        const std::string_view newText = after.attributeText(attribute);
        if (oldText == newText) continue;
        valuesOf(oldText, old);
        valuesOf(newText, now);
        valuesMissing(attribute, old, now, changes.dropped);
        valuesMissing(attribute, now, old, changes.added);
    }
    return changes;
}

IndexChanges indexChanges(const std::set<int>& attributes, const DynamicArray& before, const DynamicArray& after) {
    return indexChanges(attributes, std::string_view(before.str()), after);
}

}  // namespace tessaran::db
