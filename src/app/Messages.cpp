#include "Messages.h"

#include <QTranslator>

#include <cstddef>
#include <vector>

namespace tessaran::app {
namespace {

// "fr_BE.UTF-8@euro" -> "fr": the language is what comes before the territory, the codeset
// and the modifier.
std::string languagePart(const std::string& locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

}  // namespace

MessageLanguage messageLanguage(const Environment& environment) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::optional<std::string> locale = environment.variable(name);
        if (!locale || locale->empty()) continue;
        return languagePart(*locale) == "fr" ? MessageLanguage::French : MessageLanguage::English;
    }
    return MessageLanguage::English;
}

bool installMessageCatalogue(MessageLanguage language) {
    if (language == MessageLanguage::English) return true;  // the source texts are English
    if (QCoreApplication::instance() == nullptr) return false;
    // Loaded once, installed in every application object the program makes.
    static QTranslator catalogue;
    static const bool loaded = catalogue.load(QStringLiteral(":/i18n/tessaran_fr.qm"));
    return loaded && QCoreApplication::installTranslator(&catalogue);
}

std::string filled(const QString& text, std::initializer_list<std::string_view> arguments) {
    const std::string pattern = text.toStdString();
    const std::vector<std::string_view> values(arguments);
    std::string result;
    result.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < values.size()) {
                result += values[index];
                ++i;
                continue;
            }
        }
        result += pattern[i];
    }
    return result;
}

std::string messagePrefix(const std::string& command) {
    return filled(QCoreApplication::translate("Messages", "tessaran %1: "), {command});
}

}  // namespace tessaran::app
