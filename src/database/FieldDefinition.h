#pragma once
// What a field of a data file is: the key, an attribute, or a dictionary definition that
// derives a value from the record. Dictionary definitions are data, kept in the database's
// dictionary table as a kind and its arguments:
//   key          the record key
//   attribute    attribute `attribute`
//   characters   characters `first` .. `first + length - 1` of the key (counted from 1)
//   translation  for each value of attribute `attribute`, attribute `targetAttribute` of the
//                record of `targetFile` with that value as key; the value itself when that
//                record or that attribute is missing or empty

#include <string>

namespace tessaran::db {

struct FieldDefinition {
    enum class Kind { Key, Attribute, Characters, Translation };

    Kind kind = Kind::Key;
    int attribute = 0;
    int first = 1;
    int length = 0;
    std::string targetFile;
    int targetAttribute = 0;

    static FieldDefinition key() { return {}; }
    static FieldDefinition attributeNumber(int number) {
        FieldDefinition field;
        field.kind = number == 0 ? Kind::Key : Kind::Attribute;
        field.attribute = number;
        return field;
    }
};

// Largest attribute number a statement, a request or an exchange document may name.
inline constexpr int kMaxAttributeNumber = 100000;

}  // namespace tessaran::db
