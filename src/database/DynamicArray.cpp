#include "DynamicArray.h"

#include <algorithm>

namespace tessaran::db {
namespace {

std::vector<std::string_view> split(std::string_view text, char mark) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(mark, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

DynamicArray::Value parseValue(std::string_view text) {
    DynamicArray::Value value;
    for (std::string_view sub : split(text, kSubvalueMark)) value.emplace_back(sub);
    return value;
}

DynamicArray::Attribute parseAttribute(std::string_view text) {
    DynamicArray::Attribute attribute;
    for (std::string_view v : split(text, kValueMark)) attribute.push_back(parseValue(v));
    return attribute;
}

// True when `text` holds a mark above the level it is assigned at (`level` is the lowest
// mark that would split it there): the array is then re-read from its whole text, as the
// string form would be, so that the parsed form never holds a mark inside an element.
bool holdsMarkAbove(std::string_view text, char level) {
    for (const char c : text)
        if (c == kAttributeMark || (level != kAttributeMark && c == kValueMark) ||
            (level == kSubvalueMark && c == kSubvalueMark))
            return true;
    return false;
}

DynamicArray::Value emptyValue() { return DynamicArray::Value{std::string()}; }
DynamicArray::Attribute emptyAttribute() { return DynamicArray::Attribute{emptyValue()}; }

bool isEmptyAttribute(const DynamicArray::Attribute& attribute) {
    return attribute.size() == 1 && attribute[0].size() == 1 && attribute[0][0].empty();
}

void appendValue(std::string& out, const DynamicArray::Value& value) {
    for (std::size_t s = 0; s < value.size(); ++s) {
        if (s) out += kSubvalueMark;
        out += value[s];
    }
}

void appendAttribute(std::string& out, const DynamicArray::Attribute& attribute) {
    for (std::size_t v = 0; v < attribute.size(); ++v) {
        if (v) out += kValueMark;
        appendValue(out, attribute[v]);
    }
}

std::string joinValue(const DynamicArray::Value& value) {
    std::string out;
    appendValue(out, value);
    return out;
}

}  // namespace

DynamicArray::DynamicArray(std::string_view whole) { assign(whole); }

void DynamicArray::assign(std::string_view whole) {
    attributes_.clear();
    if (whole.empty()) return;
    for (std::string_view a : split(whole, kAttributeMark)) attributes_.push_back(parseAttribute(a));
}

std::string DynamicArray::str() const {
    std::string out;
    for (std::size_t a = 0; a < attributes_.size(); ++a) {
        if (a) out += kAttributeMark;
        appendAttribute(out, attributes_[a]);
    }
    return out;
}

bool DynamicArray::empty() const { return DCount() == 0; }

void DynamicArray::clear() { attributes_.clear(); }

std::string DynamicArray::get(int attribute) const {
    if (attribute < 1 || attribute > static_cast<int>(attributes_.size())) return {};
    std::string out;
    appendAttribute(out, attributes_[attribute - 1]);
    return out;
}

std::string DynamicArray::get(int attribute, int value) const {
    if (attribute < 1 || attribute > static_cast<int>(attributes_.size())) return {};
    const Attribute& attr = attributes_[attribute - 1];
    if (value < 1 || value > static_cast<int>(attr.size())) return {};
    return joinValue(attr[value - 1]);
}

std::string DynamicArray::get(int attribute, int value, int subvalue) const {
    if (attribute < 1 || attribute > static_cast<int>(attributes_.size())) return {};
    const Attribute& attr = attributes_[attribute - 1];
    if (value < 1 || value > static_cast<int>(attr.size())) return {};
    const Value& val = attr[value - 1];
    if (subvalue < 1 || subvalue > static_cast<int>(val.size())) return {};
    return val[subvalue - 1];
}

DynamicArray::Attribute& DynamicArray::attributeAt(int attribute) {
    const auto wanted = static_cast<std::size_t>(std::max(attribute, 1));
    while (attributes_.size() < wanted) attributes_.push_back(emptyAttribute());
    return attributes_[wanted - 1];
}

DynamicArray::Value& DynamicArray::valueAt(int attribute, int value) {
    Attribute& attr = attributeAt(attribute);
    const auto wanted = static_cast<std::size_t>(std::max(value, 1));
    while (attr.size() < wanted) attr.push_back(emptyValue());
    return attr[wanted - 1];
}

void DynamicArray::set(int attribute, std::string_view text) {
    attributeAt(attribute) = parseAttribute(text);
    if (holdsMarkAbove(text, kAttributeMark)) assign(str());
}

void DynamicArray::set(int attribute, int value, std::string_view text) {
    valueAt(attribute, value) = parseValue(text);
    if (holdsMarkAbove(text, kValueMark)) assign(str());
}

void DynamicArray::set(int attribute, int value, int subvalue, std::string_view text) {
    Value& val = valueAt(attribute, value);
    const auto wanted = static_cast<std::size_t>(std::max(subvalue, 1));
    while (val.size() < wanted) val.emplace_back();
    val[wanted - 1] = std::string(text);
    if (holdsMarkAbove(text, kSubvalueMark)) assign(str());
}

int DynamicArray::DCount() const {
    if (attributes_.size() == 1 && isEmptyAttribute(attributes_[0])) return 0;
    return static_cast<int>(attributes_.size());
}

int DynamicArray::DCount(int attribute) const {
    if (attribute < 1 || attribute > static_cast<int>(attributes_.size())) return 0;
    const Attribute& attr = attributes_[attribute - 1];
    return isEmptyAttribute(attr) ? 0 : static_cast<int>(attr.size());
}

void DynamicArray::Insert(int attribute, std::string_view text) {
    const auto at = static_cast<std::size_t>(std::max(attribute, 1)) - 1;
    if (DCount() == 0) attributes_.clear();  // the empty text "" has no attribute to move down
    if (at >= attributes_.size())
        attributeAt(attribute) = parseAttribute(text);
    else
        attributes_.insert(attributes_.begin() + static_cast<std::ptrdiff_t>(at), parseAttribute(text));
    if (holdsMarkAbove(text, kAttributeMark)) assign(str());
}

void DynamicArray::Insert(int attribute, int value, std::string_view text) {
    Attribute& attr = attributeAt(attribute);
    const auto at = static_cast<std::size_t>(std::max(value, 1)) - 1;
    if (isEmptyAttribute(attr) && at == 0)
        attr[0] = parseValue(text);
    else if (at >= attr.size())
        valueAt(attribute, value) = parseValue(text);
    else
        attr.insert(attr.begin() + static_cast<std::ptrdiff_t>(at), parseValue(text));
    if (holdsMarkAbove(text, kValueMark)) assign(str());
}

}  // namespace tessaran::db
