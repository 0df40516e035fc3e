#pragma once

#include <QString>

#include <optional>

namespace lantrel {

// The languages the window speaks. Japanese is the program's own: its texts are written in it
// and need no translation, and it is the default whatever the system's locale says.
enum class WindowLanguage { Japanese, English };

// "ja" or "en", as stored in the user's settings and given in LANTREL_LANGUAGE.
QString languageCode(WindowLanguage language);
std::optional<WindowLanguage> languageFromCode(const QString& code);

// The language of one run: the environment's LANTREL_LANGUAGE when it names a language, else
// the stored choice, else Japanese.
WindowLanguage languageOfRun(const QString& environment, WindowLanguage stored);

}  // namespace lantrel
