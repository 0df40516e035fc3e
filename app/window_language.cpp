#include "window_language.h"

namespace lantrel {

QString languageCode(WindowLanguage language) {
    return language == WindowLanguage::English ? QStringLiteral("en") : QStringLiteral("ja");
}

std::optional<WindowLanguage> languageFromCode(const QString& code) {
    if (code == QStringLiteral("ja")) return WindowLanguage::Japanese;
    if (code == QStringLiteral("en")) return WindowLanguage::English;
    return std::nullopt;
}

WindowLanguage languageOfRun(const QString& environment, WindowLanguage stored) {
    return languageFromCode(environment).value_or(stored);
}

}  // namespace lantrel
