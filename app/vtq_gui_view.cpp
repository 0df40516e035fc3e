#include "vtq_gui_view.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <iostream>

#include "app/dialogs/cheat_dialog.h"
#include "app/dialogs/movie_setting_dialog.h"
#include "app/dialogs/mp4_export_dialog.h"
#include "audio/sdl_wave_device.h"
#include "base/resource_folder.h"
#include "matrix_scroll_bar.h"
#include "model/vtq_gui_doc.h"
#include "progress_box.h"
#include "user_settings.h"

namespace lantrel {

namespace {

constexpr int kPitch = ViewGeometry::kColumnPitch;
constexpr int kOutputWatchMs = 250;
const QColor kCursorColour(255, 0, 255);

std::vector<std::filesystem::path> foldersOrDefault(std::vector<std::filesystem::path> folders) {
    return folders.empty() ? resourceFolders() : folders;
}

std::unique_ptr<WaveDevice> makeDevice(const ViewServices& services) {
    return services.waveDevice ? services.waveDevice() : std::make_unique<SdlWaveDevice>();
}

const char* const kExportFailed =
    "どうやら失敗した模様。ディスクがいっぱいとか？\nあとは開いてるファイルに書きにいったとか。";

QString soundsMissingMessage(const PlayStart& start) {
    if (!start.sounds.problem.empty())
        return QStringLiteral("メモリが足りないので再生できません。\n") +
               QString::fromStdString(start.sounds.problem);
    static const char* const kLaneNames[] = {"上段", "中段", "下段"};
    const int lane = std::clamp(start.sounds.lane, 0, 2);
    return QStringLiteral(
               "%1のWAVが %2 個読み込めないので再生できません。\n"
               "WAVフォルダと内蔵WAV（rsrc）を確かめてください。")
        .arg(QString::fromUtf8(kLaneNames[lane]))
        .arg(start.sounds.missingSounds);
}

}  // namespace

QStringList localFileNames(const QMimeData& data) {
    QStringList names;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) names.push_back(url.toLocalFile());
    return names;
}

