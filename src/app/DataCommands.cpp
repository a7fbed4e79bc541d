#include "DataCommands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <system_error>

#include "DatabasePath.h"
#include "ExitCodes.h"
#include "database/Attributes.h"
#include "database/Database.h"
#include "database/DatabaseError.h"
#include "database/Exchange.h"
#include "database/SelectTokenizer.h"
#include "database/SqliteDatabase.h"
#include "platform/DatabaseRights.h"

namespace tessaran::app {
namespace {

using db::SqliteDatabase;

// A failure already worded for the user, with its exit code.
class CommandFailure : public std::runtime_error {
public:
    CommandFailure(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }

private:
    int exitCode_;
};

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) || error;  // unknown counts as existing: never clobber
}

std::shared_ptr<SqliteDatabase> openExisting(const std::string& path) {
    if (!fileExists(path)) throw CommandFailure(exit_code::kDatabase, missingDatabaseMessage(path));
    return SqliteDatabase::open(path);
}

// Removes a database this command created and could not finish, with its journal files.
void removeDatabaseFiles(const std::string& path) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix, ignored);
}

// Creates a new database and fills it; a failure while filling leaves no file behind.
template <typename Fill>
void createDatabase(const std::string& path, const Fill& fill) {
    if (fileExists(path))
        throw CommandFailure(exit_code::kDatabase, path + " already exists; it is never overwritten");
    std::shared_ptr<SqliteDatabase> database = SqliteDatabase::create(path);
    try {
        fill(*database);
    } catch (...) {
        database.reset();
        removeDatabaseFiles(path);
        throw;
    }
}

int runDemo(const CommandLine& line, const Streams& streams) {
    int records = 0;
    createDatabase(line.databasePath, [&](SqliteDatabase& database) {
        records = db::importJson(database, demoDatabaseJson());
        database.setRightLevel(kDemoPrintingUser, platform::kFunctionKey, 2);
        database.setRightLevel(kDemoConsultingUser, platform::kFunctionKey, 1);
        // Whoever creates it may use it at once, and act as the demo users.
        if (!line.adminName.empty()) database.setRightLevel(line.adminName, platform::kFunctionKey, 2);
    });
    streams.out << "Demo database created: " << line.databasePath << " (" << records << " records).\n"
                << "Users: " << kDemoPrintingUser << " (level 2, may print), " << kDemoConsultingUser
                << " (level 1, may reprint)"
                << (line.adminName.empty() ? std::string() : ", " + line.adminName + " (level 2)")
                << ". Current pay period: 202611.\n";
    return exit_code::kOk;
}

int runInit(const CommandLine& line, const Streams& streams) {
    createDatabase(line.databasePath, [&](SqliteDatabase& database) {
        database.setRightLevel(line.adminName, platform::kFunctionKey, 2);
    });
    streams.out << "Database created: " << line.databasePath << ". " << line.adminName
                << " may print (level 2 for \"" << platform::kFunctionKey << "\").\n";
    return exit_code::kOk;
}

// One continuous series of invoice numbers: an import may not leave the counter below an
// invoice number recorded on a flow, or the next print run would give that number again.
void refuseCounterBelowInvoices(SqliteDatabase& database) {
    std::string counter;
    try {
        counter = database.OpenFile("NUMEROFACT")->Read("001")->get(db::attr::counter::kLastInvoiceNumber);
    } catch (const db::DatabaseError& error) {
        if (error.code() == db::error_code::kNotFound) return;
        throw;
    }
    if (counter.empty()) counter = "0";
    if (counter.size() > 10 || counter.find_first_not_of("0123456789") != std::string::npos) return;
    counter.insert(0, 10 - counter.size(), '0');
    const auto highest = database.highestNumber("FLUXCOMPTABLES", db::attr::flow::kInvoiceNumber, 10);
    if (highest && *highest > counter) {
        throw db::DatabaseError(db::error_code::kImport,
                                "import refused: file \"NUMEROFACT\", key \"001\", attribute \"10\": the invoice "
                                "counter " + counter + " would be below invoice number " + *highest +
                                    " recorded on a flow, and a print run would give that number again");
    }
}

int runImport(const CommandLine& line, const Streams& streams) {
    // The document is streamed into the database as it is read, from the file or stdin: it is
    // opened first, so that a file that cannot be read is said before the database is looked at.
    const std::string& source = line.arguments.front();
    std::ifstream file;
    if (source != "-") {
        file.open(source, std::ios::binary);
        if (!file) throw CommandFailure(exit_code::kRefusedInput, "cannot read " + source);
    }
    std::istream& document = source == "-" ? streams.in : file;
    const std::shared_ptr<SqliteDatabase> database = openExisting(line.databasePath);
    int records = 0;
    try {
        records = db::importJson(*database, document, [&] { refuseCounterBelowInvoices(*database); });
    } catch (const db::DatabaseError& error) {
        // A read that failed ends the document early: say that rather than "not JSON".
        if (error.code() == db::error_code::kImport && document.bad())
            throw CommandFailure(exit_code::kRefusedInput, "cannot read " + source);
        throw;
    }
    streams.out << records << (records == 1 ? " record" : " records") << " imported into " << line.databasePath
                << ".\n";
    return exit_code::kOk;
}

