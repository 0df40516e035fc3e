#include "file_failure_text.h"

#include <QFileInfo>

#include <unistd.h>

#include <filesystem>

namespace lantrel {

namespace {

bool isScoreName(const QString& path) {
    return path.endsWith(QStringLiteral(".vtq"), Qt::CaseInsensitive);
}

QString whyNotRead(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink()) return QStringLiteral("ファイルが見つかりません。");
    if (file.isDir()) return QStringLiteral("これはフォルダです。");
    if (!file.isFile())
        return QStringLiteral("普通のファイルではありません（名前付きパイプや装置は開けません）。");
    if (static_cast<std::uintmax_t>(file.size()) > kMaxProjectFileBytes)
        return QStringLiteral("大きすぎます。プロジェクトファイルは 256 MB までです。");
    if (::access(QFile::encodeName(path).constData(), R_OK) != 0)
        return QStringLiteral("読む権限がありません。");
    return QStringLiteral("読み込みに失敗しました。");
}

QString whyNotWritten(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir()) return QStringLiteral("保存先のフォルダがありません。");
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0)
        return QStringLiteral("このフォルダに書き込む権限がありません。");
    if (file.isDir()) return QStringLiteral("同じ名前のフォルダがあります。");
    std::error_code error;
    const auto space = std::filesystem::space(folder.absoluteFilePath().toStdString(), error);
    if (!error && space.available == 0) return QStringLiteral("ディスクがいっぱいです。");
    return QStringLiteral("書き込みに失敗しました。ディスクの空きを確かめてください。");
}

QString whyNotAProject(const DocumentFileResult& result) {
    switch (result.damage) {
        case ProjectDamage::Truncated:
            return QStringLiteral("ファイルが途中で切れています。");
        case ProjectDamage::BadLanes:
            return QStringLiteral("レーンのデータが壊れています。");
        default:
            return QStringLiteral("ファイルが壊れています。");
    }
}

}  // namespace

QString fileFailureText(const DocumentFileResult& result, const QString& path, bool saving) {
    using Status = DocumentFileResult::Status;
    if (result.status == Status::Busy)
        return saving ? QStringLiteral("動画出力中は保存できません。")
                      : QStringLiteral("動画出力中は開けません。");
    if (saving) return QStringLiteral("%1 に保存できませんでした。\n\n%2").arg(path, whyNotWritten(path));
    if (result.status == Status::Malformed && isScoreName(path))
        return QStringLiteral("%1 は楽譜ファイル（.vtq）で、プロジェクトとしては開けません。\n\n"
                              "楽譜は、プロジェクトを開いてからウィンドウにドロップするか、"
                              "セルをダブルクリックして配置してください。")
            .arg(path);
    if (result.status == Status::Malformed)
        return QStringLiteral("%1 はプロジェクトファイルとして読めません。\n\n%2")
            .arg(path, whyNotAProject(result));
    return QStringLiteral("%1 を開けませんでした。\n\n%2").arg(path, whyNotRead(path));
}

}  // namespace lantrel