std::optional<std::string> CVtqGuiView::ScoreChooser::chooseScoreFile() {
    if (view_.services_.chooseScoreFile) return view_.services_.chooseScoreFile(&view_);
    const QString file = QFileDialog::getOpenFileName(
        &view_, QString(), QString(), QStringLiteral("Velto Sequencer Files(*.vtq)"));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

CVtqGuiView::CVtqGuiView(CVtqGuiDoc& document, ViewServices services, QWidget* parent)
    : QWidget(parent),
      document_(document),
      services_(std::move(services)),
      folders_(foldersOrDefault(services_.resourceFolders)),
      frameContext_(folders_),
      stripPainter_(frameContext_.sprites()),
      playback_(makeDevice(services_), folders_),
      export_(document, folders_) {
    setObjectName(QStringLiteral("view"));
    setFocusPolicy(Qt::StrongFocus);
    services_.hooks = withDefaults(services_.hooks);
    document_.addObserver(&link_);
    document_.setScoreFileChooser(&chooser_);
    outputWatch_.setInterval(kOutputWatchMs);
    connect(&outputWatch_, &QTimer::timeout, this, &CVtqGuiView::watchOutput);
}

// The player ends by itself when the sound output cannot be opened (or runs out of memory);
// the user hears nothing, so the window says why.
void CVtqGuiView::watchOutput() {
    if (playback_.isPlaying()) return;
    outputWatch_.stop();
    announceStateChange();
    if (playback_.player().outputFailed())
        showMessage(QMessageBox::Warning,
                    QStringLiteral("サウンドを出力できませんでした。\n") +
                        QString::fromStdString(playback_.player().outputError()));
}

CVtqGuiView::~CVtqGuiView() {
    document_.removeObserver(&link_);
    document_.setScoreFileChooser(nullptr);
    // The workers post to this window: stop them before it goes. An export still running is
    // cancelled and awaited, as when the window is closed by the system.
    playback_.stop();
    if (export_.running()) {
        export_.cancel();
        export_.finish();
    }
}

// ---- state and lifecycle ----

void CVtqGuiView::initialUpdate() {
    documentChanged(0);
    setAcceptDrops(true);
    if (!initialised_) frameContext_.attach(document_.project());
    initialised_ = true;
    cursorColumn_ = 0;
    cursorLane_ = 1;
    firstVisibleColumn_ = 0;
    relayout(width(), height());
    if (!scrollBar_) {
        scrollBar_ = new CMatrixScrollBar(this);
        scrollBar_->setGeometry(geometryNow().scrollBarRect());
        connect(scrollBar_, &QScrollBar::actionTriggered, this, &CVtqGuiView::scrollBarAction);
    }
    updateScrollBar();
    scrollBar_->show();
    if (screen_.isNull()) {
        screen_ = makeScreenImage();
        screen_.fill(Qt::black);
    }
    renderScreen(2 * cursorColumn_);
    paintStrip();
    announceStateChange();
}

void CVtqGuiView::documentChanged(std::uint32_t hint) {
    stop();
    if (hint & DocumentObserver::kUndoHintFlag) {
        cursorColumn_ = static_cast<int>(hint & ~DocumentObserver::kUndoHintFlag);
        keepCursorVisible();
    }
    poster_.post(kMessageRefresh, 0, 0);
    announceStateChange();
}

void CVtqGuiView::relayout(int width, int height) {
    if (width == 0 || height == 0 || !initialised_) return;
    const ViewGeometry geometry{width, height};
    if (scrollBar_) {
        scrollBar_->setGeometry(geometry.scrollBarRect());
        scrollBar_->show();
    }
    updateScrollBar();
    strip_ = QImage(width, ViewGeometry::kStripHeight, QImage::Format_RGB32);
}

void CVtqGuiView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout(width(), height());
}

void CVtqGuiView::announceStateChange() {
    if (onCommandStateChanged) onCommandStateChanged();
}

int CVtqGuiView::arrangementLength() const {
    return std::max(document_.columnCount(-1), 0);
}

// ---- drawing ----

void CVtqGuiView::paintEvent(QPaintEvent* event) {
    if (!initialised_ || strip_.isNull()) return;
    QPainter painter(this);
    const ViewGeometry geometry = geometryNow();
    const QRect stripArea = geometry.stripRect();
    if (event->region().intersects(stripArea)) {
        stripPainter_.paint(strip_, document_.project(), firstVisibleColumn_);
        painter.drawImage(stripArea.topLeft(), strip_);
        const int k = cursorColumn_ - firstVisibleColumn_;
        if (cursorColumn_ >= firstVisibleColumn_ && k <= geometry.visibleColumns() + 1) {
            const int top = geometry.stripTop() + ViewGeometry::kHeaderHeight +
                            ViewGeometry::kLanePitch * cursorLane_;
            painter.setPen(QPen(kCursorColour, 1));
            painter.drawRect(QRect(kPitch * k, top, kPitch, ViewGeometry::kLanePitch));
        }
    }
    const QRect screenArea = geometry.screenRect();
    if (!screenArea.isEmpty() && event->region().intersects(screenArea))
        painter.drawImage(screenArea, screen_);
}

void CVtqGuiView::renderScreen(int position) {
    if (screen_.isNull()) return;
    RenderFrame(frameContext_.prepare(&screen_, position));
}

void CVtqGuiView::renderExportScreen() {
    renderScreen(exportPosition_);
    drawProgressBox(screen_, exportPhase_, exportingMp4_);
}

void CVtqGuiView::showScreen() {
    const QRect area = geometryNow().screenRect();
    if (!area.isEmpty()) QWidget::update(area);
}

// ---- scrolling ----

