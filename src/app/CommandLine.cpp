#include "CommandLine.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "Messages.h"

namespace tessaran::app {
namespace {

struct CommandEntry {
    Command command;
    const char* name;
};

constexpr std::array<CommandEntry, 11> kCommands = {{
    {Command::Help, "help"},     {Command::Demo, "demo"},     {Command::Init, "init"},
    {Command::Import, "import"}, {Command::Export, "export"}, {Command::Select, "select"},
    {Command::Print, "print"},   {Command::Reprint, "reprint"}, {Command::Preview, "preview"}, {Command::Gui, "gui"},
    {Command::Rights, "rights"},
}};

std::optional<Command> commandNamed(const std::string& name) {
    for (const CommandEntry& entry : kCommands)
        if (name == entry.name) return entry.command;
    return std::nullopt;
}

enum class Arity { Flag, One, Several };

struct OptionRule {
    const char* name;
    Arity arity;
};

// The options each command accepts, besides --help.
std::vector<OptionRule> optionsOf(Command command) {
    switch (command) {
    case Command::Help: return {};
    case Command::Demo:
    case Command::Export:
    case Command::Import:
    case Command::Rights: return {{"--db", Arity::One}};
    case Command::Init: return {{"--db", Arity::One}, {"--admin", Arity::One}};
    case Command::Select: return {{"--db", Arity::One}, {"--attrs", Arity::One}};
    case Command::Gui: return {{"--db", Arity::One}, {"--user", Arity::One}};
    case Command::Print:
    case Command::Reprint:
    case Command::Preview:
        return {{"--db", Arity::One},     {"--user", Arity::One},   {"--period", Arity::One},
                {"--assoc", Arity::Several}, {"--all", Arity::Flag}, {"--output", Arity::One},
                {"--printer", Arity::One}, {"--copies", Arity::One}};
    }
    return {};
}

bool isHelpWord(const std::string& word) { return word == "--help" || word == "-h"; }

// "-1" is a (negative) value, not an option: the option's own check then says what it takes.
bool looksLikeOption(const std::string& word) {
    return word.size() > 1 && word[0] == '-' && std::isdigit(static_cast<unsigned char>(word[1])) == 0;
}

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Options as given: each name with its values, in order; repeated options accumulate.
struct GivenOptions {
    std::vector<std::pair<std::string, std::vector<std::string>>> entries;
    std::vector<std::string> positional;

    const std::vector<std::string>* find(const std::string& name) const {
        for (const auto& [optionName, values] : entries)
            if (optionName == name) return &values;
        return nullptr;
    }
    bool has(const std::string& name) const { return find(name) != nullptr; }
    std::optional<std::string> single(const std::string& name) const {
        const auto* values = find(name);
        if (values == nullptr) return std::nullopt;
        return values->back();  // the last one given wins
    }
};

GivenOptions splitOptions(Command command, const std::vector<std::string>& words) {
    const std::vector<OptionRule> rules = optionsOf(command);
    const std::string name = commandName(command);
    GivenOptions given;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || !looksLikeOption(word)) {
            given.positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string optionName = word.substr(0, equals);
        const auto rule = std::find_if(rules.begin(), rules.end(),
                                       [&](const OptionRule& s) { return optionName == s.name; });
        if (rule == rules.end())
            throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "unknown option %1 for '%2'"), {optionName, name}));

        std::vector<std::string> values;
        if (rule->arity == Arity::Flag) {
            if (equals != std::string::npos)
                throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "option %1 takes no value"), {optionName}));
        } else {
            if (equals != std::string::npos) {
                values.push_back(word.substr(equals + 1));
            } else if (i + 1 < words.size() && !looksLikeOption(words[i + 1])) {
                values.push_back(words[++i]);
            } else {
                throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "option %1 needs a value"), {optionName}));
            }
            if (rule->arity == Arity::Several)
                while (i + 1 < words.size() && !looksLikeOption(words[i + 1])) values.push_back(words[++i]);
        }
        auto existing = std::find_if(given.entries.begin(), given.entries.end(),
                                     [&](const auto& entry) { return entry.first == optionName; });
        if (existing == given.entries.end())
            given.entries.emplace_back(optionName, std::move(values));
        else
            existing->second.insert(existing->second.end(), values.begin(), values.end());
    }
    return given;
}

