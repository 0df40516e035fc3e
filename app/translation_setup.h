#pragma once

class QApplication;

namespace lantrel {

// Before the first widget: the window's language for this run (LANTREL_LANGUAGE, else the
// user's choice in the settings, else Japanese), and for English the translation compiled into
// the program. Needs the application's organisation and name set, to find the settings.
void installTranslation(QApplication& application);

}  // namespace lantrel