void CVtqGuiView::updateScrollBar() {
    if (!scrollBar_) return;
    scrollBar_->setRange(0, std::max(arrangementLength() - 1, 0) + 8);
    scrollBar_->setPage(geometryNow().visibleColumns(), false);
    scrollBar_->setValue(firstVisibleColumn_);
}

void CVtqGuiView::moveThumb() {
    if (scrollBar_) scrollBar_->setSliderPosition(firstVisibleColumn_);
}

// Qt has already moved the thumb by the action, within the bar's range; the strip follows
// it as far as the last column of the arrangement.
void CVtqGuiView::scrollBarAction(int action) {
    const int last = std::max(arrangementLength() - 1, 0);
    int target = scrollBar_->sliderPosition();
    if (action == QAbstractSlider::SliderToMaximum) target = last;
    target = std::clamp(target, 0, last);
    if (action != QAbstractSlider::SliderMove) scrollBar_->setSliderPosition(target);
    if (target == firstVisibleColumn_) return;
    firstVisibleColumn_ = target;
    paintStrip();
}

void CVtqGuiView::keepCursorVisible() {
    const int page = geometryNow().visibleColumns();
    if (cursorColumn_ < firstVisibleColumn_ || cursorColumn_ >= firstVisibleColumn_ + page)
        firstVisibleColumn_ = std::max(0, cursorColumn_ - page / 2);
}

// ---- posted messages ----

bool CVtqGuiView::event(QEvent* event) {
    if (event->type() == PostedEvent::eventType()) {
        handlePosted(static_cast<const PostedEvent&>(*event));
        return true;
    }
    return QWidget::event(event);
}

void CVtqGuiView::handlePosted(const PostedEvent& message) {
    switch (message.message()) {
        case kMessagePlayPosition:
            playPosition(message.wParam());
            break;
        case kMessageRefresh:
            refresh();
            break;
        case kMessageVideoProgress:
        case kMessageAudioProgress:
        case kMessageJoinProgress:
            exportProgress(message);
            break;
        case kMessageExportEnded:
            exportEnded(static_cast<int>(message.wParam()));
            break;
        default:
            break;
    }
}

void CVtqGuiView::refresh() {
    if (!initialised_) return;
    updateScrollBar();
    if (exporting_)
        renderExportScreen();
    else
        renderScreen(2 * cursorColumn_);
    QWidget::update();
}

void CVtqGuiView::playPosition(std::uintptr_t halfBeat) {
    if (exporting_ || audioOnly_) return;
    const long long last = 2LL * arrangementLength() - 1;
    exportPosition_ = static_cast<int>(std::min(static_cast<long long>(halfBeat), last));
    renderScreen(exportPosition_);
    showScreen();
}

void CVtqGuiView::exportProgress(const PostedEvent& message) {
    const auto wParam = static_cast<long long>(message.wParam());
    if (message.message() == kMessageVideoProgress) {
        exportPosition_ = static_cast<int>(wParam);
        exportPhase_ = 0;
    } else if (message.message() == kMessageJoinProgress) {
        exportPosition_ = static_cast<int>(wParam);
        exportPhase_ = 2;
    } else {
        exportPhase_ = 1;
        const long long rate = outputSampleRate(exportSettings_);
        const long long total = message.lParam();
        exportPosition_ = wParam > rate ? static_cast<int>(2.0 * arrangementLength() *
                                                           static_cast<double>(wParam) /
                                                           static_cast<double>(total - rate))
                                        : 0;
    }
    if (!exporting_) return;
    renderExportScreen();
    showScreen();
}

void CVtqGuiView::exportEnded(int result) {
    // The box runs a nested event loop with the export state still set, so that further
    // messages find it unchanged until the user has read it.
    if (result != kExportSuccess && result != kExportCancelled) {
        QString text = QString::fromUtf8(kExportFailed);
        if (!export_.error().empty()) text += "\n\n" + QString::fromStdString(export_.error());
        showMessage(QMessageBox::Warning, text);
    }
    exporting_ = false;
    renderScreen(2 * cursorColumn_);
    showScreen();
    export_.finish();
    announceStateChange();
}

