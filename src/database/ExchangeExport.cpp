// Export: the records of the data files as one JSON document, written record by record from
// one snapshot of the database, in the layout the JSON library gives with an indent of two.

#include <algorithm>
#include <ostream>
#include <sstream>

#include "DatabaseError.h"
#include "Exchange.h"
#include "ExchangePlace.h"
#include "JsonText.h"
#include "MultivalueDatabase.h"

namespace tessaran::db {
namespace {

using exchange::place;

// Throws kExport when the record holds a key or a value that JSON text cannot carry.
void check(const std::string& file, std::string_view key, const DynamicArray& record) {
    if (!json::isUtf8(key))
        throw DatabaseError(error_code::kExport, "export: " + place(file, key) + ": the key is not UTF-8 text");
    for (int number = 1; number <= record.attributeCount(); ++number) {
        if (record.DCount(number) == 0) continue;
        const bool plain = !record.anyValue(number, [](std::string_view value) {
            return value.find(kSubvalueMark) != std::string_view::npos || !json::isUtf8(value);
        });
        if (!plain)
            throw DatabaseError(error_code::kExport, "export: " + place(file, key, std::to_string(number)) +
                                                         " holds subvalues or bytes that are not UTF-8 text");
    }
}

// Appends the record's object: its non-empty attributes in order, one value as a string,
// several as an array.
void appendRecord(std::string& out, const DynamicArray& record) {
    bool first = true;
    for (int number = 1; number <= record.attributeCount(); ++number) {
        if (record.DCount(number) == 0) continue;
        out += first ? "{\n      \"" : ",\n      \"";
        first = false;
        out += std::to_string(number);
        out += "\": ";
        if (record.DCount(number) == 1) {
            json::appendQuoted(out, record.attributeText(number));
            continue;
        }
        int v = 0;
        record.anyValue(number, [&](std::string_view value) {
            out += v++ == 0 ? "[\n        " : ",\n        ";
            json::appendQuoted(out, value);
            return false;
        });
        out += "\n      ]";
    }
    out += first ? "{}" : "\n    }";
}

}  // namespace

void exportJson(const MultivalueDatabase& database, std::ostream& out, const std::vector<std::string>& fileNames) {
    std::vector<std::string> files = fileNames.empty() ? database.fileNames() : fileNames;
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    database.readConsistently([&] {
        // Every record is checked before anything is written, so that a refused export
        // writes nothing.
        for (const std::string& file : files)
            database.scan(file, [&](std::string_view key, std::string_view text) {
                check(file, key, DynamicArray(text));
            });
        std::string chunk = "{";
        for (std::size_t f = 0; f < files.size(); ++f) {
            chunk += f == 0 ? "\n  " : ",\n  ";
            json::appendQuoted(chunk, files[f]);
            chunk += ": {";
            bool first = true;
            database.scan(files[f], [&](std::string_view key, std::string_view text) {
                chunk += first ? "\n    " : ",\n    ";
                first = false;
                json::appendQuoted(chunk, key);
                chunk += ": ";
                appendRecord(chunk, DynamicArray(text));
                out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
                chunk.clear();
            });
            chunk += first ? "}" : "\n  }";
        }
        chunk += files.empty() ? "}\n" : "\n}\n";
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    });
}

std::string exportJson(const MultivalueDatabase& database, const std::vector<std::string>& fileNames) {
    std::ostringstream out;
    exportJson(database, out, fileNames);
    return out.str();
}

}  // namespace tessaran::db
