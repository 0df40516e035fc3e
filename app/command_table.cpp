#include "command_table.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

namespace lantrel {

namespace {

QList<QKeySequence> keys(std::initializer_list<QKeySequence> list) {
    return QList<QKeySequence>(list);
}

// The texts are marked for lupdate here and translated where they are shown.
const std::vector<CommandInfo>& table() {
    static const std::vector<CommandInfo> commands = {
        {kCommandNew, QT_TRANSLATE_NOOP("CommandTable", "新規作成(&N)\tCtrl+N"),
         keys({Qt::CTRL | Qt::Key_N}),
         QT_TRANSLATE_NOOP("CommandTable", "新規にファイルを作成\n新規ファイル")},
        {kCommandOpen, QT_TRANSLATE_NOOP("CommandTable", "開く...(&O)\tCtrl+O"),
         keys({Qt::CTRL | Qt::Key_O}),
         QT_TRANSLATE_NOOP("CommandTable", "既存のファイルを開く\n開く")},
        {kCommandSave, QT_TRANSLATE_NOOP("CommandTable", "上書き保存(&S)\tCtrl+S"),
         keys({Qt::CTRL | Qt::Key_S}),
         QT_TRANSLATE_NOOP("CommandTable", "作業中のファイルを上書きして保存\n保存")},
        {kCommandSaveAs,
         QT_TRANSLATE_NOOP("CommandTable", "名前を付けて保存(&A)..."),
         {},
         QT_TRANSLATE_NOOP("CommandTable", "作業中のファイルを新しい名前で保存\n名前をつけて保存")},
        {kCommandMovieSettings,
         QT_TRANSLATE_NOOP("CommandTable", "動画出力設定..."),
         {},
         QT_TRANSLATE_NOOP("CommandTable", "動画設定\n動画設定")},
        {kCommandMovieOutput,
         QT_TRANSLATE_NOOP("CommandTable", "動画出力..."),
         {},
         QT_TRANSLATE_NOOP("CommandTable", "動画出力\n動画出力")},
        {kCommandMp4Output,
         QT_TRANSLATE_NOOP("CommandTable", "MP4 で出力..."),
         {},
         QT_TRANSLATE_NOOP("CommandTable", "MP4 (H.264 + AAC) で出力\nMP4 で出力")},
        {kCommandRecentFiles,
         QT_TRANSLATE_NOOP("CommandTable", "最近使ったファイル"),
         {},
         QT_TRANSLATE_NOOP("CommandTable", "指定のファイルを開く")},
        {kCommandPreferences, QT_TRANSLATE_NOOP("CommandTable", "環境設定..."), {}, ""},
        {kCommandExit, QT_TRANSLATE_NOOP("CommandTable", "アプリケーションの終了(&X)"), {}, ""},
        {kCommandUndo, QT_TRANSLATE_NOOP("CommandTable", "元に戻す(&U)\tCtrl+Z"),
         keys({Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace}),
         QT_TRANSLATE_NOOP("CommandTable", "直前に行った動作を元に戻す\n元に戻す")},
        {kCommandRedo, QT_TRANSLATE_NOOP("CommandTable", "やり直し(&R)\tCtrl+R"),
         keys({Qt::CTRL | Qt::Key_R}),
         QT_TRANSLATE_NOOP("CommandTable", "直前に行った動作をやりなおす\nやりなおす")},
        {kCommandPaste, QT_TRANSLATE_NOOP("CommandTable", "貼り付け(&P)\tCtrl+V"),
         keys({Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}),
         QT_TRANSLATE_NOOP("CommandTable", "クリップボードの内容を貼り付け\n貼り付け")},
        {kCommandPlay, QT_TRANSLATE_NOOP("CommandTable", "再生(&P)\tF5"), keys({Qt::Key_F5}),
         QT_TRANSLATE_NOOP("CommandTable", "動画付きで再生\n再生")},
        {kCommandAudioPlay, QT_TRANSLATE_NOOP("CommandTable", "オーディオ再生(&A)\tF6"),
         keys({Qt::Key_F6}), QT_TRANSLATE_NOOP("CommandTable", "音声のみ再生\n音声再生")},
        {kCommandStop, QT_TRANSLATE_NOOP("CommandTable", "停止(&S)\tF8"), keys({Qt::Key_F8}),
         QT_TRANSLATE_NOOP("CommandTable", "再生を停止\n停止")},
        {kCommandExpert, QT_TRANSLATE_NOOP("CommandTable", "おすすめできない"), {}, ""},
        {kCommandAbout,
         QT_TRANSLATE_NOOP("CommandTable", "バージョン情報 (&A)..."),
         {},
         QT_TRANSLATE_NOOP("CommandTable",
                           "プログラム情報、バージョン、著作権を表示します。\nバージョン情報")},
        {kCommandLoadFile,
         QT_TRANSLATE_NOOP("CommandTable", "ファイル読み込み..."),
         {},
         QT_TRANSLATE_NOOP("CommandTable", "VTQファイルを配置\nVTQ配置")},
        {kCommandInsertHere, QT_TRANSLATE_NOOP("CommandTable", "ここにセルを挿入\tInsert"), {}, ""},
        {kCommandDeleteHere, QT_TRANSLATE_NOOP("CommandTable", "このセルを削除\tDel"), {}, ""},
        {kCommandDeleteRight,
         QT_TRANSLATE_NOOP("CommandTable", "ここから右→を削除\tShift+Del"),
         {},
         ""},
        {kCommandClearLeft, QT_TRANSLATE_NOOP("CommandTable", "ここより←左をクリア"), {}, ""},
        {kCommandCursorLeft, "", keys({Qt::Key_Left}), ""},
        {kCommandCursorRight, "", keys({Qt::Key_Right}), ""},
        {kCommandCursorUp, "", keys({Qt::Key_Up}), ""},
        {kCommandCursorDown, "", keys({Qt::Key_Down}), ""},
        {kCommandInsertCell, "", keys({Qt::Key_Insert}), ""},
        {kCommandDeleteCell, "", keys({Qt::Key_Delete}), ""},
        {kCommandDeleteToEnd, "", keys({Qt::SHIFT | Qt::Key_Delete}), ""},
        {kCommandLaneEnd, "", keys({Qt::Key_End}), ""},
        {kCommandLaneStart, "", keys({Qt::Key_Home}), ""},
        {kCommandFirstColumn, "", keys({Qt::SHIFT | Qt::Key_Home}), ""},
        {kCommandArrangementEnd, "", keys({Qt::SHIFT | Qt::Key_End}), ""},
        {kCommandCopy, "", keys({Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}),
         QT_TRANSLATE_NOOP("CommandTable", "選択範囲をコピーしてクリップボードに保存\n保存")},
        {kCommandCut, "", keys({Qt::CTRL | Qt::Key_X}),
         QT_TRANSLATE_NOOP("CommandTable", "選択範囲を切り取ってクリップボードに保存\n切り取り")},
    };
    return commands;
}

constexpr std::array kToolbar = {
    kCommandNew,  kCommandOpen,          kCommandSave,
    kSeparator,   kCommandLoadFile,      kCommandPaste,
    kCommandUndo, kCommandRedo,          kSeparator,
    kCommandPlay, kCommandAudioPlay,     kCommandStop,
    kSeparator,   kCommandFirstColumn,   kCommandArrangementEnd,
    kSeparator,   kCommandMovieSettings, kCommandMovieOutput,
    kSeparator,   kCommandAbout,
};

constexpr std::array kContextMenu = {kCommandLoadFile, kCommandInsertHere, kCommandDeleteHere,
                                     kCommandDeleteRight, kCommandClearLeft};

// Empty texts are no source texts: they stay empty.
QString translated(const char* text) {
    return *text == '\0' ? QString() : QCoreApplication::translate("CommandTable", text);
}

}  // namespace

QString CommandInfo::menuText() const {
    return translated(text);
}

QString CommandInfo::tooltip() const {
    const QString all = translated(prompt);
    const auto newline = all.indexOf('\n');
    return newline < 0 ? QString() : all.mid(newline + 1);
}

std::span<const CommandInfo> commandTable() {
    return table();
}

const CommandInfo& commandInfo(CommandId id) {
    const auto& commands = table();
    const auto found = std::ranges::find(commands, id, &CommandInfo::id);
    if (found == commands.end()) throw std::out_of_range("unknown command");
    return *found;
}

std::span<const CommandId> toolbarLayout() {
    return kToolbar;
}

std::span<const CommandId> contextMenuLayout() {
    return kContextMenu;
}

}  // namespace lantrel
