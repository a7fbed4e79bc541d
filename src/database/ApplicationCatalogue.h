#pragma once
// The catalogue a new database starts with, whatever holds it: the ten application files,
// the dictionary fields the application's statements name, and the indexed attributes.

#include "Catalogue.h"

namespace tessaran::db::schema {

Catalogue applicationCatalogue();

// The dictionary kind's name as stored, and back.
const char* kindName(FieldDefinition::Kind kind);
FieldDefinition::Kind kindNamed(std::string_view name);

}  // namespace tessaran::db::schema