std::string joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
    return text;
}

int runExport(const CommandLine& line, const Streams& streams) {
    const std::shared_ptr<SqliteDatabase> database = openExisting(line.databasePath);
    const std::vector<std::string> known = database->fileNames();
    for (const std::string& name : line.arguments)
        if (std::find(known.begin(), known.end(), name) == known.end())
            throw CommandFailure(exit_code::kUsage, "no data file named '" + name + "' (files: " + joined(known, ", ") + ")");
    db::exportJson(*database, streams.out, line.arguments);
    return exit_code::kOk;
}

int runSelect(const CommandLine& line, const Streams& streams) {
    const std::string& statement = line.arguments.front();
    db::select::refuseMarks(statement);  // the request would cut the statement at a mark
    std::istringstream words(statement);
    std::string verb;
    std::string fileName;
    words >> verb >> fileName;
    if (verb != "SSELECT")
        throw CommandFailure(exit_code::kRefusedInput, "a select statement begins with SSELECT, not '" + verb + "'");
    if (fileName.empty()) throw CommandFailure(exit_code::kRefusedInput, "SSELECT needs a file name");

    const std::shared_ptr<SqliteDatabase> database = openExisting(line.databasePath);
    db::SelectRequest request;
    request.set(1, statement);
    request.set(2, fileName);
    request.set(3, line.attributes);
    streams.out << selectOutputLines(database->Select(request.str(), ""));
    return exit_code::kOk;
}

int runRights(const CommandLine& line, const Streams& streams) {
    const std::shared_ptr<SqliteDatabase> database = openExisting(line.databasePath);
    const std::string functionKey = platform::kFunctionKey;
    if (line.arguments.empty()) {
        std::vector<SqliteDatabase::RightEntry> entries = database->rights();
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.user < b.user; });
        for (const auto& entry : entries)
            if (entry.functionKey == functionKey) streams.out << entry.user << '\t' << entry.level << '\n';
        return exit_code::kOk;
    }
    const std::string& user = line.arguments[0];
    if (line.arguments.size() == 2) database->setRightLevel(user, functionKey, std::stoi(line.arguments[1]));
    streams.out << user << '\t' << database->rightLevel(user, functionKey).value_or(0) << '\n';
    return exit_code::kOk;
}

// A value of a result list made readable on one line.
std::string readableValue(const db::DynamicArray::Value& subvalues) {
    std::string text;
    for (std::size_t i = 0; i < subvalues.size(); ++i) {
        if (i > 0) text += ']';
        for (const char c : subvalues[i]) {
            switch (c) {
            case db::kAttributeMark: text += '^'; break;
            case db::kValueMark: text += ']'; break;
            case db::kSubvalueMark: text += '\\'; break;
            case '\t':
            case '\n':
            case '\r': text += ' '; break;
            default: text += c;
            }
        }
    }
    return text;
}

}  // namespace

int exitCodeForDatabaseError(std::uint32_t code) {
    switch (code) {
    case db::error_code::kImport:
    case db::error_code::kSelectSyntax:
    case db::error_code::kUnknownFile:
    case db::error_code::kInvalidRequest: return exit_code::kRefusedInput;
    default: return exit_code::kDatabase;
    }
}

std::string selectOutputLines(const db::DynamicArray& resultList) {
    std::string lines;
    for (const db::DynamicArray::Attribute& record : resultList.attributes()) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (i > 0) lines += '\t';
            lines += readableValue(record[i]);
        }
        lines += '\n';
    }
    return lines;
}

int runDataCommand(const CommandLine& line, const Streams& streams) {
    const std::string prefix = "tessaran " + commandName(line.command) + ": ";
    try {
        int result = exit_code::kUsage;
        switch (line.command) {
        case Command::Demo: result = runDemo(line, streams); break;
        case Command::Init: result = runInit(line, streams); break;
        case Command::Import: result = runImport(line, streams); break;
        case Command::Export: result = runExport(line, streams); break;
        case Command::Select: result = runSelect(line, streams); break;
        case Command::Rights: result = runRights(line, streams); break;
        case Command::Help:
        case Command::Print:
        case Command::Reprint:
        case Command::Preview:
        case Command::Gui:
            streams.err << prefix << "not a data command\n";
            return exit_code::kUsage;
        }
        streams.out.flush();
        if (!streams.out) {
            streams.err << prefix << "cannot write the output\n";
            return exit_code::kOutput;
        }
        return result;
    } catch (const CommandFailure& failure) {
        streams.err << prefix << failure.what() << '\n';
        return failure.exitCode();
    } catch (const db::DatabaseError& error) {
        streams.err << prefix << error.what() << '\n';
        return exitCodeForDatabaseError(error.code());
    }
}

}  // namespace tessaran::app
