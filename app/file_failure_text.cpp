#include "file_failure_text.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <unistd.h>

#include <filesystem>

namespace lantrel {

namespace {

// The translations' context.
class Text {
    Q_DECLARE_TR_FUNCTIONS(FileFailureText)
};

bool isScoreName(const QString& path) {
    return path.endsWith(QStringLiteral(".vtq"), Qt::CaseInsensitive);
}

QString whyNotRead(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink()) return Text::tr("ファイルが見つかりません。");
    if (file.isDir()) return Text::tr("これはフォルダです。");
    if (!file.isFile())
        return Text::tr("普通のファイルではありません（名前付きパイプや装置は開けません）。");
    if (static_cast<std::uintmax_t>(file.size()) > kMaxProjectFileBytes)
        return Text::tr("大きすぎます。プロジェクトファイルは 256 MB までです。");
    if (::access(QFile::encodeName(path).constData(), R_OK) != 0)
        return Text::tr("読む権限がありません。");
    return Text::tr("読み込みに失敗しました。");
}

QString whyNotWritten(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir()) return Text::tr("保存先のフォルダがありません。");
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0)
        return Text::tr("このフォルダに書き込む権限がありません。");
    if (file.isDir()) return Text::tr("同じ名前のフォルダがあります。");
    std::error_code error;
    const auto space = std::filesystem::space(folder.absoluteFilePath().toStdString(), error);
    if (!error && space.available == 0) return Text::tr("ディスクがいっぱいです。");
    return Text::tr("書き込みに失敗しました。ディスクの空きを確かめてください。");
}

QString whyNotAProject(const DocumentFileResult& result) {
    switch (result.damage) {
        case ProjectDamage::Truncated:
            return Text::tr("ファイルが途中で切れています。");
        case ProjectDamage::BadLanes:
            return Text::tr("レーンのデータが壊れています。");
        default:
            return Text::tr("ファイルが壊れています。");
    }
}

}  // namespace

QString fileFailureText(const DocumentFileResult& result, const QString& path, bool saving) {
    using Status = DocumentFileResult::Status;
    if (result.status == Status::Busy)
        return saving ? Text::tr("動画出力中は保存できません。")
                      : Text::tr("動画出力中は開けません。");
    if (saving) return Text::tr("%1 に保存できませんでした。\n\n%2").arg(path, whyNotWritten(path));
    if (result.status == Status::Malformed && isScoreName(path))
        return Text::tr(
                   "%1 は楽譜ファイル（.vtq）で、プロジェクトとしては開けません。\n\n"
                   "楽譜は、プロジェクトを開いてからウィンドウにドロップするか、"
                   "セルをダブルクリックして配置してください。")
            .arg(path);
    if (result.status == Status::Malformed)
        return Text::tr("%1 はプロジェクトファイルとして読めません。\n\n%2")
            .arg(path, whyNotAProject(result));
    return Text::tr("%1 を開けませんでした。\n\n%2").arg(path, whyNotRead(path));
}

}  // namespace lantrel
