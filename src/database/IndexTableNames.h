#pragma once
// Where a database keeps its secondary index, on either storage: one table per indexed
// attribute of a file, or, in a database of an earlier format that could not be brought up to
// date when it was opened, the one table all of them shared.

#include <string>
#include <string_view>

namespace tessaran::db::schema {

enum class IndexLayout { SharedTable, TablePerAttribute };

// How the name of every index table begins.
inline constexpr std::string_view kIndexTablePrefix = "tessaran_index_";

// The table of the index entries of one attribute of a file, e.g. "tessaran_index_FLUXCOMPTABLES_20"
// (`file` a plain name: the name is then a plain one too). The attribute is the digits after
// the last underscore, so two (file, attribute) pairs never give the same name, and a data
// file's name (capitals) never begins like this one.
inline std::string indexTableName(std::string_view file, int attribute) {
    return std::string(kIndexTablePrefix) + std::string(file) + "_" + std::to_string(attribute);
}

}  // namespace tessaran::db::schema