void requireNonEmpty(Command command, const std::string& option, const std::string& value) {
    if (value.empty())
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "option %1 needs a non-empty value"), {option}));
}

std::string databasePathOf(const GivenOptions& given, const Environment& environment, Command command) {
    if (auto path = given.single("--db")) {
        requireNonEmpty(command, "--db", *path);
        return *path;
    }
    if (auto fromEnvironment = environment.variable("TESSARAN_DB"); fromEnvironment && !fromEnvironment->empty())
        return *fromEnvironment;
    return "./tessaran.db";
}

// A user name is printable text: no tab, line break or other control character, which would
// forge lines of the rights listing.
void requireUserName(Command command, const std::string& what, const std::string& name) {
    requireNonEmpty(command, what, name);
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (control)
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "%1 must be printable text, without tabs or line breaks"), {what}));
}

// Who runs the command: the login name, and the user it acts as when --user (where the command
// takes it) or $TESSARAN_USER names another.
void userOf(const GivenOptions& given, const Environment& environment, Command command, CommandLine& line) {
    line.loginName = environment.loginName();
    if (auto user = given.single("--user")) {
        requireUserName(command, "--user", *user);
        line.actingAs = *user;
    } else if (auto fromEnvironment = environment.variable("TESSARAN_USER");
               fromEnvironment && !fromEnvironment->empty()) {
        requireUserName(command, "TESSARAN_USER", *fromEnvironment);
        line.actingAs = *fromEnvironment;
    }
    if (line.actingAs == line.loginName) line.actingAs.clear();
    line.host.userName = line.actingAs.empty() ? line.loginName : line.actingAs;
    if (line.host.userName.empty())
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "cannot find the login name: give --user NAME or set TESSARAN_USER")));
}

// "0 1" with any spacing -> "0 1"; anything but whole numbers is refused.
std::string normalisedAttributes(const std::string& text) {
    std::istringstream words(text);
    std::string word;
    std::string result;
    while (words >> word) {
        if (!allDigits(word))
            throw UsageError(Command::Select,
                             filled(QCoreApplication::translate("CommandLine", "--attrs takes attribute numbers separated by spaces (0 is the key), not '%1'"),
                                    {word}));
        if (!result.empty()) result += ' ';
        result += word;
    }
    if (result.empty())
        throw UsageError(Command::Select, filled(QCoreApplication::translate("CommandLine", "--attrs needs at least one attribute number")));
    return result;
}

void checkPositionalCount(Command command, const GivenOptions& given, std::size_t least, std::size_t most,
                          const std::string& what) {
    const std::size_t count = given.positional.size();
    if (count < least) throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "missing %1"), {what}));
    if (count > most) {
        throw UsageError(command, command == Command::Select
                                      ? filled(QCoreApplication::translate("CommandLine", "unexpected argument '%1' (quote the whole statement)"),
                                               {given.positional[most]})
                                      : filled(QCoreApplication::translate("CommandLine", "unexpected argument '%1'"), {given.positional[most]}));
    }
}

