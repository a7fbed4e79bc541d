#pragma once
// What a database holds besides records: its data files, the dictionary fields of each
// file, and the attributes of each file that have a secondary index.

#include <map>
#include <set>
#include <string>

#include "FieldDefinition.h"

namespace tessaran::db::schema {

struct Catalogue {
    std::set<std::string> files;
    // file -> field name -> definition
    std::map<std::string, std::map<std::string, FieldDefinition>> dictionary;
    // file -> indexed attribute numbers
    std::map<std::string, std::set<int>> indexed;

    const FieldDefinition* field(const std::string& file, const std::string& name) const {
        const auto fileFields = dictionary.find(file);
        if (fileFields == dictionary.end()) return nullptr;
        const auto found = fileFields->second.find(name);
        return found == fileFields->second.end() ? nullptr : &found->second;
    }
};

}  // namespace tessaran::db::schema
