#include "main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>
#include <QMimeData>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "app_icons.h"
#include "vtq_gui_view.h"

namespace lantrel {

namespace {

constexpr int kToolbarRefreshMs = 200;

// One entry of the recent-file list as the menu shows it: "&1 /path/song.vtm", with the home
// folder written as "~".
QString recentFileText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    const QString home = QDir::homePath();
    if (shown.startsWith(home + '/')) shown = '~' + shown.mid(home.size());
    shown.replace('&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

CMainFrame::CMainFrame(QWidget* view, CommandHandler run, EnablingRule enabled)
    : run_(std::move(run)), enabled_(std::move(enabled)) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(applicationIcon());
    setCentralWidget(view);
    setAcceptDrops(true);
    setContextMenuPolicy(Qt::NoContextMenu);  // no toolbar toggles on a right click
    createActions();
    createMenus();
    createToolBar();
    refreshTimer_ = new QTimer(this);
    connect(refreshTimer_, &QTimer::timeout, this, &CMainFrame::refreshCommandStates);
    refreshTimer_->start(kToolbarRefreshMs);
    setCaption(QString(), false);
}

void CMainFrame::createActions() {
    for (const CommandInfo& info : commandTable()) {
        auto* action = new QAction(info.menuText(), this);
        action->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(info.id)));
        action->setShortcuts(info.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        if (const QString tip = info.tooltip(); !tip.isEmpty()) action->setToolTip(tip);
        action->setIcon(toolbarButtonIcon(info.id));
        action->setIconVisibleInMenu(false);
        const CommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { run_(id); });
        addAction(action);  // keys work even for commands that sit in no menu
        actions_[id] = action;
    }
    actions_[kCommandRecentFiles]->setEnabled(false);
}

QAction* CMainFrame::action(CommandId id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

QMenu* CMainFrame::addMenu(const QString& title, std::initializer_list<CommandId> items) {
    QMenu* menu = menuBar()->addMenu(title);
    for (const CommandId id : items) {
        if (id == kSeparator)
            menu->addSeparator();
        else
            menu->addAction(action(id));
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::refreshCommandStates);
    return menu;
}

void CMainFrame::createMenus() {
    QMenu* file =
        addMenu(tr("ファイル(&F)"),
                {kCommandNew, kCommandOpen, kCommandSave, kCommandSaveAs, kSeparator,
                 kCommandMovieSettings, kCommandMovieOutput, kCommandMp4Output, kSeparator});
    file->setObjectName(QStringLiteral("fileMenu"));
    addRecentFileItems(file);
    file->addSeparator();
    file->addAction(action(kCommandPreferences));
    file->addAction(action(kCommandExit));
    addMenu(tr("編集(&E)"), {kCommandUndo, kCommandRedo, kSeparator, kCommandPaste})
        ->setObjectName(QStringLiteral("editMenu"));
    addMenu(tr("再生(&P)"), {kCommandPlay, kCommandAudioPlay, kCommandStop})
        ->setObjectName(QStringLiteral("playMenu"));
    addMenu(tr("素人には"), {kCommandExpert})
        ->setObjectName(QStringLiteral("expertMenu"));
    addMenu(tr("ヘルプ(&H)"), {kCommandAbout})
        ->setObjectName(QStringLiteral("helpMenu"));
}

// The placeholder "最近使ったファイル" stands alone, disabled, until a project has been
// opened or saved; then up to four entries take its place.
void CMainFrame::addRecentFileItems(QMenu* file) {
    file->addAction(action(kCommandRecentFiles));
    for (int i = 0; i < 4; ++i) {
        auto* entry = file->addAction(QString());
        entry->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        entry->setVisible(false);
        entry->setToolTip(commandInfo(kCommandRecentFiles).tooltip());
        connect(entry, &QAction::triggered, this, [this, i] {
            if (onOpenRecent) onOpenRecent(i);
        });
        recentActions_.push_back(entry);
    }
}

void CMainFrame::setRecentFiles(const QStringList& files) {
    action(kCommandRecentFiles)->setVisible(files.isEmpty());
    for (int i = 0; i < static_cast<int>(recentActions_.size()); ++i) {
        QAction* entry = recentActions_[static_cast<std::size_t>(i)];
        entry->setVisible(i < files.size());
        if (i < files.size()) entry->setText(recentFileText(i, files[i]));
    }
}

void CMainFrame::createToolBar() {
    toolBar_ = addToolBar(QStringLiteral("toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->toggleViewAction()->setEnabled(false);
    for (const CommandId id : toolbarLayout()) {
        if (id == kSeparator)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(action(id));
    }
}

void CMainFrame::refreshCommandStates() {
    for (const auto& [id, action] : actions_)
        if (id != kCommandRecentFiles) action->setEnabled(enabled_(id));
}

void CMainFrame::setCaption(const QString& projectName, bool modified) {
    const QString name = projectName.isEmpty() ? tr("無題") : projectName;
    setWindowTitle(name + QStringLiteral("[*] - Lantrel"));
    setWindowModified(modified);
}

void CMainFrame::applyInitialSize() {
    const int menu = menuBar()->sizeHint().height();
    const int tools = toolBar_->sizeHint().height();
    resize(kInitialViewSize.width(), kInitialViewSize.height() + menu + tools);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    setMinimumSize(256 + 2 * frame, 160 + menu);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (onCloseRequest && !onCloseRequest()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    if (onDrop) onDrop(localFileNames(*event->mimeData()));
}

}  // namespace lantrel