void parseHostOptions(Command command, const GivenOptions& given, CommandLine& line) {
    HostOptions& host = line.host;
    const auto period = given.single("--period");
    if (!period) throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "--period YYYYMM is required")));
    const bool periodWellFormed = period->size() == 6 && allDigits(*period) && period->substr(4) >= "01" &&
                                  period->substr(4) <= "12";
    if (!periodWellFormed)
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "--period takes a pay period as YYYYMM (for example 202611), not '%1'"),
                                         {*period}));
    host.period = *period;

    const auto* codes = given.find("--assoc");
    host.allAssociations = given.has("--all");
    if ((codes != nullptr) == host.allAssociations)
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "give either --assoc CODE... or --all")));
    if (codes != nullptr) {
        for (const std::string& code : *codes) requireNonEmpty(command, "--assoc", code);
        host.associations = *codes;
    }

    const auto output = given.single("--output");
    const auto printer = given.single("--printer");
    if (output && printer)
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "give either --output or --printer, not both")));
    // A preview is never a valid document: it goes to a file, never to paper.
    if (command == Command::Preview && printer)
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "a preview is written to a file: give --output FILE.pdf or --output FILE.txt")));
    if (!output && !printer)
        throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "give --output FILE.pdf, --output FILE.txt or --printer NAME")));
    if (output) {
        const std::string extension = lowerCase(*output);
        if (!endsWith(extension, ".pdf") && !endsWith(extension, ".txt"))
            throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "--output takes a file ending in .pdf or .txt, not '%1'"), {*output}));
        host.outputPath = *output;
    } else {
        requireNonEmpty(command, "--printer", *printer);
        host.printerName = *printer;
    }

    if (const auto copies = given.single("--copies")) {
        if (!allDigits(*copies) || copies->size() > 2 || std::stoi(*copies) < 1)
            throw UsageError(command, filled(QCoreApplication::translate("CommandLine", "--copies takes a number of copies from 1 to 99, not '%1'"), {*copies}));
        host.copies = std::stoi(*copies);
    }
}

}  // namespace

std::string commandName(Command command) {
    for (const CommandEntry& entry : kCommands)
        if (entry.command == command) return entry.name;
    return "help";
}

Environment systemEnvironment() {
    Environment environment;
    environment.variable = [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) return std::nullopt;
        return std::string(value);
    };
    environment.loginName = []() -> std::string {
        if (const char* login = getlogin(); login != nullptr && *login != '\0') return login;
        if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr)
            return entry->pw_name;
        if (const char* user = std::getenv("USER"); user != nullptr) return user;
        return {};
    };
    return environment;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments, const Environment& environment) {
    CommandLine line;
    if (arguments.empty()) throw UsageError(std::nullopt, filled(QCoreApplication::translate("CommandLine", "no command given")));

    const std::string& first = arguments.front();
    if (isHelpWord(first)) return line;
    const std::optional<Command> command = commandNamed(first);
    if (!command) throw UsageError(std::nullopt, filled(QCoreApplication::translate("CommandLine", "unknown command '%1'"), {first}));

    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (*command == Command::Help) {
        if (rest.size() == 1 && isHelpWord(rest.front())) return line;  // `tessaran help --help`: the help
        if (rest.size() > 1) throw UsageError(Command::Help, filled(QCoreApplication::translate("CommandLine", "help takes at most one command name")));
        if (!rest.empty()) {
            line.helpTopic = commandNamed(rest.front());
            if (!line.helpTopic)
                throw UsageError(Command::Help, filled(QCoreApplication::translate("CommandLine", "unknown command '%1'"), {rest.front()}));
        }
        return line;
    }
    const auto endOfOptions = std::find(rest.begin(), rest.end(), "--");
    if (std::any_of(rest.begin(), endOfOptions, isHelpWord)) {
        line.helpTopic = command;
        return line;
    }

    line.command = *command;
    const GivenOptions given = splitOptions(*command, rest);
    line.databasePath = databasePathOf(given, environment, *command);
    line.arguments = given.positional;

    switch (*command) {
    case Command::Help: break;
    case Command::Demo:
        checkPositionalCount(*command, given, 0, 0, "");
        line.adminName = environment.loginName();
        break;
    case Command::Init:
        checkPositionalCount(*command, given, 0, 0, "");
        if (auto admin = given.single("--admin")) {
            requireUserName(*command, "--admin", *admin);
            line.adminName = *admin;
        } else {
            line.adminName = environment.loginName();
            if (line.adminName.empty())
                throw UsageError(*command, filled(QCoreApplication::translate("CommandLine", "cannot find the login name: give --admin NAME")));
        }
        break;
    case Command::Import:
        checkPositionalCount(*command, given, 1, 1,
                             filled(QCoreApplication::translate("CommandLine", "the JSON document to import (a file, or - for stdin)")));
        break;
    case Command::Export: break;
    case Command::Select:
        checkPositionalCount(*command, given, 1, 1, filled(QCoreApplication::translate("CommandLine", "the select statement ('SSELECT FILE ...')")));
        if (auto attributes = given.single("--attrs")) line.attributes = normalisedAttributes(*attributes);
        break;
    case Command::Rights:
        checkPositionalCount(*command, given, 0, 2, "");
        if (!line.arguments.empty())
            requireUserName(*command, filled(QCoreApplication::translate("CommandLine", "USER")), line.arguments[0]);
        if (line.arguments.size() == 2 && !(line.arguments[1].size() == 1 && allDigits(line.arguments[1])))
            throw UsageError(*command, filled(QCoreApplication::translate("CommandLine", "a right level is a whole number from 0 to 9, not '%1'"),
                                              {line.arguments[1]}));
        break;
    case Command::Print:
    case Command::Reprint:
    case Command::Preview:
        checkPositionalCount(*command, given, 0, 0, "");
        parseHostOptions(*command, given, line);
        break;
    case Command::Gui:
        checkPositionalCount(*command, given, 0, 0, "");
        break;
    }
    if (*command != Command::Demo && *command != Command::Init) userOf(given, environment, *command, line);
    line.host.databasePath = line.databasePath;
    return line;
}