// ---- commands ----

bool CVtqGuiView::handlesCommand(CommandId id) const {
    switch (id) {
        case kCommandNew:
        case kCommandOpen:
        case kCommandSave:
        case kCommandSaveAs:
        case kCommandRecentFiles:
        case kCommandPreferences:
        case kCommandExit:
        case kCommandAbout:
            return false;
        default:
            return true;
    }
}

bool CVtqGuiView::commandEnabled(CommandId id) const {
    const int length = arrangementLength();
    switch (id) {
        case kCommandMovieOutput:
        case kCommandMp4Output:
        case kCommandPlay:
        case kCommandAudioPlay:
            return !exporting_ && length > 0;
        case kCommandMovieSettings:
            return !exporting_;
        case kCommandPaste: {
            const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
            return !exporting_ && clip && clip->hasText();
        }
        case kCommandStop:
            return playback_.isPlaying();
        case kCommandFirstColumn:
            return cursorColumn_ > 0;
        case kCommandArrangementEnd:
            return cursorColumn_ != document_.columnCount(-1);
        case kCommandUndo:
            return document_.canUndo();
        case kCommandRedo:
            return document_.canRedo();
        default:
            return true;
    }
}

void CVtqGuiView::runCommand(CommandId id) {
    // Only moving to either end works while an export runs.
    if (exporting_ && id != kCommandFirstColumn && id != kCommandArrangementEnd) return;
    switch (id) {
        case kCommandCursorLeft:
            cursorLeft();
            break;
        case kCommandCursorRight:
            cursorRight();
            break;
        case kCommandCursorUp:
            cursorLane(-1);
            break;
        case kCommandCursorDown:
            cursorLane(+1);
            break;
        case kCommandLaneEnd:
            jumpTo(std::max(document_.columnCount(cursorLane_), 0));
            break;
        case kCommandLaneStart:
            jumpTo(document_.columnCount(cursorLane_) > 0 ? document_.firstColumn(cursorLane_) : 0);
            break;
        case kCommandFirstColumn:
            jumpTo(0);
            break;
        case kCommandArrangementEnd:
            jumpTo(arrangementLength());
            break;
        case kCommandInsertCell:
        case kCommandInsertHere:
        case kCommandDeleteCell:
        case kCommandDeleteHere:
        case kCommandDeleteToEnd:
        case kCommandDeleteRight:
        case kCommandClearLeft:
            editCells(id);
            break;
        case kCommandLoadFile:
            placeScoreFileAtCursor(std::nullopt, false);
            break;
        case kCommandPaste:
            paste();
            break;
        case kCommandUndo:
            document_.undo();
            break;
        case kCommandRedo:
            document_.redo();
            break;
        case kCommandPlay:
            play(false);
            break;
        case kCommandAudioPlay:
            play(true);
            break;
        case kCommandStop:
            stop();
            break;
        case kCommandMovieSettings:
            movieSettings();
            break;
        case kCommandExpert:
            expertSettings();
            break;
        case kCommandMovieOutput:
            movieOutput();
            break;
        case kCommandMp4Output:
            mp4Output();
            break;
        default:  // copy and cut are accepted and do nothing
            break;
    }
    announceStateChange();
}

void CVtqGuiView::cursorLeft() {
    if (cursorColumn_ <= 0) return;
    --cursorColumn_;
    if (cursorColumn_ < firstVisibleColumn_) {
        // Page back by whole pages until the cursor is in view.
        const int page = geometryNow().visibleColumns();
        int first = firstVisibleColumn_ - page;
        while (first > cursorColumn_)
            first -= page;
        firstVisibleColumn_ = std::max(first, 0);
        moveThumb();
    }
    paintStrip();
    renderScreen(2 * cursorColumn_);
    showScreen();
}

