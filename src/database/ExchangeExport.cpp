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

// The document goes out in pieces of about this size: few writes, little memory.
constexpr std::size_t kWrittenAtOnce = 256 * 1024;

// Throws kExport when the record holds a key or a value that JSON text cannot carry. Read on
// the stored text itself: attribute by attribute, value by value.
void check(const std::string& file, std::string_view key, std::string_view text) {
    if (!json::isUtf8(key))
        throw DatabaseError(error_code::kExport, "export: " + place(file, key) + ": the key is not UTF-8 text");
    int number = 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(kAttributeMark, start), text.size());
        const std::string_view attribute = text.substr(start, end - start);
        bool plain = attribute.find(kSubvalueMark) == std::string_view::npos;
        for (std::size_t value = 0; plain && value <= attribute.size();) {
            const std::size_t stop = std::min(attribute.find(kValueMark, value), attribute.size());
            plain = json::isUtf8(attribute.substr(value, stop - value));
            value = stop + 1;
        }
        if (!plain)
            throw DatabaseError(error_code::kExport, "export: " + place(file, key, std::to_string(number)) +
                                                         " holds subvalues or bytes that are not UTF-8 text");
        start = end + 1;
        ++number;
    }
}

// Appends the record's object: its non-empty attributes in order, one value as a string,
// several as an array. Read on the stored text itself, without building the record.
void appendRecord(std::string& out, std::string_view record) {
    bool first = true;
    int number = 1;
    for (std::size_t start = 0; start <= record.size(); ++number) {
        const std::size_t end = std::min(record.find(kAttributeMark, start), record.size());
        const std::string_view text = record.substr(start, end - start);
        start = end + 1;
        if (text.empty()) continue;
        out += first ? "{\n      \"" : ",\n      \"";
        first = false;
        out += std::to_string(number);
        out += "\": ";
        if (text.find(kValueMark) == std::string_view::npos) {
            json::appendQuoted(out, text);
            continue;
        }
        for (std::size_t value = 0; value <= text.size();) {
            const std::size_t stop = std::min(text.find(kValueMark, value), text.size());
            out += value == 0 ? "[\n        " : ",\n        ";
            json::appendQuoted(out, text.substr(value, stop - value));
            value = stop + 1;
        }
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
                check(file, key, text);
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
                appendRecord(chunk, text);
                if (chunk.size() >= kWrittenAtOnce) {
                    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
                    chunk.clear();
                }
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
