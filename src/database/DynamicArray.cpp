#include "DynamicArray.h"

#include <algorithm>
#include <string>

namespace tessaran::db {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

struct Span {
    std::size_t begin = kNone;  // kNone: no such element
    std::size_t end = kNone;
    bool found() const { return begin != kNone; }
};

// The number of elements of `text` separated by `mark` (the empty text is one element).
int countOf(std::string_view text, char mark) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), mark));
}

// Element `n` (from 1) of `text` separated by `mark`, as offsets into `text`. Elements are
// short: a plain walk over the bytes costs less than a library search per element.
Span nth(std::string_view text, char mark, int n) {
    if (n < 1) return {};
    const std::size_t size = text.size();
    std::size_t begin = 0;
    for (int i = 1; i < n; ++i) {
        while (begin < size && text[begin] != mark) ++begin;
        if (begin == size) return {};
        ++begin;
    }
    std::size_t end = begin;
    while (end < size && text[end] != mark) ++end;
    return {begin, end};
}

std::string_view part(std::string_view text, Span span) {
    return span.found() ? text.substr(span.begin, span.end - span.begin) : std::string_view();
}

int atLeastOne(int index) { return std::max(index, 1); }

}  // namespace

DynamicArray::DynamicArray(std::string_view whole) { assign(whole); }

void DynamicArray::assign(std::string_view whole) {
    text_.assign(whole);
    index();
}

void DynamicArray::index() {
    starts_.clear();
    if (text_.empty()) return;
    // A record's offsets are gathered on the stack and stored with one allocation, not one
    // per doubling; a longer array (a select list) goes on in the vector itself.
    constexpr std::size_t kGathered = 64;
    std::uint32_t gathered[kGathered];
    std::size_t count = 0;
    gathered[count++] = 0;
    const std::size_t size = text_.size();
    std::size_t at = 0;
    for (; at < size && count < kGathered; ++at)
        if (text_[at] == kAttributeMark) gathered[count++] = static_cast<std::uint32_t>(at + 1);
    starts_.assign(gathered, gathered + count);
    for (; at < size; ++at)
        if (text_[at] == kAttributeMark) starts_.push_back(static_cast<std::uint32_t>(at + 1));
}

bool DynamicArray::empty() const { return DCount() == 0; }

void DynamicArray::clear() {
    text_.clear();
    starts_.clear();
}

std::size_t DynamicArray::startOf(int attribute) const { return starts_[static_cast<std::size_t>(attribute - 1)]; }

std::size_t DynamicArray::endOf(int attribute) const {
    return attribute < attributeCount() ? starts_[static_cast<std::size_t>(attribute)] - 1 : text_.size();
}

std::string_view DynamicArray::attributeText(int attribute) const {
    if (attribute < 1 || attribute > attributeCount()) return {};
    return std::string_view(text_).substr(startOf(attribute), endOf(attribute) - startOf(attribute));
}

void DynamicArray::extendTo(int attribute) {
    if (starts_.empty()) starts_.push_back(0);  // the empty text: its first attribute
    while (attributeCount() < attribute) {
        text_ += kAttributeMark;
        starts_.push_back(static_cast<std::uint32_t>(text_.size()));
    }
}

void DynamicArray::replace(std::size_t from, std::size_t to, std::string_view text) {
    text_.replace(from, to - from, text);
    if (starts_.empty()) {
        index();
        return;
    }
    // Attributes starting at or before `from` stay; those whose mark was in [from, to) are
    // gone; those after move with the text. The marks of the new text start attributes of
    // their own, as its string form would read.
    const auto first = std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::uint32_t>(from));
    const auto last = std::upper_bound(first, starts_.end(), static_cast<std::uint32_t>(to));
    const auto delta = static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(to - from);
    if (delta != 0)
        for (auto it = last; it != starts_.end(); ++it)
            *it = static_cast<std::uint32_t>(static_cast<std::int64_t>(*it) + delta);
    std::size_t mark = text.find(kAttributeMark);
    if (mark == kNone && first == last) return;
    std::vector<std::uint32_t> added;
    for (; mark != kNone; mark = text.find(kAttributeMark, mark + 1))
        added.push_back(static_cast<std::uint32_t>(from + mark + 1));
    const auto at = starts_.erase(first, last);
    starts_.insert(at, added.begin(), added.end());
}

