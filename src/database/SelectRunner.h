#pragma once
// Runs a select request against the stored records: reads the request, parses its
// statement, fetches what the plan admits (each record once), keeps the records the whole
// condition accepts, sorts them and builds the result list.

#include <string_view>

#include "DynamicArray.h"
#include "RecordStorage.h"

namespace tessaran::db::select {

// `request` is the string form of a select request: attribute 1 the statement, 2 the file
// name (may be empty), 3 the attribute numbers or field names wanted, space-separated
// ("0" when empty). Returns one attribute per record, one value per requested field.
DynamicArray run(RecordStorage& store, std::string_view request);

}  // namespace tessaran::db::select
