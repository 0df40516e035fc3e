#include "user_settings.h"

#include <cmath>

namespace lantrel {

namespace {

QString waveKey(int lane) {
    return QStringLiteral("WAVE/dir%1").arg(lane);
}

QString recentKey(int index) {
    return QStringLiteral("Recent File List/File%1").arg(index + 1);
}

// A stored number in its range, or `fallback`.
int storedNumber(const QSettings& store, const QString& key, int low, int high, int fallback) {
    bool ok = false;
    const int value = store.value(key, fallback).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

}  // namespace

void UserSettings::load() {
    for (int lane = 0; lane < kLaneCount; ++lane) {
        auto& folder = waveFolders_[static_cast<std::size_t>(lane)];
        folder =
            store_.value(waveKey(lane), QString::fromStdString(folder)).toString().toStdString();
    }
    welcome_ = store_.value(QStringLiteral("MISC/welcome"), 0).toInt();
    language_ = languageFromCode(store_.value(QStringLiteral("MISC/language")).toString())
                    .value_or(WindowLanguage::Japanese);
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
    store_.setValue(QStringLiteral("MISC/language"), languageCode(language_));
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

ExtraOutputs UserSettings::mp4Choices() const {
    ExtraOutputs choices;
    choices.mp4 = true;
    Mp4Options& options = choices.mp4Options;
    options.scale = storedNumber(store_, QStringLiteral("EXPORT/scale"), 1, 5, options.scale);
    options.crf = storedNumber(store_, QStringLiteral("EXPORT/crf"), 0, 51, options.crf);
    options.pad16x9 = store_.value(QStringLiteral("EXPORT/pad16x9"), false).toBool();
    choices.stems = store_.value(QStringLiteral("EXPORT/stems"), false).toBool();
    choices.rounds = exportRounds();
    return choices;
}

void UserSettings::saveMp4Choices(const ExtraOutputs& choices) {
    store_.setValue(QStringLiteral("EXPORT/scale"), choices.mp4Options.scale);
    store_.setValue(QStringLiteral("EXPORT/crf"), choices.mp4Options.crf);
    store_.setValue(QStringLiteral("EXPORT/pad16x9"), choices.mp4Options.pad16x9);
    store_.setValue(QStringLiteral("EXPORT/stems"), choices.stems);
    saveExportRounds(choices.rounds);
}

ExportRounds UserSettings::exportRounds() const {
    ExportRounds rounds;
    rounds.loops = storedNumber(store_, QStringLiteral("EXPORT/loops"), 1, ExportRounds::kMaxLoops,
                                rounds.loops);
    rounds.fadeSeconds = storedNumber(store_, QStringLiteral("EXPORT/fade"), 0,
                                      static_cast<int>(ExportRounds::kMaxFadeSeconds), 0);
    return rounds;
}

// The window asks for whole seconds, so that is what the store holds.
void UserSettings::saveExportRounds(const ExportRounds& rounds) {
    store_.setValue(QStringLiteral("EXPORT/loops"), rounds.loops);
    store_.setValue(QStringLiteral("EXPORT/fade"),
                    static_cast<int>(std::lround(rounds.fadeSeconds)));
    store_.sync();
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