std::string DynamicArray::get(int attribute) const { return std::string(attributeText(attribute)); }

std::string DynamicArray::get(int attribute, int value) const { return std::string(view(attribute, value)); }

std::string_view DynamicArray::view(int attribute, int value) const {
    const std::string_view text = attributeText(attribute);
    return part(text, nth(text, kValueMark, value));
}

std::string DynamicArray::get(int attribute, int value, int subvalue) const {
    const std::string_view text = attributeText(attribute);
    const std::string_view valueText = part(text, nth(text, kValueMark, value));
    return std::string(part(valueText, nth(valueText, kSubvalueMark, subvalue)));
}

void DynamicArray::set(int attribute, std::string_view text) {
    attribute = atLeastOne(attribute);
    extendTo(attribute);
    replace(startOf(attribute), endOf(attribute), text);
}

void DynamicArray::set(int attribute, int value, std::string_view text) {
    attribute = atLeastOne(attribute);
    value = atLeastOne(value);
    extendTo(attribute);
    const std::string_view values = attributeText(attribute);
    if (const Span span = nth(values, kValueMark, value); span.found()) {
        replace(startOf(attribute) + span.begin, startOf(attribute) + span.end, text);
        return;
    }
    // Past the attribute's last value: empty values up to it, then the text.
    std::string added(static_cast<std::size_t>(value - countOf(values, kValueMark)), kValueMark);
    added += text;
    replace(endOf(attribute), endOf(attribute), added);
}

void DynamicArray::set(int attribute, int value, int subvalue, std::string_view text) {
    attribute = atLeastOne(attribute);
    value = atLeastOne(value);
    subvalue = atLeastOne(subvalue);
    set(attribute, value, get(attribute, value));  // makes the value's place
    // The value's text, as offsets into the whole text.
    const auto valueSpan = [&] {
        const Span span = nth(attributeText(attribute), kValueMark, value);
        return Span{startOf(attribute) + span.begin, startOf(attribute) + span.end};
    };
    Span whole = valueSpan();
    const int subvalues = countOf(part(text_, whole), kSubvalueMark);
    if (subvalues < subvalue) {
        replace(whole.end, whole.end, std::string(subvalue - subvalues, kSubvalueMark));
        whole = valueSpan();
    }
    const Span span = nth(part(text_, whole), kSubvalueMark, subvalue);
    replace(whole.begin + span.begin, whole.begin + span.end, text);
}

