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
#include "Messages.h"
#include "database/Attributes.h"
#include "database/Database.h"
#include "database/DatabaseError.h"
#include "database/Exchange.h"
#include "database/SelectTokenizer.h"
#include "database/MultivalueDatabase.h"
#include "database/OpenDatabase.h"
#include "platform/DatabaseRights.h"

namespace tessaran::app {
namespace {

using db::MultivalueDatabase;

// A failure already worded for the user, with its exit code.
class CommandFailure : public std::runtime_error {
public:
    CommandFailure(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }

private:
    int exitCode_;
};

std::shared_ptr<MultivalueDatabase> openExisting(const std::string& path) {
    if (!databaseFileExists(path)) throw CommandFailure(exit_code::kDatabase, missingDatabaseMessage(path));
    return db::openDatabase(path);
}

// Creates a new database and fills it; a failure while filling leaves no file (or, on a
// server, no table) behind.
template <typename Fill>
void createDatabase(const std::string& path, const Fill& fill) {
    if (!db::isServerLocation(path) && databaseFileExists(path))
        throw CommandFailure(exit_code::kDatabase,
                             filled(QCoreApplication::translate("DataCommands", "%1 already exists; it is never overwritten"), {path}));
    std::shared_ptr<MultivalueDatabase> database = db::createDatabase(path);
    try {
        fill(*database);
    } catch (...) {
        db::discardNewDatabase(path, std::move(database));
        throw;
    }
}

// Who is given level 2 in a new database: the user named, or on a server the role that
// connected (the only user the server will let act there).
std::string firstAdministrator(const MultivalueDatabase& database, const std::string& named) {
    return database.authenticatedUser().value_or(named);
}

int runDemo(const CommandLine& line, const Streams& streams) {
    int records = 0;
    std::string administrator = line.adminName;
    createDatabase(line.databasePath, [&](MultivalueDatabase& database) {
        records = db::importJson(database, demoDatabaseJson());
        database.setRightLevel(kDemoPrintingUser, platform::kFunctionKey, 2);
        database.setRightLevel(kDemoConsultingUser, platform::kFunctionKey, 1);
        // Whoever creates it may use it at once, and act as the demo users.
        if (!administrator.empty()) administrator = firstAdministrator(database, administrator);
        if (!administrator.empty()) database.setRightLevel(administrator, platform::kFunctionKey, 2);
    });
    streams.out << filled(QCoreApplication::translate("DataCommands", "Demo database created: %1 (%2 records).\n"),
                          {line.databasePath, std::to_string(records)})
                << (administrator.empty()
                        ? filled(QCoreApplication::translate("DataCommands", "Users: %1 (level 2, may print), %2 (level 1, may reprint). "
                                                                       "Current pay period: 202611.\n"),
                                 {kDemoPrintingUser, kDemoConsultingUser})
                        : filled(QCoreApplication::translate("DataCommands", "Users: %1 (level 2, may print), %2 (level 1, may reprint), "
                                                                       "%3 (level 2). Current pay period: 202611.\n"),
                                 {kDemoPrintingUser, kDemoConsultingUser, administrator}));
    return exit_code::kOk;
}

int runInit(const CommandLine& line, const Streams& streams) {
    std::string administrator = line.adminName;
    createDatabase(line.databasePath, [&](MultivalueDatabase& database) {
        administrator = firstAdministrator(database, administrator);
        database.setRightLevel(administrator, platform::kFunctionKey, 2);
    });
    streams.out << filled(QCoreApplication::translate("DataCommands", "Database created: %1. %2 may print (level 2 for \"%3\").\n"),
                          {line.databasePath, administrator, platform::kFunctionKey});
    return exit_code::kOk;
}

// One continuous series of invoice numbers: an import may not leave the counter below an
// invoice number recorded on a flow, or the next print run would give that number again.
void refuseCounterBelowInvoices(MultivalueDatabase& database) {
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
                                filled(QCoreApplication::translate(
                                           "DataCommands",
                                           "import refused: file \"NUMEROFACT\", key \"001\", attribute \"10\": "
                                           "the invoice counter %1 would be below invoice number %2 recorded on a "
                                           "flow, and a print run would give that number again"),
                                       {counter, *highest}));
    }
}

int runImport(const CommandLine& line, const Streams& streams) {
    // The document is streamed into the database as it is read, from the file or stdin: it is
    // opened first, so that a file that cannot be read is said before the database is looked at.
    const std::string& source = line.arguments.front();
    std::ifstream file;
    if (source != "-") {
        file.open(source, std::ios::binary);
        if (!file) throw CommandFailure(exit_code::kRefusedInput,
                                 filled(QCoreApplication::translate("DataCommands", "cannot read %1"), {source}));
    }
    std::istream& document = source == "-" ? streams.in : file;
    const std::shared_ptr<MultivalueDatabase> database = openExisting(line.databasePath);
    int records = 0;
    try {
        records = db::importJson(*database, document, [&] { refuseCounterBelowInvoices(*database); });
    } catch (const db::DatabaseError& error) {
        // A read that failed ends the document early: say that rather than "not JSON".
        if (error.code() == db::error_code::kImport && document.bad())
            throw CommandFailure(exit_code::kRefusedInput,
                                 filled(QCoreApplication::translate("DataCommands", "cannot read %1"), {source}));
        throw;
    }
    streams.out << filled(records == 1 ? QCoreApplication::translate("DataCommands", "%1 record imported into %2.\n")
                                       : QCoreApplication::translate("DataCommands", "%1 records imported into %2.\n"),
                          {std::to_string(records), line.databasePath});
    return exit_code::kOk;
}

std::string joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
    return text;
}

int runExport(const CommandLine& line, const Streams& streams) {
    const std::shared_ptr<MultivalueDatabase> database = openExisting(line.databasePath);
    const std::vector<std::string> known = database->fileNames();
    for (const std::string& name : line.arguments)
        if (std::find(known.begin(), known.end(), name) == known.end())
            throw CommandFailure(exit_code::kUsage, filled(QCoreApplication::translate("DataCommands", "no data file named '%1' (files: %2)"),
                                                           {name, joined(known, ", ")}));
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
        throw CommandFailure(exit_code::kRefusedInput,
                             filled(QCoreApplication::translate("DataCommands", "a select statement begins with SSELECT, not '%1'"), {verb}));
    if (fileName.empty())
        throw CommandFailure(exit_code::kRefusedInput, filled(QCoreApplication::translate("DataCommands", "SSELECT needs a file name")));

    const std::shared_ptr<MultivalueDatabase> database = openExisting(line.databasePath);
    db::SelectRequest request;
    request.set(1, statement);
    request.set(2, fileName);
    request.set(3, line.attributes);
    streams.out << selectOutputLines(database->Select(request.str(), ""));
    return exit_code::kOk;
}

int runRights(const CommandLine& line, const Streams& streams) {
    const std::shared_ptr<MultivalueDatabase> database = openExisting(line.databasePath);
    const std::string functionKey = platform::kFunctionKey;
    if (line.arguments.empty()) {
        std::vector<MultivalueDatabase::RightEntry> entries = database->rights();
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
    const std::string prefix = messagePrefix(commandName(line.command));
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
            streams.err << prefix << filled(QCoreApplication::translate("DataCommands", "not a data command")) << '\n';
            return exit_code::kUsage;
        }
        streams.out.flush();
        if (!streams.out) {
            streams.err << prefix << filled(QCoreApplication::translate("DataCommands", "cannot write the output")) << '\n';
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
