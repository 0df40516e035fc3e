#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <span>

namespace lantrel {

// The window's commands, by the numbers they have always had.
enum CommandId : int {
    kCommandNew = 57600,
    kCommandOpen = 57601,
    kCommandSave = 57603,
    kCommandSaveAs = 57604,
    kCommandMovieSettings = 32800,
    kCommandMovieOutput = 32772,
    kCommandMp4Output = 32830,  // ours: the MP4 export, beside the movie output
    kCommandRecentFiles = 57616,
    kCommandPreferences = 32774,
    kCommandExit = 57665,
    kCommandUndo = 57643,
    kCommandRedo = 32785,
    kCommandPaste = 57637,
    kCommandPlay = 32789,
    kCommandAudioPlay = 32794,
    kCommandStop = 32793,
    kCommandExpert = 32802,
    kCommandAbout = 57664,
    kCommandLoadFile = 32808,
    kCommandInsertHere = 32818,
    kCommandDeleteHere = 32813,
    kCommandDeleteRight = 32810,
    kCommandClearLeft = 32816,
    kCommandCursorLeft = 32776,
    kCommandCursorRight = 32777,
    kCommandCursorUp = 32778,
    kCommandCursorDown = 32779,
    kCommandInsertCell = 32781,
    kCommandDeleteCell = 32782,
    kCommandDeleteToEnd = 32805,
    kCommandLaneEnd = 32803,
    kCommandLaneStart = 32804,
    kCommandFirstColumn = 32819,
    kCommandArrangementEnd = 32820,
    kCommandCopy = 57634,
    kCommandCut = 57635,
};

// One command: its menu text ("\t" before the key name shown at the right), the keys that
// run it, and its prompt ("prompt\ntooltip"; only the tooltip is seen, as there is no status
// bar). Both are written in Japanese, the source texts of their translations (context
// "CommandTable"); the functions answer them in the window's language.
struct CommandInfo {
    CommandId id;
    const char* text;
    QList<QKeySequence> keys;
    const char* prompt;

    QString menuText() const;
    // The part of the prompt after "\n", or nothing.
    QString tooltip() const;
};

// Every command of the window, in the order of the table the menus follow.
std::span<const CommandInfo> commandTable();
const CommandInfo& commandInfo(CommandId id);

// Where the commands stand. 0 marks a separator.
inline constexpr CommandId kSeparator = CommandId(0);
std::span<const CommandId> toolbarLayout();
std::span<const CommandId> contextMenuLayout();

}  // namespace lantrel
