#include "translation_setup.h"

#include <QApplication>
#include <QSettings>
#include <QTranslator>

#include <iostream>

#include "user_settings.h"
#include "window_language.h"

namespace lantrel {

namespace {

// Where qt_add_translations puts the compiled English texts among the program's resources.
constexpr char kEnglishTexts[] = ":/i18n/lantrel_en.qm";

WindowLanguage languageOfThisRun() {
    const QString environment = qEnvironmentVariable("LANTREL_LANGUAGE");
    if (!environment.isEmpty() && !languageFromCode(environment))
        std::cerr << "lantrel: LANTREL_LANGUAGE=" << environment.toStdString()
                  << " names no language of the window (en or ja); the chosen one is used\n";
    QSettings store;
    UserSettings settings(store);
    settings.load();
    return languageOfRun(environment, settings.language());
}

}  // namespace

void installTranslation(QApplication& application) {
    if (languageOfThisRun() != WindowLanguage::English) return;
    auto* english = new QTranslator(&application);  // lives as long as the application
    if (english->load(QString::fromLatin1(kEnglishTexts)) && QApplication::installTranslator(english))
        return;
    std::cerr << "lantrel: the English texts are missing from this build; the window is Japanese\n";
    delete english;
}

}  // namespace lantrel
