#include "movie_setting_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "app/dialogs/number_edit.h"
#include "app/dialogs/wav_attr_dialog.h"

namespace lantrel {

namespace {

constexpr int kMaximumBrightness = 255;
constexpr int kBrightnessTick = 16;
constexpr int kHighSampleRate = 44100;
constexpr int kLowSampleRate = 22050;

const char* const kLaneNames[kLaneCount] = {
    QT_TRANSLATE_NOOP("lantrel::CMovieSettingDialog", "上段"),
    QT_TRANSLATE_NOOP("lantrel::CMovieSettingDialog", "中段"),
    QT_TRANSLATE_NOOP("lantrel::CMovieSettingDialog", "下段")};
// The mode text that the view passes, as a source text of the translations.
const char* const kStartExport = QT_TRANSLATE_NOOP("lantrel::CMovieSettingDialog", "出力開始");

QGroupBox* makeGroup(const QString& title, QLayout* content) {
    auto* group = new QGroupBox(title);
    group->setLayout(content);
    return group;
}

QGroupBox* makeGroup(const QString& title, QWidget* content) {
    auto* column = new QVBoxLayout;
    column->addWidget(content);
    return makeGroup(title, column);
}

// A number edit at the left of a frame named after what it holds.
QGroupBox* makeNumberGroup(const QString& title, NumberEdit* edit) {
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addStretch();
    return makeGroup(title, row);
}

QLineEdit* makeLineEdit(const std::string& text, const QString& name) {
    auto* edit = new QLineEdit(QString::fromStdString(text));
    edit->setObjectName(name);
    return edit;
}

QLabel* makeNote(const QString& text, const QString& name) {
    auto* note = new QLabel(text);
    note->setObjectName(name);
    note->setWordWrap(true);
    return note;
}

qsizetype characterCount(const QString& text) {
    return text.toUcs4().size();
}

}  // namespace

CMovieSettingDialog::CMovieSettingDialog(QWidget* parent, ProjectSettings& settings,
                                         const QString& modeText,
                                         std::span<const std::filesystem::path> resourceFolders,
                                         DialogHooks hooks, ExportRounds* rounds)
    : QDialog(parent),
      settings_(settings),
      lanes_(settings.lanes),
      resourceFolders_(resourceFolders.begin(), resourceFolders.end()),
      hooks_(withDefaults(std::move(hooks))),
      exportMode_(!modeText.isEmpty()),
      rounds_(exportMode_ ? rounds : nullptr) {
    setWindowTitle(tr("動画出力設定"));
    auto* screenAndSound = new QVBoxLayout;
    screenAndSound->addWidget(makeSequencerGroup());
    screenAndSound->addWidget(makePanGroup());
    screenAndSound->addStretch();
    auto* outputs = new QVBoxLayout;
    outputs->addWidget(makeVideoGroup());
    outputs->addWidget(makeAudioGroup());
    if (rounds_) outputs->addWidget(makeRoundsGroup());
    outputs->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(screenAndSound);
    top->addLayout(outputs);

    const OkCancelRow buttons = makeOkCancelRow(this);
    if (exportMode_) buttons.ok->setText(tr(modeText.toUtf8().constData()));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(makeOutputFolderGroup());
    layout->addWidget(makeFileNameGroup());
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QCheckBox* CMovieSettingDialog::makeCheckBox(const QString& text, const QString& name,
                                             bool checked) {
    auto* box = new QCheckBox(text);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QWidget* CMovieSettingDialog::makeSequencerGroup() {
    tempo_ = makeNumberEdit(kMinimumTempo, kMaximumTempo, settings_.tempo, "tempo");
    fourFour_ = makeCheckBox(tr("４拍子"), "fourFour", settings_.fourFour);
    emulateTempo_ = makeCheckBox(tr("ヴェルトシーケンサのテンポをエミュレートする"), "emulateTempo",
                                 settings_.emulateTempo);
    brightness_ = new QSlider(Qt::Horizontal);
    brightness_->setObjectName("brightness");
    brightness_->setRange(0, kMaximumBrightness);
    brightness_->setTickInterval(kBrightnessTick);
    brightness_->setTickPosition(QSlider::TicksBelow);
    brightness_->setValue(settings_.brightness);

    auto* column = new QVBoxLayout;
    column->addWidget(makeNumberGroup(tr("TEMPO"), tempo_));
    column->addWidget(fourFour_);
    column->addWidget(emulateTempo_);
    column->addWidget(makeGroup(tr("背景（暗==明）"), brightness_));
    return makeGroup(tr("ヴェルトシーケンサ"), column);
}

QWidget* CMovieSettingDialog::makeVideoGroup() {
    videoOn_ = makeCheckBox(tr("出力する"), "videoOn", settings_.videoOn);
    fps_ = makeNumberEdit(kMinimumFps, kMaximumFps, settings_.fps, "fps");
    auto* column = new QVBoxLayout;
    column->addWidget(videoOn_);
    column->addWidget(makeNumberGroup(tr("FPS"), fps_));
    return makeGroup(tr("動画"), column);
}

QWidget* CMovieSettingDialog::makeAudioGroup() {
    audioOn_ = makeCheckBox(tr("出力する"), "audioOn", settings_.audioOn);
    join_ = makeCheckBox(tr("結合（遅い）"), "join", settings_.join);
    stereo_ = makeCheckBox(tr("ステレオ出力"), "stereo", settings_.stereo);
    rate22050_ = new QRadioButton(QStringLiteral("22050Hz"));
    rate22050_->setObjectName("rate22050");
    rate44100_ = new QRadioButton(QStringLiteral("44100Hz"));
    rate44100_->setObjectName("rate44100");
    // Any rate other than 44100 shows as the lower one, and is stored as such on OK.
    (settings_.sampleRate == kHighSampleRate ? rate44100_ : rate22050_)->setChecked(true);

    auto* rates = new QHBoxLayout;
    rates->addWidget(rate22050_);
    rates->addWidget(rate44100_);
    auto* column = new QVBoxLayout;
    column->addWidget(audioOn_);
    column->addWidget(join_);
    column->addWidget(stereo_);
    column->addWidget(makeGroup(tr("サンプリングレート"), rates));
    return makeGroup(tr("音声"), column);
}

QWidget* CMovieSettingDialog::makePanGroup() {
    auto* row = new QHBoxLayout;
    for (int lane = 0; lane < kLaneCount; ++lane) {
        auto* button = makeButton(tr(kLaneNames[lane]), QStringLiteral("pan%1").arg(lane));
        connect(button, &QPushButton::clicked, this, [this, lane] { editLanePans(lane); });
        row->addWidget(button);
    }
    return makeGroup(tr("パンポット"), row);
}

// The loop count and the fade side by side, each framed like TEMPO and FPS.
QWidget* CMovieSettingDialog::makeRoundsGroup() {
    roundsEdits_ = makeExportRoundsEdits(*rounds_);
    auto* pair = new QWidget;
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(makeNumberGroup(ExportRoundsEdits::loopsLabel(), roundsEdits_->loops));
    row->addWidget(makeNumberGroup(ExportRoundsEdits::fadeLabel(), roundsEdits_->fade));
    return pair;
}

QWidget* CMovieSettingDialog::makeOutputFolderGroup() {
    const FolderRow folder =
        makeFolderRow(this, hooks_, settings_.outputFolder, QStringLiteral("outputFolder"),
                      QStringLiteral("chooseFolder"));
    outputFolder_ = folder.edit;
    return makeGroup(tr("出力先フォルダ"), folder.row);
}

QWidget* CMovieSettingDialog::makeFileNameGroup() {
    fileName_ = makeLineEdit(settings_.fileName, "fileName");
    auto* column = new QVBoxLayout;
    column->addWidget(
        makeNote(tr("ここで指定されたファイル名に拡張子 avi やら wav やらつけて出力します。"),
                 "fileNameNote"));
    column->addWidget(fileName_);
    column->addWidget(makeNote(
        tr("余裕で2Gとかのファイルが出来るので注意してね。結合するとさらに倍必要w"), "sizeNote"));
    return makeGroup(tr("ファイル名"), column);
}

void CMovieSettingDialog::editLanePans(int lane) {
    CWavAttrDialog pans(this, lanes_[lane], resourceFolders_, hooks_);
    if (pans.exec() == QDialog::Accepted) lanes_[lane] = pans.laneSound();
}

bool CMovieSettingDialog::exportTargetAcceptable() {
    return outputFieldsAcceptable(hooks_, this, outputFolder_, fileName_);
}

// Nothing to read without the export's fields; false when they hold no numbers of their range.
bool CMovieSettingDialog::transferRounds(TextFields& fields) {
    if (!roundsEdits_) return true;
    fields.rounds = readExportRounds(*roundsEdits_, *rounds_, hooks_, this);
    return fields.rounds.has_value();
}

std::optional<std::string> CMovieSettingDialog::transferText(QLineEdit* edit, int maximumLength) {
    if (characterCount(edit->text()) > maximumLength) {
        refuseField(hooks_, this, edit, tr("%1 文字以内で入力してください。").arg(maximumLength));
        return std::nullopt;
    }
    return edit->text().toStdString();
}

// The fields that can fail, read in the order of the dialog; the first failure is reported
// and ends the transfer.
std::optional<CMovieSettingDialog::TextFields> CMovieSettingDialog::transferTextFields() {
    const auto tempo = acceptedNumber(tempo_, hooks_, this);
    if (!tempo) return std::nullopt;
    const auto fps = acceptedNumber(fps_, hooks_, this);
    if (!fps) return std::nullopt;
    TextFields fields{*tempo, *fps, {}, {}, {}};
    if (!transferRounds(fields)) return std::nullopt;
    auto folder = transferText(outputFolder_, kMaximumFolderLength);
    if (!folder) return std::nullopt;
    auto fileName = transferText(fileName_, kMaximumFileNameLength);
    if (!fileName) return std::nullopt;
    fields.outputFolder = std::move(*folder);
    fields.fileName = std::move(*fileName);
    return fields;
}

void CMovieSettingDialog::store(const TextFields& fields) {
    settings_.tempo = fields.tempo;
    settings_.fourFour = fourFour_->isChecked();
    settings_.emulateTempo = emulateTempo_->isChecked();
    settings_.videoOn = videoOn_->isChecked();
    settings_.fps = fields.fps;
    settings_.audioOn = audioOn_->isChecked();
    settings_.join = join_->isChecked();
    settings_.stereo = stereo_->isChecked();
    settings_.sampleRate = rate44100_->isChecked() ? kHighSampleRate : kLowSampleRate;
    settings_.outputFolder = fields.outputFolder;
    settings_.fileName = fields.fileName;
    settings_.brightness = brightness_->value();
    settings_.lanes = lanes_;
    if (fields.rounds) *rounds_ = *fields.rounds;
}

void CMovieSettingDialog::accept() {
    if (exportMode_ && !exportTargetAcceptable()) return;
    const std::optional<TextFields> fields = transferTextFields();
    if (!fields) return;
    store(*fields);
    QDialog::accept();
}

}  // namespace lantrel
