#pragma once

#include <QDialog>

namespace lantrel {

// "バージョン情報": the program's icon and version, and the day it was built.
class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The build date in the compiler's own form, such as "Feb 24 2008".
    static QString buildDate();
};

}  // namespace lantrel
