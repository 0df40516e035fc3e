#include "audio_writer.h"

#include "export_sound.h"
#include "model/project.h"
#include "model/project_settings.h"
#include "wav_writer.h"

namespace lantrel {

namespace {

std::unique_ptr<SoundSink> openFile(const AudioWriterOptions& options,
                                    const std::filesystem::path& path, const SoundFormat& format,
                                    std::string& error) {
    if (options.openFile) return options.openFile(path, format, error);
    return WavWriter::create(path, format, error);
}

}  // namespace

int writeExportAudio(const Project& project, const ProjectSettings& settings,
                     const std::filesystem::path& path, PostTarget& target, std::string& error,
                     const AudioWriterOptions& options) {
    ExportSound sound;
    if (!sound.prepare(project, settings, options.resourceFolders, options.lane, error,
                       options.rounds))
        return kExportFailure;
    const std::int64_t total = sound.mixedFrames();
    target.post(kMessageAudioProgress, 0, total);

    const auto file = openFile(options, path, sound.format(), error);
    if (!file) return kExportFailure;
    for (auto block = sound.next(); !block.empty(); block = sound.next()) {
        if (!file->addAudio(block)) break;
        if (sound.blockStart() >= 0)
            target.post(kMessageAudioProgress, static_cast<std::uintptr_t>(sound.blockStart()),
                        total);
    }
    if (!file->finish()) {
        error = file->error();
        return kExportFailure;
    }
    target.post(kMessageAudioProgress, static_cast<std::uintptr_t>(total), total);
    return kExportSuccess;
}

}  // namespace lantrel