std::string generalHelp() {
    return filled(QCoreApplication::translate(
        "Help",
        "tessaran: billing statements of the federation's associations, and the tools of their database.\n"
        "\n"
        "Usage: tessaran COMMAND [OPTIONS]\n"
        "\n"
        "Commands:\n"
        "  demo    [--db PATH]                  create the demo database (never overwrites a file)\n"
        "  init    [--db PATH] [--admin NAME]   create an empty database with its ten files\n"
        "  import  [--db PATH] FILE.json        load records from a JSON document, all or nothing (- reads stdin)\n"
        "  export  [--db PATH] [FILE...]        write the records of the named files (all by default) as JSON\n"
        "  select  [--db PATH] 'SSELECT ...' [--attrs \"0 1\"]\n"
        "                                       run a select statement: one line per record, values tab-separated\n"
        "  print   [--db PATH] --period YYYYMM (--assoc CODE... | --all)\n"
        "          [--output FILE.pdf | --output FILE.txt | --printer NAME] [--copies N] [--user NAME]\n"
        "                                       print the statements and fee invoices of a pay period\n"
        "  reprint (the options of print)       print again what an earlier print run produced, writing nothing\n"
        "  preview (the options of print)       the print run rolled back, to --output only: nothing written\n"
        "  gui     [--db PATH] [--user NAME]    open the desktop window\n"
        "  rights  [--db PATH] [USER [LEVEL]]   list, show or set the right levels for \"MORVELINTASKADE\"\n"
        "  help    [COMMAND]                    this text, or the help of one command\n"
        "\n"
        "Defaults:\n"
        "  --db    $TESSARAN_DB, then ./tessaran.db\n"
        "  --user  the login name; --user or $TESSARAN_USER acts as another user (needs level 2)\n"
        "\n"
        "Rights (level for \"MORVELINTASKADE\"): import, rights, print, preview need 2; reprint, export,\n"
        "select, gui need 1; 0 gives nothing.\n"
        "\n"
        "Messages are in French when the locale (LC_ALL, LC_MESSAGES, then LANG) is French, in English\n"
        "otherwise; LC_ALL=C gives English.\n"
        "\n"
        "Exit codes:\n"
        "  0  success\n"
        "  1  usage: unknown command or option, missing or malformed argument\n"
        "  2  database: missing, not a Tessaran database, already exists, read-only, full, no permission\n"
        "  3  refused input: import document or select statement refused\n"
        "  4  refused choice: unknown period or association, no right for the command\n"
        "  5  output: the output file or the printer cannot be used, or the document was not written whole\n"
        "  6  nothing to print: the run found no flow to print or reprint\n"
        "  7  cancelled: the printer choice was cancelled, or the run was interrupted (nothing kept)\n"
        "  8  not kept: a print run's records could not be kept; nothing was recorded\n"
        "  9  busy: another print run held the database longer than the wait\n"
        " 10  invoice counter: the counter is not a usable invoice number; nothing was done\n"
        "\n"
        "Run 'tessaran COMMAND --help' for the details of one command.\n"));
}

