#include "ApplicationCatalogue.h"

#include "Schema.h"

namespace tessaran::db::schema {
namespace {

FieldDefinition characters(int first, int length) {
    FieldDefinition field;
    field.kind = FieldDefinition::Kind::Characters;
    field.first = first;
    field.length = length;
    return field;
}

FieldDefinition translation(int attribute, const char* targetFile, int targetAttribute) {
    FieldDefinition field;
    field.kind = FieldDefinition::Kind::Translation;
    field.attribute = attribute;
    field.targetFile = targetFile;
    field.targetAttribute = targetAttribute;
    return field;
}

}  // namespace

Catalogue applicationCatalogue() {
    Catalogue catalogue;
    for (const std::string_view name : kApplicationFiles) catalogue.files.emplace(name);
    auto& flows = catalogue.dictionary["FLUXCOMPTABLES"];
    // Flow keys: "00000" or the flow's own prefix, then association, sector and period.
    flows["CodeAssoc"] = characters(6, 3);
    flows["CodeSecteur"] = characters(9, 3);
    flows["PeriodeFact"] = characters(12, 6);
    // The funding body's abbreviation, or its code when it has none.
    flows["SigleOrg"] = translation(4, "ORGPRISECHARGE", 2);
    // The attributes that selects test for equality.
    catalogue.indexed["FLUXCOMPTABLES"] = {1, 4, 20, 36, 37};
    catalogue.indexed["ACTIVITES"] = {12};
    return catalogue;
}

const char* kindName(FieldDefinition::Kind kind) {
    switch (kind) {
        case FieldDefinition::Kind::Attribute: return "attribute";
        case FieldDefinition::Kind::Characters: return "characters";
        case FieldDefinition::Kind::Translation: return "translation";
        case FieldDefinition::Kind::Key: break;
    }
    return "key";
}

FieldDefinition::Kind kindNamed(std::string_view name) {
    if (name == "attribute") return FieldDefinition::Kind::Attribute;
    if (name == "characters") return FieldDefinition::Kind::Characters;
    if (name == "translation") return FieldDefinition::Kind::Translation;
    return FieldDefinition::Kind::Key;
}

}  // namespace tessaran::db::schema