void DynamicArray::setAttributes(std::initializer_list<std::pair<int, std::string_view>> assignments) {
    // A text holding attribute marks makes attributes of its own, which moves the others: then
    // only one by one gives what one by one gives.
    if (assignments.size() == 0) return;
    for (const auto& [attribute, text] : assignments) {
        if (text.find(kAttributeMark) != kNone) {
            for (const auto& [each, eachText] : assignments) set(each, eachText);
            return;
        }
    }
    // The assignments in attribute order, the last one given for an attribute winning.
    constexpr std::size_t kAtOnce = 16;
    std::pair<int, std::string_view> inPlace[kAtOnce];
    std::vector<std::pair<int, std::string_view>> many;
    std::pair<int, std::string_view>* sorted = inPlace;
    if (assignments.size() > kAtOnce) {
        many.resize(assignments.size());
        sorted = many.data();
    }
    std::size_t count = 0;
    for (const auto& [attribute, text] : assignments) sorted[count++] = {atLeastOne(attribute), text};
    std::stable_sort(sorted, sorted + count, [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (kept > 0 && sorted[kept - 1].first == sorted[i].first)
            sorted[kept - 1] = sorted[i];
        else
            sorted[kept++] = sorted[i];
    }
    const int last = std::max(sorted[kept - 1].first, attributeCount());

    // The new text in one pass: the runs of attributes kept are copied whole, with their
    // offsets moved along; the texts given may be views of this very array, which is left as
    // it is until the end.
    std::size_t size = text_.size() + static_cast<std::size_t>(last);
    for (std::size_t i = 0; i < kept; ++i) size += sorted[i].second.size();
    std::string rebuilt;
    rebuilt.reserve(size);
    std::vector<std::uint32_t> starts;
    starts.reserve(static_cast<std::size_t>(last));
    std::size_t next = 0;
    for (int attribute = 1; attribute <= last;) {
        if (attribute > 1) rebuilt += kAttributeMark;
        if (next < kept && sorted[next].first == attribute) {
            starts.push_back(static_cast<std::uint32_t>(rebuilt.size()));
            rebuilt += sorted[next++].second;
            ++attribute;
            continue;
        }
        const int runEnd = std::min(next < kept ? sorted[next].first - 1 : last, attributeCount());
        if (attribute <= runEnd) {
            const std::size_t from = startOf(attribute);
            const std::size_t base = rebuilt.size();
            for (int each = attribute; each <= runEnd; ++each)
                starts.push_back(static_cast<std::uint32_t>(base + startOf(each) - from));
            rebuilt.append(text_, from, endOf(runEnd) - from);
            attribute = runEnd + 1;
        } else {  // past the array's end: an empty attribute
            starts.push_back(static_cast<std::uint32_t>(rebuilt.size()));
            ++attribute;
        }
    }
    text_ = std::move(rebuilt);
    starts_ = std::move(starts);
}

int DynamicArray::DCount() const {
    if (attributeCount() == 1 && text_.empty()) return 0;
    return attributeCount();
}

int DynamicArray::DCount(int attribute) const {
    const std::string_view text = attributeText(attribute);
    return text.empty() ? 0 : countOf(text, kValueMark);
}

void DynamicArray::Insert(int attribute, std::string_view text) {
    attribute = atLeastOne(attribute);
    if (DCount() == 0) clear();  // the empty text "" has no attribute to move down
    if (attribute > attributeCount()) {
        set(attribute, text);
        return;
    }
    std::string inserted(text);
    inserted += kAttributeMark;
    const std::size_t at = startOf(attribute);
    replace(at, at, inserted);
}

void DynamicArray::Insert(int attribute, int value, std::string_view text) {
    attribute = atLeastOne(attribute);
    value = atLeastOne(value);
    extendTo(attribute);
    const std::string_view attributeNow = attributeText(attribute);
    if ((attributeNow.empty() && value == 1) || value > countOf(attributeNow, kValueMark)) {
        set(attribute, value, text);
        return;
    }
    std::string inserted(text);
    inserted += kValueMark;
    const std::size_t at = startOf(attribute) + nth(attributeNow, kValueMark, value).begin;
    replace(at, at, inserted);
}

std::vector<DynamicArray::Attribute> DynamicArray::attributes() const {
    std::vector<Attribute> parsed;
    parsed.reserve(starts_.size());
    for (int a = 1; a <= attributeCount(); ++a) {
        Attribute& attribute = parsed.emplace_back();
        anyValue(a, [&](std::string_view valueText) {
            Value& value = attribute.emplace_back();
            for (std::size_t begin = 0;;) {
                const std::size_t end = valueText.find(kSubvalueMark, begin);
                value.emplace_back(valueText.substr(begin, end == kNone ? kNone : end - begin));
                if (end == kNone) break;
                begin = end + 1;
            }
            return false;
        });
    }
    return parsed;
}

}  // namespace tessaran::db