namespace {

std::string databaseOption() {
    return filled(QCoreApplication::translate(
        "Help", "  --db PATH     the database file (default: $TESSARAN_DB, then ./tessaran.db)\n"));
}

std::string printHelp(Command command) {
    std::string text = filled(QCoreApplication::translate(
                                  "Help",
                                  "Usage: tessaran %1 [--db PATH] --period YYYYMM (--assoc CODE... | --all)\n"
                                  "       [--output FILE.pdf | --output FILE.txt | --printer NAME] [--copies N] "
                                  "[--user NAME]\n\n"),
                              {commandName(command)});
    if (command == Command::Print) {
        text += filled(QCoreApplication::translate(
            "Help",
            "Prints, for the chosen associations, the billing statement of each sector, the\n"
            "recapitulative statement of multi-sector associations and the management-fee invoice of\n"
            "the pay period, and writes the fees, invoice numbers and complementary flows back.\n"
            "The user needs level 2 for \"MORVELINTASKADE\".\n"));
    } else if (command == Command::Preview) {
        text += filled(QCoreApplication::translate(
            "Help",
            "The print run, in a transaction that is rolled back: the same pages and invoice numbers\n"
            "as a print started now, and nothing written. PDF pages are marked\n"
            "\"APERÇU - document non valable\"; the text rendering is what the print would write.\n"
            "The user needs level 2 for \"MORVELINTASKADE\".\n"));
    } else {
        text += filled(QCoreApplication::translate(
            "Help",
            "Prints again the documents of flows already invoiced for the pay period, without\n"
            "writing anything. Every user may reprint.\n"));
    }
    text += filled(QCoreApplication::translate(
        "Help",
        "Ctrl-C (or SIGTERM) stops the run: nothing is recorded and an existing output file is\n"
        "left as it was.\n"
        "The control's messages go to stderr as 'Message VELORANDE: <text>'.\n\nOptions:\n"));
    text += databaseOption();
    text += filled(QCoreApplication::translate(
        "Help",
        "  --period YYYYMM  the pay period, one of the twelve the control offers\n"
        "  --assoc CODE...  the associations, by code (one or more; may be repeated)\n"
        "  --all            every association\n"
        "  --output FILE    write a PDF (FILE.pdf) or a plain-text rendering (FILE.txt)\n"
        "  --printer NAME   send to a system printer\n"
        "  --copies N       number of copies, 1 to 99 (default 1)\n"
        "  --user NAME      act as another user (default: $TESSARAN_USER, then the login name);\n"
        "                   only a login user of level 2 may\n"
        "\nExit codes: 0 printed; 1 usage; 2 database missing or failing; 4 unknown period or\n"
        "association, or no right to print; 5 output unusable or document not written whole; 6 nothing\n"
        "to print; 7 cancelled (printer choice or interrupt); 8 records not kept; 9 another print run\n"
        "holds the database; 10 invoice counter unusable.\n"));
    return text;
}

}  // namespace

