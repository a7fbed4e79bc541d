#pragma once
// A parsed select statement: a file, a condition in disjunctive form (groups joined by OR,
// each a list of conditions joined by AND), and sort fields.

#include <string>
#include <vector>

#include "FieldDefinition.h"

namespace tessaran::db::select {

struct Field {
    std::string spelling;  // as written: "4", "0", "CodeAssoc"
    FieldDefinition definition;
};

// One accepted (or, for NotEqual, refused) value of a condition. A value written with a
// final "]" is a prefix: it matches every text that begins with `text`.
struct Alternative {
    bool equal = true;
    std::string text;
    bool prefix = false;
};

// Holds when some value of the field satisfies some alternative.
struct Condition {
    Field field;
    std::vector<Alternative> alternatives;
};

struct AndGroup {
    std::vector<Condition> conditions;
};

struct Statement {
    std::string file;
    std::vector<AndGroup> groups;  // empty: every record
    std::vector<Field> sortFields;
};

}  // namespace tessaran::db::select
