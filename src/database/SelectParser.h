#pragma once
// Reads a select statement into its tree, resolving the file and field names against the
// database's catalogue. Every refusal is a DatabaseError kSelectSyntax whose message names
// the offending word and its character position.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "Catalogue.h"
#include "SelectTree.h"

namespace tessaran::db::select {

// Limits that keep a hostile or runaway statement from exhausting memory or time.
inline constexpr std::size_t kMaxConditions = 1000;
inline constexpr std::size_t kMaxAlternatives = 10000;
inline constexpr std::size_t kMaxSortFields = 32;

Statement parse(std::string_view statement, const schema::Catalogue& catalogue);

// Resolves one field name of `file` (an attribute number, 0 for the key, or a dictionary
// name); nothing when it is neither.
std::optional<FieldDefinition> resolveField(const std::string& word, const std::string& file,
                                            const schema::Catalogue& catalogue);

}  // namespace tessaran::db::select
