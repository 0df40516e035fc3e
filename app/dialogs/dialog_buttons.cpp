#include "dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace lantrel {

QPushButton* makeButton(const QString& text, const QString& objectName) {
    auto* button = new QPushButton(text);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QPushButton* makeChooseButton(const QString& objectName) {
    return makeButton(QStringLiteral("選択"), objectName);
}

OkCancelRow makeOkCancelRow(QDialog* dialog) {
    OkCancelRow buttons{new QHBoxLayout, makeButton(QStringLiteral("OK"), QStringLiteral("ok")),
                        makeButton(QStringLiteral("キャンセル"), QStringLiteral("cancel"))};
    buttons.ok->setDefault(true);
    buttons.row->addStretch();
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    QObject::connect(buttons.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace lantrel
