#include "dialog_buttons.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace lantrel {

namespace {

// The translations' context.
class Text {
    Q_DECLARE_TR_FUNCTIONS(DialogButtons)
};

}  // namespace

QPushButton* makeButton(const QString& text, const QString& objectName) {
    auto* button = new QPushButton(text);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QPushButton* makeChooseButton(const QString& objectName) {
    return makeButton(Text::tr("選択"), objectName);
}

OkCancelRow makeOkCancelRow(QDialog* dialog) {
    OkCancelRow buttons{new QHBoxLayout, makeButton(Text::tr("OK"), QStringLiteral("ok")),
                        makeButton(Text::tr("キャンセル"), QStringLiteral("cancel"))};
    buttons.ok->setDefault(true);
    buttons.row->addStretch();
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    QObject::connect(buttons.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace lantrel
