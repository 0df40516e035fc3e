#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_hooks.h"
#include "command_table.h"
#include "model/document_observer.h"
#include "model/project_settings.h"
#include "model/score_file_chooser.h"
#include "posted_event.h"
#include "session/export_session.h"
#include "session/playback_session.h"
#include "strip_painter.h"
#include "video/frame_context.h"
#include "view_geometry.h"

class QMimeData;

namespace lantrel {

class CMatrixScrollBar;
class CVtqGuiDoc;
class UserSettings;
class WaveDevice;

// The local files among dropped URLs, for the view and the frame alike.
QStringList localFileNames(const QMimeData& data);

// What the view asks of its surroundings. Empty members get the real thing: the program's
// resource folders, SDL's sound output, message boxes, the file dialog. Tests fill them in.
struct ViewServices {
    std::vector<std::filesystem::path> resourceFolders;
    std::function<std::unique_ptr<WaveDevice>()> waveDevice;
    DialogHooks hooks;
    // Asks for a score file to place; nothing when the user cancels.
    std::function<std::optional<std::string>(QWidget* parent)> chooseScoreFile;
    // The application's open-file rule, for dropped files.
    std::function<void(const QString& name)> openFile;
    // Where the exports' choices (the MP4's, the loop count and the fade-out) are remembered;
    // without it they start from the defaults each time.
    UserSettings* userSettings = nullptr;
};

// The arrangement view: the score screen on top, the strip of three lanes below it with the
// cursor frame, and the scroll bar at the bottom. It owns the player, its frame context, and
// the export run with its cancel event; the workers only post messages to it, which it handles
// on the user-interface thread. Every command of the arrangement runs here (runCommand).
// Its implementation is split by role: vtq_gui_view.cpp (life, drawing, scrolling, posted
// messages), _commands, _input (cursor and mouse), _paste_and_drop, _playback and _export.
class CVtqGuiView : public QWidget {
    Q_OBJECT

  public:
    CVtqGuiView(CVtqGuiDoc& document, ViewServices services, QWidget* parent = nullptr);
    ~CVtqGuiView() override;

    // On every new or opened project: cursor to column 0 of the middle lane, strip at the
    // start, the screen drawn at the cursor.
    void initialUpdate();

    // The commands of the view and whether each may run now.
    void runCommand(CommandId id);
    bool commandEnabled(CommandId id) const;
    bool handlesCommand(CommandId id) const;

    // Places a score file at the cursor (asking for one without `path`); with `advance` the
    // cursor moves past it. Answers the columns placed.
    int placeScoreFileAtCursor(std::optional<std::string> path, bool advance);
    // Dropped files, sorted byte-wise, each through the application's open-file rule.
    void openDroppedFiles(const QStringList& names);
    // Whether the window may close; while exporting the user is told no.
    bool mayClose();

    int cursorColumn() const { return cursorColumn_; }
    int cursorLane() const { return cursorLane_; }
    int firstVisibleColumn() const { return firstVisibleColumn_; }
    bool exporting() const { return exporting_; }
    int exportPosition() const { return exportPosition_; }
    int exportPhase() const { return exportPhase_; }
    bool audioOnly() const { return audioOnly_; }
    bool isPlaying() const { return playback_.isPlaying(); }
    const QImage& screenImage() const { return screen_; }
    ViewGeometry geometryNow() const { return {width(), height()}; }
    CMatrixScrollBar* scrollBar() const { return scrollBar_; }

    // Told after the enabling of a command may have changed (an edit, play, an export).
    std::function<void()> onCommandStateChanged;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The document's change notification, kept apart from QWidget::update.
    class DocumentLink : public DocumentObserver {
      public:
        explicit DocumentLink(CVtqGuiView& view) : view_(view) {}
        void update(std::uint32_t hint) override { view_.documentChanged(hint); }

      private:
        CVtqGuiView& view_;
    };
    class ScoreChooser : public ScoreFileChooser {
      public:
        explicit ScoreChooser(CVtqGuiView& view) : view_(view) {}
        std::optional<std::string> chooseScoreFile() override;

      private:
        CVtqGuiView& view_;
    };

    void documentChanged(std::uint32_t hint);
    void handlePosted(const PostedEvent& message);
    void refresh();
    void playPosition(std::uintptr_t halfBeat);
    void exportProgress(const PostedEvent& message);
    void exportEnded(int result);

    void paintStrip() { QWidget::update(geometryNow().stripRect()); }
    void renderScreen(int position);
    void renderExportScreen();
    void showScreen();
    void keepCursorVisible();
    void updateScrollBar();
    void scrollBarAction(int action);
    void moveThumb();
    void relayout(int width, int height);
    void announceStateChange();

    void cursorLeft();
    void cursorRight();
    void cursorLane(int step);
    void jumpTo(int column);
    void placeCursor(const ViewGeometry::Cell& cell);
    void editCells(CommandId id);
    void paste();
    void play(bool audioOnly);
    void stop();
    void movieSettings();
    void expertSettings();
    void movieOutput();
    void mp4Output();
    void startExport(const ProjectSettings& settings, const ExtraOutputs& extras);
    void showMessage(QMessageBox::Icon icon, const QString& text);
    void watchOutput();
    int arrangementLength() const;

    CVtqGuiDoc& document_;
    ViewServices services_;
    std::vector<std::filesystem::path> folders_;  // sprites and built-in sounds
    DocumentLink link_{*this};
    ScoreChooser chooser_{*this};
    EventPoster poster_{this};

    CMatrixScrollBar* scrollBar_ = nullptr;
    bool initialised_ = false;  // after the first initial update
    QImage strip_;
    int cursorColumn_ = 0;
    int cursorLane_ = 1;
    int firstVisibleColumn_ = 0;
    QImage screen_;
    FrameContext frameContext_;
    StripPainter stripPainter_;
    bool exporting_ = false;
    int exportPosition_ = 0;
    int exportPhase_ = 0;
    bool exportingMp4_ = false;
    int exportLoops_ = 1;  // the running export's rounds, one after another on the preview
    ProjectSettings exportSettings_;  // the running export's settings, for its sample rate
    bool audioOnly_ = true;
    QTimer outputWatch_;  // while playing: did the player end by itself?
    PlaybackSession playback_;
    ExportSession export_;
};

}  // namespace lantrel
