// Export: the records of the data files as one JSON document, read in one pass over one
// snapshot of the database and written record by record as they are read.

#include <algorithm>
#include <ostream>
#include <sstream>

#include "DatabaseError.h"
#include "Exchange.h"
#include "ExportDocument.h"
#include "MultivalueDatabase.h"

namespace tessaran::db {

void exportJson(const MultivalueDatabase& database, std::ostream& out, const std::vector<std::string>& fileNames) {
    const std::vector<std::string> known = database.fileNames();
    std::vector<std::string> files = fileNames.empty() ? known : fileNames;
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    for (const std::string& file : files)
        if (!std::binary_search(known.begin(), known.end(), file))
            throw DatabaseError(error_code::kUnknownFile, "no data file named \"" + file + "\"");
    // An output that fails (a full disk) ends the reading at once: the caller finds the stream
    // failed and says so, without the rest of the database read for nothing.
    struct OutputFailed {};
    try {
        database.readConsistently([&] {
            ExportDocument document(out);
            for (const std::string& file : files) {
                document.beginFile(file);
                database.scan(file, [&](std::string_view key, std::string_view text) {
                    document.addRecord(key, text);
                    if (!out) throw OutputFailed{};
                });
                document.endFile();
            }
            document.finish();
        });
    } catch (const OutputFailed&) {
    }
}

std::string exportJson(const MultivalueDatabase& database, const std::vector<std::string>& fileNames) {
    std::ostringstream out;
    exportJson(database, out, fileNames);
    return out.str();
}

}  // namespace tessaran::db
