// The window's own costs: painting the strip, a play-position message, a cursor key, dragging
// the scroll thumb, and starting the window with a project. Offscreen, so the figures leave
// out the X server's share.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "app/lantrel_app.h"
#include "app/main_frame.h"
#include "app/matrix_scroll_bar.h"
#include "app/strip_painter.h"
#include "app/vtq_gui_view.h"
#include "model/vtq_gui_doc.h"
#include "support/test_wave_device.h"

namespace lantrel {
namespace {

// The build's own sounds and sprites, so that the window draws and plays what a user sees.
std::vector<std::filesystem::path> builtFolders() {
    return {LANTREL_RSRC_DIR};
}

ViewServices quietServices() {
    ViewServices services;
    services.resourceFolders = builtFolders();
    services.waveDevice = [] {
        return std::make_unique<test::TestWaveDevice>(test::TestWaveDevice::Pace::RealTime, false);
    };
    services.hooks.message = [](QWidget*, QMessageBox::Icon, const QString& text) {
        qWarning("%s", qPrintable(text));
    };
    return services;
}

void fillDensely(Project& project, int columns) {
    std::lock_guard lock(project.lock());
    for (int lane = 0; lane < kLaneCount; ++lane)
        for (int column = 0; column < columns; ++column)
            for (int slot = 0; slot < kSlotsPerCell; ++slot)
                project.lane(lane).putNote(
                    column, slot, Note{1 + (column + slot) % 15, 1 + (column + lane) % 13});
}

// A view of its own, shown offscreen at the given size, with a test sound device.
struct ShownView {
    explicit ShownView(int columns, QSize size = {512, 496}) {
        fillDensely(document.project(), columns);
        view = std::make_unique<CVtqGuiView>(document, quietServices());
        view->resize(size);
        view->show();
        view->initialUpdate();
        QApplication::processEvents();
    }
    CVtqGuiDoc document;
    std::unique_ptr<CVtqGuiView> view;
};

void BM_PaintStrip1600(benchmark::State& state) {
    CVtqGuiDoc document;
    fillDensely(document.project(), 400);
    const SpriteSheets sprites(builtFolders());
    const StripPainter painter(sprites);
    QImage strip(1600, 92, QImage::Format_RGB32);
    int first = 0;
    for (auto _ : state) {
        painter.paint(strip, document.project(), first);
        first = (first + 1) % 200;
        benchmark::DoNotOptimize(strip.constBits());
    }
}
BENCHMARK(BM_PaintStrip1600)->Unit(benchmark::kMicrosecond);

// What the user-interface thread does for each position the player posts: render the screen
// at it and show it.
void BM_PlayPositionMessage(benchmark::State& state) {
    ShownView shown(400);
    shown.view->runCommand(kCommandAudioPlay);  // playing, so that positions count...
    shown.view->runCommand(kCommandStop);
    shown.view->runCommand(kCommandPlay);  // ...with the picture following
    int position = 0;
    for (auto _ : state) {
        PostedEvent message(kMessagePlayPosition, static_cast<std::uintptr_t>(position), 0);
        QApplication::sendEvent(shown.view.get(), &message);
        shown.view->repaint(shown.view->geometryNow().screenRect());
        position = (position + 3) % 700;
    }
    shown.view->runCommand(kCommandStop);
}
BENCHMARK(BM_PlayPositionMessage)->Unit(benchmark::kMicrosecond);

// A cursor key within the page: the strip, the screen at the cursor, and the repaint.
void BM_CursorKeyWithinThePage(benchmark::State& state) {
    ShownView shown(400, {1600, 496});
    bool right = true;
    for (auto _ : state) {
        shown.view->runCommand(right ? kCommandCursorRight : kCommandCursorLeft);
        right = !right;
        QApplication::processEvents();  // the posted repaint of what changed
    }
}
BENCHMARK(BM_CursorKeyWithinThePage)->Unit(benchmark::kMicrosecond);

// One step of dragging the thumb across a 100,000-column arrangement: only the strip repaints.
void BM_DragThumb100000Columns(benchmark::State& state) {
    ShownView shown(100'000, {1600, 496});
    CMatrixScrollBar& bar = *shown.view->scrollBar();
    int position = 0;
    for (auto _ : state) {
        position = (position + 997) % 99'000;
        bar.setSliderPosition(position);
        bar.triggerAction(QAbstractSlider::SliderMove);
        shown.view->repaint(shown.view->geometryNow().stripRect());
    }
}
BENCHMARK(BM_DragThumb100000Columns)->Unit(benchmark::kMicrosecond);

// The application from its start to the first painted window with a project of the demo's
// size, Qt's own start-up excluded.
void BM_WindowStartToFirstPaint(benchmark::State& state) {
    QTemporaryDir dir;
    CVtqGuiDoc demo;
    fillDensely(demo.project(), 224);
    demo.save(dir.filePath("demo.vtm").toStdString());
    for (auto _ : state) {
        QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
        AppServices services;
        services.store = &store;
        services.view = quietServices();
        CLantrelApp app(services);
        app.start({dir.filePath("demo.vtm")});
        app.frame()->repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_WindowStartToFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lantrel
