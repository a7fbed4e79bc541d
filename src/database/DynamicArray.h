#pragma once
// A multivalue dynamic array: attributes made of values made of subvalues.
// It is kept as its string form, with the marks 0xFE (attribute), 0xFD (value), 0xFC
// (subvalue), and the offset where each attribute starts: reading an attribute or a value
// finds it without rescanning the whole text, and building an array from a stored record
// costs one copy of its text. Only an assignment changes the text.
// Indexes count from 1. Reads past the end give the empty text; assignments past the
// end extend the array with empty attributes or values.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaran::db {

inline constexpr char kAttributeMark = '\xFE';
inline constexpr char kValueMark = '\xFD';
inline constexpr char kSubvalueMark = '\xFC';

class DynamicArray {
public:
    DynamicArray() = default;
    explicit DynamicArray(std::string_view whole);

    // Whole value.
    const std::string& str() const { return text_; }
    void assign(std::string_view whole);
    bool empty() const;
    void clear();

    // Attribute, value and subvalue access. Index 0 or past the end reads as "".
    std::string get(int attribute) const;
    std::string get(int attribute, int value) const;
    std::string get(int attribute, int value, int subvalue) const;

    // The same texts without a copy, valid until the array changes: for reading in place.
    std::string_view view(int attribute) const { return attributeText(attribute); }
    std::string_view view(int attribute, int value) const;

    // Assignment; the empty text empties the addressed element (it stays as a place).
    void set(int attribute, std::string_view text);
    void set(int attribute, int value, std::string_view text);
    void set(int attribute, int value, int subvalue, std::string_view text);

    // Whole attributes assigned together, as many set(attribute, text) in the order given; the
    // text is rebuilt once rather than moved at each one.
    void setAttributes(std::initializer_list<std::pair<int, std::string_view>> assignments);

    // Number of attributes, or of values in one attribute; 0 when empty.
    int DCount() const;
    int DCount(int attribute) const;

    // Inserts a new attribute at `attribute` (later attributes move down one), or a new
    // value at `value` in `attribute` (later values move up one).
    void Insert(int attribute, std::string_view text);
    void Insert(int attribute, int value, std::string_view text);

    // Views for the database layer (indexing, matching), valid until the array changes.
    // Every attribute holds at least one value and every value at least one subvalue; the
    // whole value "" has no attribute at all, while an array whose only attribute was
    // assigned the empty text keeps that one attribute.
    int attributeCount() const { return static_cast<int>(starts_.size()); }
    // The text of an attribute with its value and subvalue marks; "" outside.
    std::string_view attributeText(int attribute) const;
    // Calls `visit` with the text of each value of an attribute (its subvalues joined by
    // the subvalue mark), in order, until it returns true; true when one did. An attribute
    // outside the array is one empty value.
    template <typename Visit>
    bool anyValue(int attribute, Visit&& visit) const {
        std::string_view rest = attributeText(attribute);
        for (;;) {
            const std::size_t end = rest.find(kValueMark);
            if (visit(rest.substr(0, end))) return true;
            if (end == std::string_view::npos) return false;
            rest.remove_prefix(end + 1);
        }
    }

    // A parsed copy, for callers that walk every element (output of result lists).
    using Value = std::vector<std::string>;      // subvalues
    using Attribute = std::vector<Value>;        // values
    std::vector<Attribute> attributes() const;

    friend bool operator==(const DynamicArray& a, const DynamicArray& b) { return a.text_ == b.text_; }

private:
    // Byte offsets of the text of attribute `attribute`, extending the array to it.
    std::size_t startOf(int attribute) const;
    std::size_t endOf(int attribute) const;
    void extendTo(int attribute);
    // Replaces bytes [from, to) of the text, keeping the attribute offsets right.
    void replace(std::size_t from, std::size_t to, std::string_view text);
    void index();

    std::string text_;
    std::vector<std::uint32_t> starts_;  // where each attribute's text begins
};

}  // namespace tessaran::db
