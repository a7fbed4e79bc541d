#include "app/Messages.h"

#include <gtest/gtest.h>

#include <map>

namespace tessaran::app {
namespace {

Environment localeOf(const std::map<std::string, std::string>& variables) {
    return {[variables](const std::string& name) -> std::optional<std::string> {
                const auto found = variables.find(name);
                return found == variables.end() ? std::nullopt : std::optional(found->second);
            },
            [] { return std::string("mdupont"); }};
}

TEST(Messages, TheLanguageIsTheFirstLocaleSetAmongLcAllLcMessagesAndLang) {
    using enum MessageLanguage;
    const std::vector<std::pair<std::map<std::string, std::string>, MessageLanguage>> cases = {
        {{}, English},
        {{{"LANG", "fr"}}, French},
        {{{"LANG", "fr_FR"}}, French},
        {{{"LANG", "fr_BE.UTF-8"}}, French},
        {{{"LANG", "fr_CA.UTF-8@euro"}}, French},
        {{{"LANG", "C"}}, English},
        {{{"LANG", "POSIX"}}, English},
        {{{"LANG", "C.UTF-8"}}, English},
        {{{"LANG", "en_US.UTF-8"}}, English},
        {{{"LANG", "de_DE"}}, English},
        {{{"LANG", "fy_NL"}}, English},  // not French, though it starts with f
        {{{"LC_MESSAGES", "fr_FR.UTF-8"}, {"LANG", "C"}}, French},
        {{{"LC_MESSAGES", "C"}, {"LANG", "fr_FR.UTF-8"}}, English},
        {{{"LC_ALL", "C"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "fr_FR"}}, English},
        {{{"LC_ALL", "fr_FR.UTF-8"}, {"LANG", "en_US"}}, French},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "fr_FR"}}, French},  // empty counts as unset
    };
    for (const auto& [variables, expected] : cases) {
        std::string shown;
        for (const auto& [name, value] : variables) shown += name + "=" + value + " ";
        EXPECT_EQ(messageLanguage(localeOf(variables)), expected) << shown;
    }
}

TEST(Messages, ArgumentsAreFilledInOnePassAndKeptByteForByte) {
    EXPECT_EQ(filled(QStringLiteral("%2 avant %1"), {"a", "b"}), "b avant a");
    EXPECT_EQ(filled(QStringLiteral("no database at %1"), {"/tmp/%2\xFF.db", "x"}), "no database at /tmp/%2\xFF.db");
    EXPECT_EQ(filled(QStringLiteral("%1 and %3 at 100%"), {"x"}), "x and %3 at 100%");
    // Without an application object the English source texts are used.
    EXPECT_EQ(messagePrefix("print"), "tessaran print: ");
}

}  // namespace
}  // namespace tessaran::app
