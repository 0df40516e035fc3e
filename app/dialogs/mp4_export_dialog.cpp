#include "mp4_export_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "app/dialogs/number_edit.h"
#include "encode/mp4_options.h"

namespace lantrel {

namespace {

QSpinBox* makeSpinBox(int minimum, int maximum, int value, const QString& name) {
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

QCheckBox* makeCheckBox(const QString& text, const QString& name, bool checked) {
    auto* box = new QCheckBox(text);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QLineEdit* makeLineEdit(const std::string& text, const QString& name) {
    auto* edit = new QLineEdit(QString::fromStdString(text));
    edit->setObjectName(name);
    return edit;
}

}  // namespace

Mp4ExportDialog::Mp4ExportDialog(QWidget* parent, ProjectSettings& settings, ExtraOutputs& choices,
                                 DialogHooks hooks)
    : QDialog(parent), settings_(settings), choices_(choices), hooks_(withDefaults(hooks)) {
    setWindowTitle(tr("MP4 で出力"));
    const OkCancelRow buttons = makeOkCancelRow(this);
    buttons.ok->setText(tr("出力開始"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeMovieGroup());
    layout->addWidget(makeTargetGroup());
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showSize();
}

QWidget* Mp4ExportDialog::makeMovieGroup() {
    const Mp4Options& options = choices_.mp4Options;
    scale_ = makeSpinBox(1, 5, options.scale, QStringLiteral("scale"));
    size_ = new QLabel;
    size_->setObjectName(QStringLiteral("size"));
    crf_ = makeSpinBox(0, 51, options.crf, QStringLiteral("crf"));
    rounds_ = makeExportRoundsEdits(choices_.rounds);
    pad16x9_ =
        makeCheckBox(tr("16:9 の黒い画面の中央に置く"), QStringLiteral("pad16x9"), options.pad16x9);
    stems_ = makeCheckBox(tr("レーンごとの音声も WAV で書き出す（上段・中段・下段）"),
                          QStringLiteral("stems"), choices_.stems);
    connect(scale_, &QSpinBox::valueChanged, this, &Mp4ExportDialog::showSize);
    connect(pad16x9_, &QCheckBox::toggled, this, &Mp4ExportDialog::showSize);

    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(scale_);
    scaleRow->addWidget(size_, 1);
    auto* form = new QFormLayout;
    form->addRow(tr("拡大（倍）"), scaleRow);
    form->addRow(tr("画質（CRF：小さいほど高画質）"), crf_);
    form->addRow(ExportRoundsEdits::loopsLabel(), rounds_.loops);
    form->addRow(ExportRoundsEdits::fadeLabel(), rounds_.fade);
    form->addRow(pad16x9_);
    form->addRow(stems_);
    auto* group = new QGroupBox(tr("動画（H.264 + AAC）"));
    group->setLayout(form);
    return group;
}

QWidget* Mp4ExportDialog::makeTargetGroup() {
    const FolderRow folder = makeFolderRow(this, hooks_, settings_.outputFolder,
                                           QStringLiteral("outputFolder"),
                                           QStringLiteral("chooseFolder"));
    outputFolder_ = folder.edit;
    fileName_ = makeLineEdit(settings_.fileName, QStringLiteral("fileName"));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(fileName_, 1);
    nameRow->addWidget(new QLabel(QStringLiteral(".mp4")));
    auto* form = new QFormLayout;
    form->addRow(tr("出力先フォルダ"), folder.row);
    form->addRow(tr("ファイル名"), nameRow);
    auto* group = new QGroupBox(tr("出力先"));
    group->setLayout(form);
    return group;
}

// The size of the movie's frames, as a player will show them.
void Mp4ExportDialog::showSize() {
    const MovieGeometry geometry = movieGeometry(scale_->value(), pad16x9_->isChecked());
    size_->setText(tr("%1 × %2 ピクセル").arg(geometry.width).arg(geometry.height));
}

// The fields in the order of the dialog; the first one refused keeps it open.
void Mp4ExportDialog::accept() {
    const std::optional<ExportRounds> rounds =
        readExportRounds(rounds_, choices_.rounds, hooks_, this);
    if (!rounds) return;
    if (!outputFieldsAcceptable(hooks_, this, outputFolder_, fileName_)) return;
    choices_.mp4 = true;
    choices_.rounds = *rounds;
    choices_.mp4Options.scale = scale_->value();
    choices_.mp4Options.crf = crf_->value();
    choices_.mp4Options.pad16x9 = pad16x9_->isChecked();
    choices_.stems = stems_->isChecked();
    settings_.outputFolder = outputFolder_->text().toStdString();
    settings_.fileName = fileName_->text().toStdString();
    QDialog::accept();
}

}  // namespace lantrel