void CVtqGuiView::cursorRight() {
    ++cursorColumn_;
    if (cursorColumn_ >= firstVisibleColumn_ + geometryNow().visibleColumns()) {
        firstVisibleColumn_ = cursorColumn_;
        moveThumb();
    }
    paintStrip();
    renderScreen(2 * cursorColumn_);
    showScreen();
}

void CVtqGuiView::cursorLane(int step) {
    const int lane = cursorLane_ + step;
    if (lane < 0 || lane >= kLaneCount) return;
    cursorLane_ = lane;
    paintStrip();
}

void CVtqGuiView::jumpTo(int column) {
    cursorColumn_ = column;
    keepCursorVisible();
    poster_.post(kMessageRefresh, 0, 0);
}

void CVtqGuiView::editCells(CommandId id) {
    const int lane = cursorLane_;
    const int column = cursorColumn_;
    switch (id) {
        case kCommandInsertCell:
        case kCommandInsertHere:
            document_.InsertCells(lane, column, 1);
            break;
        case kCommandDeleteCell:
        case kCommandDeleteHere:
            document_.DeleteCells(lane, column, 1);
            break;
        case kCommandDeleteToEnd:
        case kCommandDeleteRight:
            if (const int length = document_.columnCount(lane); length - column > 0)
                document_.DeleteCells(lane, column, length - column);
            break;
        default:  // clear left: every cell before the cursor, nothing moves
            document_.ClearCells(lane, 0, column);
            break;
    }
}

int CVtqGuiView::placeScoreFileAtCursor(std::optional<std::string> path, bool advance) {
    if (exporting_) return 0;
    const int placed = document_.PlaceScoreFile(cursorLane_, cursorColumn_, std::move(path));
    if (advance) {
        cursorColumn_ += placed;
        keepCursorVisible();
        updateScrollBar();
    }
    announceStateChange();
    return placed;
}

void CVtqGuiView::paste() {
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    if (!clip || !clip->hasText()) return;
    std::string text = clip->text().toStdString();
    text = text.substr(0, text.find('\0'));
    text += "\r\n";
    cursorColumn_ += document_.PlaceScoreText(text, cursorLane_, cursorColumn_);
    keepCursorVisible();
    updateScrollBar();
}

void CVtqGuiView::openDroppedFiles(const QStringList& names) {
    if (exporting_ || !services_.openFile) return;
    std::vector<std::string> sorted;
    for (const QString& name : names)
        sorted.push_back(name.toStdString());
    std::ranges::sort(sorted);  // byte-wise, case significant
    for (const std::string& name : sorted)
        services_.openFile(QString::fromStdString(name));
}

// ---- playback ----

void CVtqGuiView::play(bool audioOnly) {
    stop();
    audioOnly_ = false;
    const PlayStart start = playback_.play(document_, poster_, cursorColumn_);
    if (start.started()) outputWatch_.start();
    if (start.outcome == PlayStart::Outcome::SoundsIncomplete)
        showMessage(QMessageBox::Warning, soundsMissingMessage(start));
    else if (!start.started())
        showMessage(QMessageBox::Warning, QStringLiteral("再生を始められませんでした。"));
    audioOnly_ = audioOnly;
}

void CVtqGuiView::stop() {
    outputWatch_.stop();
    playback_.stop();
    poster_.post(kMessageRefresh, 0, 0);
}

// ---- dialogs and export ----

void CVtqGuiView::movieSettings() {
    ProjectSettings copy = document_.settings();
    CMovieSettingDialog dialog(this, copy, QString(), folders_, services_.hooks);
    if (dialog.exec() != QDialog::Accepted) return;
    document_.setSettings(copy);
    poster_.post(kMessageRefresh, 0, 0);
}

void CVtqGuiView::expertSettings() {
    ProjectSettings copy = document_.settings();
    CCheatDialog dialog(this, copy);
    if (dialog.exec() != QDialog::Accepted) return;
    document_.setSettings(copy);
    poster_.post(kMessageRefresh, 0, 0);
}

