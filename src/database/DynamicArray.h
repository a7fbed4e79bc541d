#pragma once
// A multivalue dynamic array: attributes made of values made of subvalues.
// It is kept parsed, so reading or writing one value never rescans the whole text;
// the string form uses the marks 0xFE (attribute), 0xFD (value), 0xFC (subvalue).
// Indexes count from 1. Reads past the end give the empty text; assignments past the
// end extend the array with empty attributes or values.

#include <string>
#include <string_view>
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
    std::string str() const;
    void assign(std::string_view whole);
    bool empty() const;
    void clear();

    // Attribute, value and subvalue access. Index 0 or past the end reads as "".
    std::string get(int attribute) const;
    std::string get(int attribute, int value) const;
    std::string get(int attribute, int value, int subvalue) const;

    // Assignment; the empty text empties the addressed element (it stays as a place).
    void set(int attribute, std::string_view text);
    void set(int attribute, int value, std::string_view text);
    void set(int attribute, int value, int subvalue, std::string_view text);

    // Number of attributes, or of values in one attribute; 0 when empty.
    int DCount() const;
    int DCount(int attribute) const;

    // Inserts a new attribute at `attribute` (later attributes move down one), or a new
    // value at `value` in `attribute` (later values move up one).
    void Insert(int attribute, std::string_view text);
    void Insert(int attribute, int value, std::string_view text);

    // Parsed access for the database layer (indexing, matching) without string copies.
    using Value = std::vector<std::string>;      // subvalues
    using Attribute = std::vector<Value>;        // values
    const std::vector<Attribute>& attributes() const { return attributes_; }

    friend bool operator==(const DynamicArray& a, const DynamicArray& b) { return a.str() == b.str(); }

private:
    Attribute& attributeAt(int attribute);
    Value& valueAt(int attribute, int value);

    // Every attribute holds at least one value and every value at least one subvalue:
    // the text "" parses as [[""]]. The whole value "" has no attribute at all, so str()
    // gives back exactly the text the array was built from.
    std::vector<Attribute> attributes_;
};

}  // namespace tessaran::db
