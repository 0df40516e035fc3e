#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <vector>

#include "command_table.h"

class QAction;
class QMenu;
class QTimer;
class QToolBar;

namespace lantrel {

// The main window: the menu bar and toolbar of every command around the arrangement view.
// Which command runs and whether it may run now are the application's business; the frame
// asks before a menu opens, on a short timer for the toolbar, and whenever told the state
// changed, so that a disabled command's key does nothing either.
class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    using CommandHandler = std::function<void(CommandId)>;
    using EnablingRule = std::function<bool(CommandId)>;

    // The view's client area starts at 512 × 496.
    static constexpr QSize kInitialViewSize{512, 496};

    CMainFrame(QWidget* view, CommandHandler run, EnablingRule enabled);

    QAction* action(CommandId id) const;
    QToolBar* toolBar() const { return toolBar_; }
    void refreshCommandStates();

    // "<project name> - Lantrel", with the modified mark where the desktop shows one.
    void setCaption(const QString& projectName, bool modified);
    // The recent projects under "最近使ったファイル", most recent first; opening the one at
    // `index` calls `open(index)`.
    void setRecentFiles(const QStringList& files);
    std::function<void(int index)> onOpenRecent;
    // Asked when the window is about to close; false keeps it open.
    std::function<bool()> onCloseRequest;
    // Files dropped on the frame (outside the view).
    std::function<void(const QStringList& names)> onDrop;

    // The window sized so that the view's client area is kInitialViewSize, and kept from
    // shrinking below the smallest useful strip.
    void applyInitialSize();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createActions();
    void createMenus();
    void createToolBar();
    QMenu* addMenu(const QString& title, std::initializer_list<CommandId> items);
    void addRecentFileItems(QMenu* file);

    CommandHandler run_;
    EnablingRule enabled_;
    std::map<CommandId, QAction*> actions_;
    std::vector<QAction*> recentActions_;
    QToolBar* toolBar_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
};

}  // namespace lantrel
