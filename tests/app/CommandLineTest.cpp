#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <map>

#include "app/ExitCodes.h"

namespace tessaran::app {
namespace {

struct FakeEnvironment {
    std::map<std::string, std::string> variables;
    std::string login = "mdupont";

    Environment get() const {
        Environment environment;
        environment.variable = [this](const std::string& name) -> std::optional<std::string> {
            const auto found = variables.find(name);
            if (found == variables.end()) return std::nullopt;
            return found->second;
        };
        environment.loginName = [this] { return login; };
        return environment;
    }
};

CommandLine parse(const std::vector<std::string>& words, const FakeEnvironment& environment = {}) {
    return parseCommandLine(words, environment.get());
}

// The command a refused line is blamed on; fails the test when the line is accepted.
std::optional<Command> refusal(const std::vector<std::string>& words, const FakeEnvironment& environment = {}) {
    try {
        parse(words, environment);
    } catch (const UsageError& error) {
        return error.command();
    }
    ADD_FAILURE() << "accepted: " << ::testing::PrintToString(words);
    return Command::Help;
}

TEST(CommandLine, DatabaseAndUserDefaultsFollowOptionThenEnvironmentThenFallback) {
    FakeEnvironment environment;
    EXPECT_EQ(parse({"export"}, environment).databasePath, "./tessaran.db");
    EXPECT_EQ(parse({"gui"}, environment).host.userName, "mdupont");

    environment.variables = {{"TESSARAN_DB", "/srv/federation.db"}, {"TESSARAN_USER", "compta"}};
    EXPECT_EQ(parse({"export"}, environment).databasePath, "/srv/federation.db");
    const CommandLine gui = parse({"gui"}, environment);
    EXPECT_EQ(gui.host.userName, "compta");
    EXPECT_EQ(gui.host.databasePath, "/srv/federation.db");

    const CommandLine explicitOnes = parse({"gui", "--db", "local.db", "--user=admin"}, environment);
    EXPECT_EQ(explicitOnes.databasePath, "local.db");
    EXPECT_EQ(explicitOnes.host.databasePath, "local.db");
    EXPECT_EQ(explicitOnes.host.userName, "admin");

    // Empty variables count as unset.
    environment.variables = {{"TESSARAN_DB", ""}, {"TESSARAN_USER", ""}};
    EXPECT_EQ(parse({"gui"}, environment).databasePath, "./tessaran.db");
    EXPECT_EQ(parse({"gui"}, environment).host.userName, "mdupont");

    // Nobody to run as: refused rather than guessed.
    environment.login.clear();
    EXPECT_EQ(refusal({"gui"}, environment), Command::Gui);
    EXPECT_EQ(refusal({"init"}, environment), Command::Init);
    EXPECT_EQ(parse({"init", "--admin", "chef"}, environment).adminName, "chef");
    EXPECT_EQ(parse({"init"}).adminName, "mdupont");
}

TEST(CommandLine, PrintOptionsFillTheHostOptions) {
    const CommandLine print = parse({"print", "--period", "202611", "--assoc", "A01", "A03", "--output",
                                     "etats.PDF", "--copies", "2", "--assoc=A06"});
    EXPECT_EQ(print.command, Command::Print);
    EXPECT_EQ(print.host.period, "202611");
    EXPECT_EQ(print.host.associations, (std::vector<std::string>{"A01", "A03", "A06"}));
    EXPECT_FALSE(print.host.allAssociations);
    EXPECT_EQ(print.host.outputPath, "etats.PDF");
    EXPECT_TRUE(print.host.printerName.empty());
    EXPECT_EQ(print.host.copies, 2);

    const CommandLine reprint =
        parse({"reprint", "--all", "--printer", "Comptabilite", "--period=202512", "--user", "consultation"});
    EXPECT_EQ(reprint.command, Command::Reprint);
    EXPECT_TRUE(reprint.host.allAssociations);
    EXPECT_TRUE(reprint.host.associations.empty());
    EXPECT_EQ(reprint.host.printerName, "Comptabilite");
    EXPECT_EQ(reprint.host.period, "202512");
    EXPECT_EQ(reprint.host.userName, "consultation");
    EXPECT_EQ(reprint.host.copies, 1);
}

TEST(CommandLine, MalformedPrintLinesAreRefusedAndBlamedOnTheCommand) {
    const std::vector<std::string> valid = {"--period", "202611", "--all", "--output", "x.pdf"};
    auto with = [&](std::vector<std::string> words) {
        words.insert(words.begin(), "print");
        return words;
    };
    EXPECT_EQ(refusal(with({"--all", "--output", "x.pdf"})), Command::Print);                   // no period
    for (const std::string period : {"2026-11", "20261", "202613", "202600", "2026110", "abcdef"})
        EXPECT_EQ(refusal(with({"--period", period, "--all", "--output", "x.pdf"})), Command::Print) << period;
    EXPECT_EQ(refusal(with({"--period", "202611", "--output", "x.pdf"})), Command::Print);      // no choice
    EXPECT_EQ(refusal(with({"--period", "202611", "--all", "--assoc", "A01", "--output", "x.pdf"})),
              Command::Print);
    EXPECT_EQ(refusal(with({"--period", "202611", "--all"})), Command::Print);                  // no output
    EXPECT_EQ(refusal(with({"--period", "202611", "--all", "--output", "x.pdf", "--printer", "P"})),
              Command::Print);
    EXPECT_EQ(refusal(with({"--period", "202611", "--all", "--output", "x.ps"})), Command::Print);
    for (const std::string copies : {"0", "100", "deux", "-1", ""}) {
        auto words = with(valid);
        words.insert(words.end(), {"--copies=" + copies});
        EXPECT_EQ(refusal(words), Command::Print) << copies;
    }
    EXPECT_EQ(refusal(with({"--period", "202611", "--all", "--output", "x.pdf", "--attrs", "0"})),
              Command::Print);                                                                    // select's option
    EXPECT_EQ(refusal(with({"--period", "202611", "--all", "--output", "x.pdf", "extra"})), Command::Print);
    EXPECT_EQ(refusal(with({"--period", "--all", "--output", "x.pdf"})), Command::Print);      // value missing
    EXPECT_EQ(refusal(with({"--period", "202611", "--all=yes", "--output", "x.pdf"})), Command::Print);
    EXPECT_EQ(refusal(with({"--period", "202611", "--assoc", "--output", "x.pdf"})), Command::Print);
    EXPECT_NO_THROW(parse(with(valid)));
}

TEST(CommandLine, DataCommandsTakeTheirArguments) {
    const CommandLine select = parse({"select", "SSELECT FEDEASSOC PAR 1", "--attrs", " 0   1 "});
    EXPECT_EQ(select.arguments, (std::vector<std::string>{"SSELECT FEDEASSOC PAR 1"}));
    EXPECT_EQ(select.attributes, "0 1");
    EXPECT_EQ(parse({"select", "SSELECT SECTEUR"}).attributes, "0");
    EXPECT_EQ(refusal({"select", "SSELECT", "FEDEASSOC"}), Command::Select);  // unquoted statement
    EXPECT_EQ(refusal({"select"}), Command::Select);
    EXPECT_EQ(refusal({"select", "SSELECT SECTEUR", "--attrs", "0,1"}), Command::Select);
    EXPECT_EQ(refusal({"select", "SSELECT SECTEUR", "--attrs", " "}), Command::Select);

    EXPECT_EQ(parse({"import", "-"}).arguments, (std::vector<std::string>{"-"}));
    EXPECT_EQ(refusal({"import"}), Command::Import);
    EXPECT_EQ(refusal({"import", "a.json", "b.json"}), Command::Import);

    EXPECT_TRUE(parse({"export"}).arguments.empty());
    EXPECT_EQ(parse({"export", "SECTEUR", "--db", "x.db", "FEDEASSOC"}).arguments,
              (std::vector<std::string>{"SECTEUR", "FEDEASSOC"}));
    // After "--" every word is an argument, even one that looks like an option.
    EXPECT_EQ(parse({"export", "--", "--db"}).arguments, (std::vector<std::string>{"--db"}));

    EXPECT_EQ(parse({"rights", "compta", "1"}).arguments, (std::vector<std::string>{"compta", "1"}));
    EXPECT_EQ(refusal({"rights", "compta", "10"}), Command::Rights);
    EXPECT_EQ(refusal({"rights", "compta", "deux"}), Command::Rights);
    EXPECT_EQ(refusal({"rights", "compta", "1", "2"}), Command::Rights);
    EXPECT_EQ(refusal({"demo", "extra"}), Command::Demo);
    EXPECT_EQ(refusal({"demo", "--db", ""}), Command::Demo);
    EXPECT_EQ(refusal({"init", "--admin="}), Command::Init);
}

TEST(CommandLine, HelpIsFoundWhereverItIsAsked) {
    EXPECT_EQ(parse({"--help"}).command, Command::Help);
    EXPECT_FALSE(parse({"-h"}).helpTopic);
    EXPECT_FALSE(parse({"help"}).helpTopic);
    EXPECT_EQ(parse({"help", "select"}).helpTopic, Command::Select);
    // Asked after a command, help wins over the rest of the line, even a faulty one.
    const CommandLine printHelp = parse({"print", "--period", "nope", "--help"});
    EXPECT_EQ(printHelp.command, Command::Help);
    EXPECT_EQ(printHelp.helpTopic, Command::Print);

    EXPECT_EQ(refusal({}), std::nullopt);
    EXPECT_EQ(refusal({"imprimer"}), std::nullopt);
    EXPECT_EQ(refusal({"help", "imprimer"}), Command::Help);
}

TEST(CommandLine, HelpTextsDescribeEveryCommandOptionAndExitCode) {
    const std::string general = generalHelp();
    for (const Command command : {Command::Demo, Command::Init, Command::Import, Command::Export, Command::Select,
                                  Command::Print, Command::Reprint, Command::Gui, Command::Rights})
        EXPECT_NE(general.find("  " + commandName(command) + " "), std::string::npos) << commandName(command);
    for (int code = exit_code::kOk; code <= exit_code::kCancelled; ++code)
        EXPECT_NE(general.find("  " + std::to_string(code) + "  "), std::string::npos) << code;

    const std::map<Command, std::vector<std::string>> options = {
        {Command::Demo, {"--db"}},
        {Command::Init, {"--db", "--admin"}},
        {Command::Import, {"--db", "FILE"}},
        {Command::Export, {"--db", "FILE"}},
        {Command::Select, {"--db", "--attrs", "SSELECT"}},
        {Command::Print, {"--db", "--period", "--assoc", "--all", "--output", "--printer", "--copies", "--user"}},
        {Command::Reprint, {"--db", "--period", "--assoc", "--all", "--output", "--printer", "--copies", "--user"}},
        {Command::Gui, {"--db", "--user"}},
        {Command::Rights, {"--db", "USER", "LEVEL"}},
    };
    for (const auto& [command, words] : options) {
        const std::string text = commandHelp(command);
        EXPECT_EQ(text.rfind("Usage: tessaran " + commandName(command), 0), 0u) << commandName(command);
        EXPECT_NE(text.find("Exit codes:"), std::string::npos) << commandName(command);
        for (const std::string& word : words)
            EXPECT_NE(text.find(word), std::string::npos) << commandName(command) << " " << word;
    }
}

}  // namespace
}  // namespace tessaran::app
