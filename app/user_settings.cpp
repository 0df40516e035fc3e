#include "user_settings.h"

namespace lantrel {

namespace {

QString waveKey(int lane) {
    return QStringLiteral("WAVE/dir%1").arg(lane);
}

QString recentKey(int index) {
    return QStringLiteral("Recent File List/File%1").arg(index + 1);
}

}  // namespace

void UserSettings::load() {
    for (int lane = 0; lane < kLaneCount; ++lane) {
        auto& folder = waveFolders_[static_cast<std::size_t>(lane)];
        folder =
            store_.value(waveKey(lane), QString::fromStdString(folder)).toString().toStdString();
    }
    welcome_ = store_.value(QStringLiteral("MISC/welcome"), 0).toInt();
    recent_.clear();
    for (int i = 0; i < kRecentFileCount; ++i)
        if (const QString file = store_.value(recentKey(i)).toString(); !file.isEmpty())
            recent_.push_back(file);
}

void UserSettings::save() {
    for (int lane = 0; lane < kLaneCount; ++lane)
        store_.setValue(waveKey(lane),
                        QString::fromStdString(waveFolders_[static_cast<std::size_t>(lane)]));
    welcome_ = 1;
    store_.setValue(QStringLiteral("MISC/welcome"), welcome_);
    store_.sync();
}

std::string UserSettings::defaultWaveFolder(int lane) const {
    return lane >= 0 && lane < kLaneCount ? waveFolders_[static_cast<std::size_t>(lane)]
                                          : std::string();
}

void UserSettings::addRecentFile(const QString& path) {
    recent_.removeAll(path);
    recent_.push_front(path);
    while (recent_.size() > kRecentFileCount)
        recent_.pop_back();
    saveRecentFiles();
}

void UserSettings::removeRecentFile(const QString& path) {
    recent_.removeAll(path);
    saveRecentFiles();
}

void UserSettings::saveRecentFiles() {
    for (int i = 0; i < kRecentFileCount; ++i) {
        if (i < recent_.size())
            store_.setValue(recentKey(i), recent_[i]);
        else
            store_.remove(recentKey(i));
    }
    store_.sync();
}

}  // namespace lantrel
