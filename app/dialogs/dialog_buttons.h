#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace lantrel {

// The buttons that every settings dialog has, made alike.
struct OkCancelRow {
    QHBoxLayout* row;     // right-aligned; a dialog may add buttons after "キャンセル"
    QPushButton* ok;      // object name "ok", the default button, accepts the dialog
    QPushButton* cancel;  // object name "cancel", rejects the dialog
};
OkCancelRow makeOkCancelRow(QDialog* dialog);

// A push button that Enter does not press (Enter belongs to OK).
QPushButton* makeButton(const QString& text, const QString& objectName);

// The "選択" button beside a folder edit.
QPushButton* makeChooseButton(const QString& objectName);

}  // namespace lantrel
