#pragma once
// The command line's own messages in the user's language. Every text the command line writes
// for a user is an English source text looked up with QCoreApplication::translate; the French
// catalogue (resources/translations/tessaran_fr.ts) is built into the program and installed in
// the application object when the locale names French. Without an application object, or
// without the catalogue, the English source texts are used as they are.

#include <QCoreApplication>
#include <QString>

#include <initializer_list>
#include <string>
#include <string_view>

#include "CommandLine.h"

namespace tessaran::app {

enum class MessageLanguage { English, French };

// The language of the messages the environment asks for: the locale named by the first of
// LC_ALL, LC_MESSAGES and LANG that is set and not empty, French when its language is "fr"
// ("fr", "fr_FR", "fr_BE.UTF-8", ...), English otherwise ("C", "POSIX", "en_US", none, ...).
// Read from the variables themselves, so that it holds where that locale is not installed.
MessageLanguage messageLanguage(const Environment& environment);

// Installs the catalogue of `language` in the running application object (nothing to do for
// English). False when there is no application object or the catalogue cannot be loaded.
bool installMessageCatalogue(MessageLanguage language);

// A translated text as UTF-8, with %1, %2, ... %9 replaced in one pass by the arguments, byte
// for byte (a path or a user name is written exactly as given).
std::string filled(const QString& text, std::initializer_list<std::string_view> arguments = {});

// How the command line's messages begin: "tessaran COMMAND: ".
std::string messagePrefix(const std::string& command);

}  // namespace tessaran::app
