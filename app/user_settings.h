#pragma once

#include <QSettings>
#include <QStringList>

#include <array>
#include <string>

#include "model/application_settings.h"
#include "model/note.h"
#include "video/movie_export.h"
#include "window_language.h"

namespace lantrel {

// The user's settings, kept by QSettings under "Lantrel" / "lANTREL SEQUENCER": the default
// WAV folder of each lane for new projects ("WAVE"/"dir0".."dir2"), the "MISC"/"welcome" flag,
// the window's language ("MISC"/"language": "ja" or "en"), the four most recent projects
// ("Recent File List"/"File1".."File4"), and the choices of the MP4 export ("EXPORT"/"scale",
// "crf", "pad16x9", "stems") with the loop count and fade-out that it shares with the movie
// export ("EXPORT"/"loops", "fade"). The export's choices are the user's, not the project's:
// a project file someone sends keeps its AVI settings as they were.
class UserSettings : public ApplicationSettings {
  public:
    static constexpr int kRecentFileCount = 4;

    explicit UserSettings(QSettings& store) : store_(store) {}

    void load();
    // Writes the three folders, the language and the welcome flag, which becomes 1.
    void save();

    std::string defaultWaveFolder(int lane) const override;
    std::array<std::string, kLaneCount>& waveFolders() { return waveFolders_; }
    int welcome() const { return welcome_; }
    // The language chosen for the window's next start; Japanese unless the user chose
    // another (a stored code that names none counts as no choice).
    WindowLanguage language() const { return language_; }
    void setLanguage(WindowLanguage language) { language_ = language; }

    // Most recent first.
    const QStringList& recentFiles() const { return recent_; }
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);

    // The MP4 export's choices as last used (a stored value out of its range gives the
    // default), with `mp4` set and the rounds below; stored at once, the rounds with them.
    ExtraOutputs mp4Choices() const;
    void saveMp4Choices(const ExtraOutputs& choices);
    // The loop count and the fade-out that either export used last, checked alike; the
    // columns are the command line's, so here they are always the whole arrangement.
    ExportRounds exportRounds() const;
    void saveExportRounds(const ExportRounds& rounds);

  private:
    void saveRecentFiles();

    QSettings& store_;
    std::array<std::string, kLaneCount> waveFolders_;
    int welcome_ = 0;
    WindowLanguage language_ = WindowLanguage::Japanese;
    QStringList recent_;
};

}  // namespace lantrel