void CVtqGuiView::movieOutput() {
    stop();
    ProjectSettings copy = document_.settings();
    CMovieSettingDialog dialog(this, copy, QString::fromUtf8(CMovieSettingDialog::kExportModeText),
                               folders_, services_.hooks);
    if (dialog.exec() != QDialog::Accepted) return;
    document_.setSettings(copy);
    if (!copy.videoOn && !copy.audioOn) return;
    startExport(copy, {});
}

// The MP4 goes where the movie output would put its files: the folder and the name are the
// project's, and changing them here changes them there. The other choices are the user's.
void CVtqGuiView::mp4Output() {
    stop();
    ProjectSettings copy = document_.settings();
    ExtraOutputs choices =
        services_.userSettings ? services_.userSettings->mp4Choices() : ExtraOutputs{.mp4 = true};
    Mp4ExportDialog dialog(this, copy, choices, services_.hooks);
    if (dialog.exec() != QDialog::Accepted) return;
    if (services_.userSettings) services_.userSettings->saveMp4Choices(choices);
    const ProjectSettings stored = document_.settings();
    if (copy.outputFolder != stored.outputFolder || copy.fileName != stored.fileName)
        document_.setSettings(copy);
    startExport(copy, choices);
}

void CVtqGuiView::startExport(const ProjectSettings& settings, const ExtraOutputs& extras) {
    exportSettings_ = settings;
    exportingMp4_ = extras.mp4;
    exporting_ = true;
    exportPosition_ = 0;
    if (!export_.start(settings, poster_, extras)) {
        exporting_ = false;
        showMessage(QMessageBox::Warning, QString::fromUtf8(kExportFailed));
    }
}

bool CVtqGuiView::mayClose() {
    if (!exporting_) return true;
    showMessage(QMessageBox::Warning, QStringLiteral("ちょwwwおまwww"));
    return false;
}

void CVtqGuiView::showMessage(QMessageBox::Icon icon, const QString& text) {
    services_.hooks.message(this, icon, text);
}

// ---- mouse and drops ----

void CVtqGuiView::placeCursor(const ViewGeometry::Cell& cell) {
    cursorColumn_ = cell.column;
    cursorLane_ = cell.lane;
    paintStrip();
    renderScreen(2 * cursorColumn_);
    showScreen();
    announceStateChange();
}

void CVtqGuiView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const ViewGeometry geometry = geometryNow();
    if (exporting_) {
        if (geometry.cancelBox().contains(event->position().toPoint())) export_.cancel();
        return;
    }
    if (const auto cell = geometry.hitLeft(event->position().toPoint(), firstVisibleColumn_))
        placeCursor(*cell);
}

void CVtqGuiView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || exporting_) return;
    const auto cell = geometryNow().hitLeft(event->position().toPoint(), firstVisibleColumn_);
    if (!cell) return;
    cursorColumn_ = cell->column;
    cursorLane_ = cell->lane;
    placeScoreFileAtCursor(std::nullopt, false);
}

void CVtqGuiView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton || exporting_) return;
    const auto cell = geometryNow().hitRight(event->position().toPoint(), firstVisibleColumn_);
    if (!cell) return;
    placeCursor(*cell);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("contextMenu"));
    for (const CommandId id : contextMenuLayout()) {
        QAction* action = menu.addAction(QString::fromUtf8(commandInfo(id).text));
        action->setData(static_cast<int>(id));
        action->setEnabled(commandEnabled(id));
    }
    if (QAction* chosen = menu.exec(event->globalPosition().toPoint()))
        runCommand(static_cast<CommandId>(chosen->data().toInt()));
}

void CVtqGuiView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CVtqGuiView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    openDroppedFiles(localFileNames(*event->mimeData()));
}

}  // namespace lantrel