std::string commandHelp(Command command) {
    std::string text;
    switch (command) {
    case Command::Help: return generalHelp();
    case Command::Demo:
        text = filled(QCoreApplication::translate(
            "Help",
            "Usage: tessaran demo [--db PATH]\n\n"
            "Creates a database holding the demo data: seven associations, their sectors, fee scales,\n"
            "funding bodies and accounting flows, with the pay period 202611 waiting to be printed.\n"
            "Users \"admin\" (level 2, may print) and \"consultation\" (level 1) are granted.\n"
            "An existing file is never overwritten.\n\nOptions:\n"));
        text += databaseOption();
        text += filled(QCoreApplication::translate(
            "Help", "\nExit codes: 0 created; 1 usage; 2 the file exists or cannot be created.\n"));
        return text;
    case Command::Init:
        text = filled(QCoreApplication::translate(
            "Help",
            "Usage: tessaran init [--db PATH] [--admin NAME]\n\n"
            "Creates an empty database with the ten files of the application and grants one user\n"
            "level 2 (may print) for \"MORVELINTASKADE\". An existing file is never overwritten.\n\nOptions:\n"));
        text += databaseOption();
        text += filled(QCoreApplication::translate(
            "Help",
            "  --admin NAME  the user granted level 2 (default: the login name)\n"
            "\nExit codes: 0 created; 1 usage; 2 the file exists or cannot be created.\n"));
        return text;
    case Command::Import:
        text = filled(QCoreApplication::translate(
            "Help",
            "Usage: tessaran import [--db PATH] FILE.json\n\n"
            "Loads the records of a JSON document into an existing database, all or nothing: a\n"
            "refused document leaves the database as it was, and the message names the file, key and\n"
            "attribute at fault. FILE - reads the document from stdin. The form is\n"
            "  {\"FILE\": {\"KEY\": {\"1\": \"text\", \"49\": [\"value 1\", \"value 2\"]}}}\n"
            "Records already stored under the same keys are replaced.\n\nOptions:\n"));
        text += databaseOption();
        text += filled(QCoreApplication::translate(
            "Help",
            "\nExit codes: 0 imported; 1 usage; 2 database missing or busy; 3 document refused or unreadable.\n"));
        return text;
    case Command::Export:
        text = filled(QCoreApplication::translate(
            "Help",
            "Usage: tessaran export [--db PATH] [FILE...]\n\n"
            "Writes the records of the named data files (every file when none is named) on stdout as\n"
            "JSON, in the form that import reads, files and keys in order.\n\nOptions:\n"));
        text += databaseOption();
        text += filled(QCoreApplication::translate(
            "Help", "\nExit codes: 0 written; 1 usage or unknown file name; 2 database missing, or a record\n"
                    "that JSON cannot carry (the document is then left unfinished).\n"));
        return text;
    case Command::Select:
        text = filled(QCoreApplication::translate(
            "Help",
            "Usage: tessaran select [--db PATH] 'SSELECT FILE [AVEC ...] [PAR ...]' [--attrs \"0 1\"]\n\n"
            "Runs a select statement of the database's language on FILE (the word after SSELECT) and\n"
            "writes one line per selected record, in the statement's order, the requested attributes\n"
            "separated by tabs. Several values of one attribute are shown separated by ']'; tabs and\n"
            "line breaks inside a value are shown as spaces.\n"
            "Example: tessaran select 'SSELECT FLUXCOMPTABLES AVEC 20 = \"\" PAR CodeAssoc' --attrs \"0 4 6\"\n"
            "\nOptions:\n"));
        text += databaseOption();
        text += filled(QCoreApplication::translate(
            "Help",
            "  --attrs LIST  attribute numbers to show, separated by spaces; 0 is the key (default: \"0\")\n"
            "\nExit codes: 0 done (also when nothing matches); 1 usage; 2 database missing;\n"
            "3 statement refused (the message names the word at fault).\n"));
        return text;
    case Command::Print:
    case Command::Reprint:
    case Command::Preview: return printHelp(command);
    case Command::Gui:
        text = filled(QCoreApplication::translate(
            "Help",
            "Usage: tessaran gui [--db PATH] [--user NAME]\n\n"
            "Opens the desktop window holding the control on the database.\n\nOptions:\n"));
        text += databaseOption();
        text += filled(QCoreApplication::translate(
            "Help",
            "  --user NAME   whose rights apply (default: $TESSARAN_USER, then the login name)\n"
            "\nExit codes: 0 closed normally; 1 usage; 2 database missing or not usable.\n"));
        return text;
    case Command::Rights:
        text = filled(QCoreApplication::translate(
            "Help",
            "Usage: tessaran rights [--db PATH] [USER [LEVEL]]\n\n"
            "Without USER, lists every user's level for \"MORVELINTASKADE\". With USER, shows that\n"
            "user's level (0 when none was granted). With USER LEVEL, sets it: 0 no access, 1 may\n"
            "consult and reprint, 2 may also print.\n\nOptions:\n"));
        text += databaseOption();
        text += filled(QCoreApplication::translate("Help", "\nExit codes: 0 done; 1 usage; 2 database missing or busy.\n"));
        return text;
    }
    return generalHelp();
}

}  // namespace tessaran::app
