#include "about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_icons.h"
#include "base/version.h"

namespace lantrel {

QString CAboutDlg::buildDate() {
    return QStringLiteral(__DATE__);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("バージョン情報"));
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QPixmap::fromImage(applicationIconImage(32)));
    auto* version =
        new QLabel(QStringLiteral("Lantrel Version ") + QLatin1String(kShortVersion), this);
    version->setObjectName(QStringLiteral("version"));
    auto* date = new QLineEdit(buildDate(), this);
    date->setObjectName(QStringLiteral("buildDate"));
    date->setReadOnly(true);
    date->setFrame(false);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(date);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    top->addWidget(ok, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

}  // namespace lantrel
