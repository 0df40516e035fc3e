#include "info_command.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "base/input_file.h"
#include "command_line.h"
#include "json_writer.h"
#include "model/export_rounds.h"
#include "model/project_file.h"
#include "model/score.h"
#include "model/vtq_gui_doc.h"
#include "score_diagnosis.h"

namespace lantrel {

namespace {

bool looksLikeProject(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::uint8_t head[4] = {};
    file.read(reinterpret_cast<char*>(head), sizeof head);
    if (file.gcount() == sizeof head && hasProjectMagic(head)) return true;
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".vtm";
}

void writeLaneSound(JsonWriter& json, const LaneSound& lane) {
    json.beginObject();
    json.stringField("label", lane.label).stringField("waveFolder", lane.waveFolder);
    json.key("instruments").beginArray();
    for (const InstrumentSound& instrument : lane.instruments) {
        json.beginObject();
        json.numberField("pan", instrument.pan).numberField("volume", instrument.volume);
        json.realField("pitchFactor", instrument.pitchFactor).endObject();
    }
    json.endArray().endObject();
}

void writeSettings(JsonWriter& json, const ProjectSettings& settings) {
    json.beginObject();
    json.numberField("tempo", settings.tempo);
    json.booleanField("emulateTempo", settings.emulateTempo);
    json.booleanField("fourFour", settings.fourFour);
    json.booleanField("videoOn", settings.videoOn);
    json.numberField("fps", settings.fps);
    json.booleanField("audioOn", settings.audioOn);
    json.booleanField("join", settings.join);
    json.booleanField("stereo", settings.stereo);
    json.numberField("sampleRate", settings.sampleRate);
    json.stringField("outputFolder", settings.outputFolder);
    json.stringField("fileName", settings.fileName);
    json.key("lanes").beginArray();
    for (const LaneSound& lane : settings.lanes)
        writeLaneSound(json, lane);
    json.endArray();
    json.numberField("brightness", settings.brightness);
    json.endObject();
}

// One round of the export, the song part of its sound: what `export --loops N` repeats.
void writeRound(JsonWriter& json, const ProjectSettings& settings, int columns) {
    const std::int64_t samples = roundSamples(settings, {}, columns);
    json.beginObject();
    json.numberField("samples", samples);
    json.numberField("sampleRate", outputSampleRate(settings));
    json.realField("seconds", static_cast<double>(samples) / outputSampleRate(settings));
    json.endObject();
}

int laneNoteCount(const Lane& lane) {
    int count = 0;
    for (int column = std::max(lane.firstUsedColumn(), 0); column <= lane.lastUsedColumn();
         ++column)
        for (int slot = 0; slot < kSlotsPerCell; ++slot)
            if (lane.note(column, slot).holdsNote()) ++count;
    return count;
}

int describeProject(const std::filesystem::path& path, std::ostream& out, std::ostream& err) {
    CVtqGuiDoc document;
    const DocumentFileResult result = document.open(path);
    if (!result.ok()) {
        err << "lantrel info: " << result.message << '\n';
        return kExitFailure;
    }
    const Project& project = document.project();
    std::lock_guard guard(project.lock());
    JsonWriter json;
    json.beginObject()
        .stringField("kind", "project")
        .numberField("version", document.fileVersion());
    json.key("settings");
    writeSettings(json, project.settingsUnlocked());
    json.key("lanes").beginArray();
    for (int index = 0; index < kLaneCount; ++index) {
        const Lane& lane = project.lane(index);
        json.beginObject();
        json.numberField("firstUsedColumn", lane.firstUsedColumn());
        json.numberField("lastUsedColumn", lane.lastUsedColumn());
        json.numberField("columnCount", lane.columnCount());
        json.numberField("notes", laneNoteCount(lane));
        json.endObject();
    }
    json.endArray().key("columnCount").number(project.columnCount(-1));
    json.key("round");
    writeRound(json, project.settingsUnlocked(), project.columnCount(-1));
    json.endObject();
    out << json.text() << '\n';
    return kExitSuccess;
}

int describeScore(const std::filesystem::path& path, std::ostream& out, std::ostream& err) {
    Score score;
    if (!score.loadFile(path)) {
        err << "lantrel info: " << explainUnreadableScore(path) << '\n';
        return kExitFailure;
    }
    JsonWriter json;
    json.beginObject();
    json.stringField("kind", "score");
    json.numberField("tempo", score.tempo);
    json.booleanField("loop", score.loop);
    json.numberField("end", score.end);
    json.booleanField("time44", score.time44);
    json.numberField("columns", static_cast<long long>(score.end) - 1);
    json.numberField("notes", score.noteCount());
    json.endObject();
    out << json.text() << '\n';
    return kExitSuccess;
}

}  // namespace

int runInfoCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    for (const std::string& arg : args)
        if (arg.starts_with("-")) return usageError(err, "info", "unknown option '" + arg + "'");
    if (args.empty()) return usageError(err, "info", "no file given");
    if (args.size() > 1) return usageError(err, "info", "one file at a time");
    const std::filesystem::path path = args[0];
    // Looking at the first bytes must not wait on a named pipe or a device.
    if (const std::string problem = regularFileProblem(path); !problem.empty()) {
        err << "lantrel info: " << problem << '\n';
        return kExitFailure;
    }
    return looksLikeProject(path) ? describeProject(path, out, err) : describeScore(path, out, err);
}

}  // namespace lantrel
