#include "Exchange.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include <nlohmann/json.hpp>

#include "DatabaseError.h"
#include "FieldDefinition.h"
#include "SqliteDatabase.h"
#include "ValueText.h"

namespace tessaran::db {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

[[noreturn]] void refuse(const std::string& message) {
    throw DatabaseError(error_code::kImport, "import refused: " + message);
}

std::string place(const std::string& file, const std::string& key, const std::string& attribute = {}) {
    std::string where = "file \"" + file + "\", key \"" + key + "\"";
    if (!attribute.empty()) where += ", attribute \"" + attribute + "\"";
    return where;
}

int attributeNumber(const std::string& name, const std::string& file, const std::string& key) {
    const bool digits = !name.empty() && name.size() <= 6 && name.front() != '0' &&
                        name.find_first_not_of("0123456789") == std::string::npos;
    const int number = digits ? std::stoi(name) : 0;
    if (number < 1 || number > kMaxAttributeNumber)
        refuse(place(file, key, name) + ": an attribute is named by a whole number from 1 to " +
               std::to_string(kMaxAttributeNumber));
    return number;
}

// One value as stored: a string as is, a number as its decimal text.
std::optional<std::string> scalarText(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return value.dump();  // signed and unsigned alike
    if (value.is_number_float()) return value.dump();
    return std::nullopt;
}

const char* typeName(const Json& value) {
    if (value.is_array()) return "a nested array";
    return value.type_name();
}

DynamicArray recordFrom(const Json& attributes, const std::string& file, const std::string& key) {
    if (!attributes.is_object())
        refuse(place(file, key) + ": a record must be an object of attributes, not " +
               std::string(attributes.type_name()));
    DynamicArray record;
    for (const auto& [name, value] : attributes.items()) {
        const int number = attributeNumber(name, file, key);
        if (std::optional<std::string> text = scalarText(value)) {
            record.set(number, *text);
            continue;
        }
        if (!value.is_array())
            refuse(place(file, key, name) + ": a value must be a string, a number or an array of them, not " +
                   std::string(value.type_name()));
        record.set(number, "");
        int position = 0;
        for (const Json& element : value) {
            std::optional<std::string> text = scalarText(element);
            if (!text)
                refuse(place(file, key, name) + ": value " + std::to_string(position + 1) +
                       " must be a string or a number, not " + typeName(element));
            record.set(number, ++position, *text);
        }
    }
    return record;
}

bool isUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        if (lead < 0x80) length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF) length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
        else return false;
        if (at + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

std::string exportable(std::string_view text, const std::string& file, const std::string& key, int attribute) {
    if (!isUtf8(text))
        throw DatabaseError(error_code::kExport,
                            "export: " + place(file, key, std::to_string(attribute)) +
                                " holds subvalues or bytes that are not UTF-8 text");
    return std::string(text);
}

OrderedJson recordJson(const DynamicArray& record, const std::string& file, const std::string& key) {
    OrderedJson attributes = OrderedJson::object();
    const auto& parsed = record.attributes();
    for (std::size_t a = 0; a < parsed.size(); ++a) {
        const int number = static_cast<int>(a) + 1;
        if (record.DCount(number) == 0) continue;
        const DynamicArray::Attribute& values = parsed[a];
        if (values.size() == 1) {
            attributes[std::to_string(number)] = exportable(valueText(values.front()), file, key, number);
            continue;
        }
        OrderedJson array = OrderedJson::array();
        for (const DynamicArray::Value& value : values) array.push_back(exportable(valueText(value), file, key, number));
        attributes[std::to_string(number)] = std::move(array);
    }
    return attributes;
}

}  // namespace

int importJson(SqliteDatabase& database, const std::string& jsonText) {
    Json document;
    try {
        document = Json::parse(jsonText);
    } catch (const Json::parse_error& error) {
        std::string what = error.what();
        const std::size_t detail = what.find("] ");
        if (detail != std::string::npos) what.erase(0, detail + 2);
        refuse("the document is not JSON (" + what + ")");
    }
    if (!document.is_object()) refuse("the document must be an object of files, not " + std::string(document.type_name()));

    const std::vector<std::string> known = database.fileNames();
    std::vector<std::tuple<std::string, std::string, DynamicArray>> records;
    for (const auto& [file, keys] : document.items()) {
        if (std::find(known.begin(), known.end(), file) == known.end()) refuse("unknown file \"" + file + "\"");
        if (!keys.is_object())
            refuse("file \"" + file + "\" must be an object of records, not " + std::string(keys.type_name()));
        for (const auto& [key, attributes] : keys.items()) {
            if (key.empty()) refuse("file \"" + file + "\": a record key must not be empty");
            records.emplace_back(file, key, recordFrom(attributes, file, key));
        }
    }

    database.atomically([&] {
        std::map<std::string, std::shared_ptr<File>> files;
        for (const auto& [file, key, record] : records) {
            std::shared_ptr<File>& opened = files[file];
            if (!opened) opened = database.OpenFile(file);
            opened->write(key, record);
        }
    });
    return static_cast<int>(records.size());
}

std::string exportJson(const SqliteDatabase& database, const std::vector<std::string>& fileNames) {
    std::vector<std::string> files = fileNames.empty() ? database.fileNames() : fileNames;
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    OrderedJson document = OrderedJson::object();
    for (const std::string& file : files) {
        OrderedJson keys = OrderedJson::object();
        for (const auto& [key, record] : database.records(file)) {
            if (!isUtf8(key))
                throw DatabaseError(error_code::kExport, "export: " + place(file, key) + ": the key is not UTF-8 text");
            keys[key] = recordJson(record, file, key);
        }
        document[file] = std::move(keys);
    }
    return document.dump(2) + "\n";
}

}  // namespace tessaran::db
