#include "project_file.h"

#include <climits>

#include "archive.h"
#include "project.h"

namespace lantrel {

namespace {

constexpr std::size_t kNoteBytes = 8;  // instrument and pitch, two 32-bit integers

void writeLaneSound(ArchiveWriter& out, const LaneSound& lane) {
    out.writeText(lane.label);
    out.writeText(lane.waveFolder);
    for (const InstrumentSound& instrument : lane.instruments) {
        out.writeI32(instrument.pan);
        out.writeI32(instrument.volume);
        out.writeDouble(instrument.pitchFactor);
    }
}

void writeLaneNotes(ArchiveWriter& out, const Lane& lane) {
    out.writeI32(lane.firstUsedColumn());
    out.writeI32(lane.lastUsedColumn());
    for (int column = lane.firstUsedColumn(); column <= lane.lastUsedColumn(); ++column) {
        for (int slot = 0; slot < kSlotsPerCell; ++slot) {
            const Note note = lane.note(column, slot);
            out.writeI32(note.instrument);
            out.writeI32(note.pitch);
        }
    }
}

void readLaneSound(ArchiveReader& in, LaneSound& lane) {
    lane.label = in.readText();
    lane.waveFolder = in.readText();
    for (InstrumentSound& instrument : lane.instruments) {
        instrument.pan = in.readI32();
        instrument.volume = in.readI32();
        instrument.pitchFactor = in.readDouble();
    }
}

std::string truncatedError(const ArchiveReader& in, const char* what) {
    return "the file is truncated: it ends at byte " + std::to_string(in.position()) + " inside " +
           what;
}

// Bounds as this program writes them: an empty lane (INT_MAX, -1), a lane emptied by a clear
// that kept its first bound (first >= 0, -1), or 0 <= first <= last < kMaxColumns with the
// notes of every column in between actually present in the rest of the file.
std::string checkLaneBounds(int lane, long long first, long long last, std::size_t remaining) {
    const std::string name = "lane " + std::to_string(lane);
    const std::string bounds = std::to_string(first) + ".." + std::to_string(last);
    if (last == -1 && first >= 0) return {};
    if (first < 0) return name + " has a negative first column (" + bounds + ")";
    if (last < first) return name + " has inverted column bounds (" + bounds + ")";
    if (last >= kMaxColumns)
        return name + " reaches column " + std::to_string(last) + ", beyond the maximum of " +
               std::to_string(kMaxColumns - 1);
    const auto columns = static_cast<unsigned long long>(last - first + 1);
    if (columns * kSlotsPerCell * kNoteBytes > remaining)
        return name + " declares " + std::to_string(columns) +
               " columns of notes, more than the file holds";
    return {};
}

std::string readLaneNotes(ArchiveReader& in, int index, Lane& lane) {
    const int first = in.readI32();
    const int last = in.readI32();
    if (in.failed()) return truncatedError(in, "the lane bounds");
    if (auto error = checkLaneBounds(index, first, last, in.remaining()); !error.empty())
        return error;
    lane.reset();
    for (int column = first; column <= last; ++column) {
        for (int slot = 0; slot < kSlotsPerCell; ++slot) {
            Note note;
            note.instrument = in.readI32();
            note.pitch = in.readI32();
            lane.putNote(column, slot, note);
        }
    }
    // Bounds are kept as stored, not as the notes would imply.
    lane.setBounds(first, last);
    return {};
}

}  // namespace

bool hasProjectMagic(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 4 && bytes[1] == 'V' && bytes[2] == 'T' && bytes[3] == 'M';
}

std::string writeProjectFile(const Project& project) {
    const ProjectSettings& settings = project.settingsUnlocked();
    ArchiveWriter out;
    out.writeU32(kProjectMagic);
    out.writeI32(settings.tempo);
    out.writeBool(settings.emulateTempo);
    out.writeBool(settings.fourFour);
    out.writeBool(settings.videoOn);
    out.writeI32(settings.fps);
    out.writeBool(settings.audioOn);
    out.writeBool(settings.join);
    out.writeBool(settings.stereo);
    out.writeI32(settings.sampleRate);
    out.writeText(settings.outputFolder);
    out.writeText(settings.fileName);
    out.writeI32(settings.brightness);
    for (const LaneSound& lane : settings.lanes)
        writeLaneSound(out, lane);
    for (int index = 0; index < kLaneCount; ++index)
        writeLaneNotes(out, project.lane(index));
    return out.takeBytes();
}

ProjectReadResult readProjectFile(std::span<const std::uint8_t> bytes, Project& project) {
    ProjectReadResult result;
    ArchiveReader in(bytes);
    ProjectSettings& settings = project.settingsUnlocked();
    const bool hasMagic = hasProjectMagic(bytes);
    if (hasMagic) {
        result.version = in.readU8();
        in.readU8();
        in.readU16();
    }
    settings.tempo = in.readI32();
    settings.emulateTempo = in.readBool();
    settings.fourFour = in.readBool();
    settings.videoOn = in.readBool();
    settings.fps = in.readI32();
    settings.audioOn = in.readBool();
    settings.join = in.readBool();
    settings.stereo = in.readBool();
    settings.sampleRate = in.readI32();
    settings.outputFolder = in.readText();
    settings.fileName = in.readText();
    if (result.version >= 1) settings.brightness = in.readI32();
    for (LaneSound& lane : settings.lanes)
        readLaneSound(in, lane);
    if (in.failed()) {
        result.error = truncatedError(in, "the settings");
        result.damage = ProjectDamage::Truncated;
        return result;
    }
    for (int index = 0; index < kLaneCount; ++index) {
        result.error = readLaneNotes(in, index, project.lane(index));
        if (!result.error.empty()) {
            result.damage = in.failed() ? ProjectDamage::Truncated : ProjectDamage::BadLanes;
            return result;
        }
    }
    result.ok = true;
    return result;
}

}  // namespace lantrel
