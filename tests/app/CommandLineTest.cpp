#include "app/CommandLine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "app/ExitCodes.h"

namespace tessaran::app {
namespace {

// An environment with these variables set and this login name ("" when none can be found).
Environment environmentOf(const std::map<std::string, std::string>& variables = {}, std::string login = "mdupont") {
    return {[variables](const std::string& name) -> std::optional<std::string> {
                const auto found = variables.find(name);
                return found == variables.end() ? std::nullopt : std::optional(found->second);
            },
            [login] { return login; }};
}

CommandLine parse(const std::vector<std::string>& words, const Environment& environment = environmentOf()) {
    return parseCommandLine(words, environment);
}

// The command a refused line is blamed on; fails the test when the line is accepted.
std::optional<Command> refusal(const std::vector<std::string>& words, const Environment& environment = environmentOf()) {
    try {
        parse(words, environment);
    } catch (const UsageError& error) {
        return error.command();
    }
    ADD_FAILURE() << "accepted: " << ::testing::PrintToString(words);
    return Command::Help;
}

TEST(CommandLine, DatabaseAndUserDefaultsFollowOptionThenEnvironmentThenFallback) {
    EXPECT_EQ(parse({"export"}).databasePath, "./tessaran.db");
    EXPECT_EQ(parse({"gui"}).host.userName, "mdupont");

    const Environment set = environmentOf({{"TESSARAN_DB", "/srv/federation.db"}, {"TESSARAN_USER", "compta"}});
    const CommandLine gui = parse({"gui"}, set);
    EXPECT_EQ(gui.host.userName, "compta");
    EXPECT_EQ(gui.host.databasePath, "/srv/federation.db");
    const CommandLine explicitOnes = parse({"gui", "--db", "local.db", "--user=admin"}, set);
    EXPECT_EQ(explicitOnes.databasePath, "local.db");
    EXPECT_EQ(explicitOnes.host.databasePath, "local.db");
    EXPECT_EQ(explicitOnes.host.userName, "admin");

    // Empty variables count as unset; with nobody to run as, the line is refused rather than guessed.
    const Environment nobody = environmentOf({{"TESSARAN_DB", ""}, {"TESSARAN_USER", ""}}, "");
    EXPECT_EQ(parse({"init", "--admin", "chef"}, nobody).databasePath, "./tessaran.db");
    EXPECT_EQ(refusal({"gui"}, nobody), Command::Gui);
    EXPECT_EQ(refusal({"init"}, nobody), Command::Init);
    EXPECT_EQ(parse({"init", "--admin", "chef"}, nobody).adminName, "chef");
    EXPECT_EQ(parse({"init"}).adminName, "mdupont");
}

TEST(CommandLine, PrintOptionsFillTheHostOptions) {
    const CommandLine print = parse({"print", "--period", "202611", "--assoc", "A01", "A03", "--output",
                                     "etats.PDF", "--copies", "2", "--assoc=A06"});
    EXPECT_EQ(print.host.period, "202611");
    EXPECT_EQ(print.host.associations, (std::vector<std::string>{"A01", "A03", "A06"}));
    EXPECT_FALSE(print.host.allAssociations);
    EXPECT_EQ(print.host.outputPath, "etats.PDF");
    EXPECT_EQ(print.host.copies, 2);

    const CommandLine reprint =
        parse({"reprint", "--all", "--printer", "Comptabilite", "--period=202512", "--user", "consultation"});
    EXPECT_TRUE(reprint.host.allAssociations);
    EXPECT_EQ(reprint.host.printerName, "Comptabilite");
    EXPECT_EQ(reprint.host.userName, "consultation");
    EXPECT_EQ(reprint.host.copies, 1);
}

TEST(CommandLine, MalformedPrintLinesAreRefusedAndBlamedOnTheCommand) {
    const std::vector<std::string> valid = {"print", "--period", "202611", "--all", "--output", "x.pdf"};
    std::vector<std::vector<std::string>> malformed = {
        {"print", "--all", "--output", "x.pdf"},                                   // no period
        {"print", "--period", "202611", "--output", "x.pdf"},                      // neither --all nor --assoc
        {"print", "--period", "202611", "--all", "--assoc", "A01", "--output", "x.pdf"},
        {"print", "--period", "202611", "--all"},                                  // no output
        {"print", "--period", "202611", "--all", "--output", "x.ps"},
        {"print", "--period", "--all", "--output", "x.pdf"},                       // value missing
        {"print", "--period", "202611", "--all=yes", "--output", "x.pdf"},
        {"print", "--period", "202611", "--assoc", "--output", "x.pdf"},
    };
    for (const std::string period : {"2026-11", "20261", "202613", "202600", "2026110", "abcdef"})
        malformed.push_back({"print", "--period", period, "--all", "--output", "x.pdf"});
    for (const std::string extra : {"--copies=0", "--copies=100", "--copies=deux", "--copies=-1", "--copies=",
                                    "--printer=P", "--attrs=0", "extra"}) {
        malformed.push_back(valid);
        malformed.back().push_back(extra);
    }
    for (const auto& words : malformed) EXPECT_EQ(refusal(words), Command::Print);
    EXPECT_EQ(refusal({"preview", "--period", "202611", "--all", "--printer", "Bureau"}), Command::Preview)
        << "a preview never goes to paper";
    // A negative value is a value, so the refusal says what the option takes.
    std::vector<std::string> negative = valid;
    negative.insert(negative.end(), {"--copies", "-1"});
    EXPECT_THAT([&] { parse(negative); }, ::testing::ThrowsMessage<UsageError>(::testing::HasSubstr("1 to 99")));
    EXPECT_NO_THROW(parse(valid));
}

TEST(CommandLine, DataCommandsTakeTheirArguments) {
    const CommandLine select = parse({"select", "SSELECT FEDEASSOC PAR 1", "--attrs", " 0   1 "});
    EXPECT_EQ(select.arguments, (std::vector<std::string>{"SSELECT FEDEASSOC PAR 1"}));
    EXPECT_EQ(select.attributes, "0 1");
    EXPECT_EQ(parse({"select", "SSELECT SECTEUR"}).attributes, "0");
    EXPECT_EQ(parse({"import", "-"}).arguments, (std::vector<std::string>{"-"}));
    EXPECT_EQ(parse({"export", "SECTEUR", "--db", "x.db", "FEDEASSOC"}).arguments,
              (std::vector<std::string>{"SECTEUR", "FEDEASSOC"}));
    // After "--" every word is an argument, even one that looks like an option.
    EXPECT_EQ(parse({"export", "--", "--db"}).arguments, (std::vector<std::string>{"--db"}));
    EXPECT_EQ(parse({"rights", "compta", "1"}).arguments, (std::vector<std::string>{"compta", "1"}));

    const std::vector<std::pair<std::vector<std::string>, Command>> refused = {
        {{"select", "SSELECT", "FEDEASSOC"}, Command::Select},  // unquoted statement
        {{"select"}, Command::Select},
        {{"select", "SSELECT SECTEUR", "--attrs", "0,1"}, Command::Select},
        {{"select", "SSELECT SECTEUR", "--attrs", " "}, Command::Select},
        {{"import"}, Command::Import},
        {{"import", "a.json", "b.json"}, Command::Import},
        {{"rights", "compta", "10"}, Command::Rights},
        {{"rights", "compta", "deux"}, Command::Rights},
        {{"rights", "compta", "1", "2"}, Command::Rights},
        {{"demo", "extra"}, Command::Demo},
        {{"demo", "--db", ""}, Command::Demo},
        {{"init", "--admin="}, Command::Init},
    };
    for (const auto& [words, command] : refused) EXPECT_EQ(refusal(words), command);
}

TEST(CommandLine, HelpIsFoundWhereverItIsAskedAndNamesEveryCommandAndExitCode) {
    EXPECT_EQ(parse({"help", "select"}).helpTopic, Command::Select);
    // Asked after a command, help wins over the rest of the line, even a faulty one.
    const CommandLine printHelp = parse({"print", "--period", "nope", "--help"});
    EXPECT_EQ(printHelp.command, Command::Help);
    EXPECT_EQ(printHelp.helpTopic, Command::Print);
    EXPECT_EQ(refusal({}), std::nullopt);
    EXPECT_EQ(refusal({"imprimer"}), std::nullopt);
    EXPECT_EQ(refusal({"help", "imprimer"}), Command::Help);
    EXPECT_EQ(parse({"help", "--help"}).helpTopic, std::nullopt) << "the general help, not a pointer back to itself";

    const std::string general = generalHelp();
    for (int code = exit_code::kOk; code <= exit_code::kCounter; ++code)
        EXPECT_NE(general.find(" " + std::to_string(code) + "  "), std::string::npos) << code;
    for (const Command command : {Command::Demo, Command::Init, Command::Import, Command::Export, Command::Select,
                                  Command::Print, Command::Reprint, Command::Preview, Command::Gui, Command::Rights}) {
        EXPECT_NE(general.find("  " + commandName(command) + " "), std::string::npos) << commandName(command);
        EXPECT_EQ(commandHelp(command).rfind("Usage: tessaran " + commandName(command), 0), 0u);
    }
}

}  // namespace
}  // namespace tessaran::app
