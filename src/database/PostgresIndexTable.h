#pragma once
// Where the index entries of one indexed attribute of a data file are on PostgreSQL, as the
// statements that read and write them. From format 3 each attribute has a table of its own,
// (value, key) in that order, named as on SQLite ("tessaran_index_FLUXCOMPTABLES_20"); a
// database still of format 1 or 2 (opened by a role that may not change the tables) keeps
// them in the one shared table tessaran_index, whose rows also name the file and the attribute.

#include <string>
#include <vector>

#include "IndexTableNames.h"

namespace tessaran::db::postgres {

using schema::IndexLayout;

class IndexTable {
public:
    // `file` is a plain name (capitals, digits, underscores): it is spelled in the statements.
    IndexTable(IndexLayout layout, const std::string& file, int attribute);

    // The keys of value $1, in key order.
    std::string keysOfValue() const;
    // The keys of the values in [$1, $2), in value then key order.
    std::string keysOfRange() const;
    // The entries whose value is within [$1, $2], counted up to $3.
    std::string count() const;
    // The greatest value of exactly $1 decimal digits.
    std::string highestNumber() const;
    // Rows given as two bytes arrays, values $n and keys $n+1: added (those already there are
    // left), or dropped.
    std::string insert(int n) const;
    std::string drop(int n) const;
    // Every entry of the keys of the bytes array $n.
    std::string dropKeys(int n) const;
    std::string clear() const;
    // Gathers the statistics the server plans the reads with, once the table was filled.
    std::string analyze() const;

private:
    std::string where(const std::string& condition) const;

    std::string table_;     // the table's quoted name
    std::string selected_;  // in the shared table, the condition that picks this attribute's rows
    std::string columns_;   // the columns an inserted row fills
    std::string fixed_;     // in the shared table, the file and attribute of an inserted row
};

// The statements of a batch that write the tables of several attributes, as one statement
// (data-modifying WITH queries, each done once whatever the others do): a batch then costs
// one statement per kind of change, however many attributes it touches. None when empty.
std::string together(const std::vector<std::string>& statements);

// PostgreSQL cuts longer names: an attribute whose table name would be longer is not indexed.
bool fitsAsTableName(const std::string& name);

}  // namespace tessaran::db::postgres
