// The view's life (construction, a new project, resizing), its drawing and scrolling, and the
// dispatch of what the workers post to it. Its other roles are in the vtq_gui_view_*.cpp files.
#include "vtq_gui_view.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "audio/sdl_wave_device.h"
#include "base/resource_folder.h"
#include "matrix_scroll_bar.h"
#include "model/vtq_gui_doc.h"
#include "progress_box.h"

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

}  // namespace

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

void CVtqGuiView::showMessage(QMessageBox::Icon icon, const QString& text) {
    services_.hooks.message(this, icon, text);
}

}  // namespace lantrel
