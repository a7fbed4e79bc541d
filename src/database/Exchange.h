#pragma once
// JSON exchange of records: {"FILE": {"KEY": {"1": "text", "49": ["v1", "v2"]}}}.
// Attribute numbers are the keys; a string is one value, an array several (numbers are
// accepted and kept exactly as written). Import is all or nothing, and streamed: its memory
// does not grow with the document.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tessaran::db {

class MultivalueDatabase;

// Loads every record of the document in one transaction; throws DatabaseError kImport with a
// message naming the file, key and attribute at fault, leaving the database as it was. Refused
// besides what is not of the form above: a file or a key given twice, an attribute given
// twice in a record, a number too large to be read, and keys that a select statement could
// not name (empty, holding '"', a control character or a mark byte, or ending with ']').
// `check` runs after the records are written, inside the import's transaction: it refuses the
// whole import by throwing. Returns the number of records written.
// The document is read as it arrives, each record written as soon as it is complete; what is
// kept meanwhile is one record and one chunk of text, whatever the size of the document (the
// keys met so far, to refuse one given twice, are in a temporary database, see ImportedKeys).
// A stream that fails to read ends the document there: the import is then refused as not JSON,
// and the stream's state says why.
int importJson(MultivalueDatabase& database, std::istream& document, const std::function<void()>& check = {});
int importJson(MultivalueDatabase& database, const std::string& jsonText, const std::function<void()>& check = {});

// Writes the records of the named files (all files when empty) in the same form, files and
// keys in order, indented, ending with a newline. The records are read once, from one snapshot
// of the database, and the document goes to `out` as it is written, in pieces of 512 KiB or
// more. Throws kUnknownFile for a name the database does not have, before anything is written;
// and kExport for a record that JSON cannot carry, where it stands: the document is then cut
// short, not closed, and no import takes it.
void exportJson(const MultivalueDatabase& database, std::ostream& out, const std::vector<std::string>& fileNames = {});
std::string exportJson(const MultivalueDatabase& database, const std::vector<std::string>& fileNames = {});

}  // namespace tessaran::db
