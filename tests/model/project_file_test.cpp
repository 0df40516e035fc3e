#include "model/project_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

#include "model/application_settings.h"
#include "model/archive.h"
#include "model/project.h"
#include "model/score.h"

namespace lantrel {
namespace {

std::span<const std::uint8_t> asBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The file of a new project, written out field by field as a reader of the format sees it.
std::string expectedNewProjectFile() {
    ArchiveWriter out;
    out.writeU32(0x4D545601);
    out.writeI32(100);
    for (int flag : {1, 1, 1})
        out.writeU8(static_cast<std::uint8_t>(flag));
    out.writeI32(10);
    for (int flag : {1, 0, 1})
        out.writeU8(static_cast<std::uint8_t>(flag));
    out.writeI32(44100);
    out.writeU8(0);
    out.writeU8(0);
    out.writeI32(255);
    for (int pan : {32, 64, 96}) {
        out.writeU8(0);
        out.writeU8(0);
        for (int instrument = 0; instrument < 15; ++instrument) {
            out.writeI32(pan);
            out.writeI32(100);
            out.writeDouble(1.0);
        }
    }
    for (int lane = 0; lane < 3; ++lane) {
        out.writeI32(INT_MAX);
        out.writeI32(-1);
    }
    return out.takeBytes();
}

TEST(ProjectFileLayout, ANewProjectIsWrittenByteForByte) {
    const Project project;
    const std::string bytes = writeProjectFile(project);
    EXPECT_EQ(bytes, expectedNewProjectFile());
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x01VTM", 4));
}

TEST(ProjectFileLayout, RoundTripsEverySettingAndNote) {
    Project original;
    ProjectSettings& settings = original.settingsUnlocked();
    settings.tempo = 133;
    settings.emulateTempo = false;
    settings.fourFour = false;
    settings.fps = 24;
    settings.join = true;
    settings.stereo = false;
    settings.sampleRate = 22050;
    settings.outputFolder = "/home/ユーザー/movies";
    settings.fileName = std::string(300, 'x');  // needs the 0xFF + 16-bit length form
    settings.brightness = 40;
    settings.lanes[1].label = "melody";
    settings.lanes[2].waveFolder = "/sounds";
    settings.lanes[2].instruments[14] = {127, 35, 1.0594630943592953};
    original.lane(1).putNote(5, 0, Note{3, 7});
    original.lane(1).putNote(7, 2, Note{15, 13});

    Project copy;
    const ProjectReadResult result = readProjectFile(asBytes(writeProjectFile(original)), copy);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.version, 1);
    EXPECT_EQ(copy.settingsUnlocked(), settings);
    EXPECT_EQ(copy.lane(1).firstUsedColumn(), 5);
    EXPECT_EQ(copy.lane(1).lastUsedColumn(), 7);
    EXPECT_EQ(copy.lane(1).note(5, 0), (Note{3, 7}));
    EXPECT_EQ(copy.lane(1).note(7, 2), (Note{15, 13}));
    EXPECT_EQ(copy.lane(0).columnCount(), 0);
}

TEST(ProjectFileTexts, LongLengthsAndTheWideFormAreRead) {
    ArchiveWriter out;
    out.writeText(std::string(70000, 'a'));   // 0xFF 0xFFFF then a 32-bit length
    out.writeText(std::string(0xFFFE, 'b'));  // a 32-bit length that equals the wide marker
    // Wide form: 0xFF 0xFFFE, a second length prefix, then UTF-16LE units.
    out.writeU8(0xFF);
    out.writeU16(0xFFFE);
    out.writeU8(3);
    for (int unit : {0x66F2, 0xD83C, 0xDFB5})
        out.writeU16(static_cast<std::uint16_t>(unit));  // 曲, 🎵
    ArchiveReader in(asBytes(out.bytes()));
    EXPECT_EQ(in.readText().size(), 70000u);
    EXPECT_EQ(in.readText(), std::string(0xFFFE, 'b'));
    EXPECT_EQ(in.readText(), "曲🎵");
    EXPECT_FALSE(in.failed());
}

TEST(ProjectFileTexts, AForgedLengthFailsWithoutAllocating) {
    ArchiveWriter out;
    out.writeU8(0xFF);
    out.writeU16(0xFFFF);
    out.writeU32(0xFFFFFFFF);
    ArchiveReader in(asBytes(out.bytes()));
    EXPECT_EQ(in.readText(), "");
    EXPECT_TRUE(in.failed());
}

TEST(ProjectFileVersions, AFileWithoutTheMagicWordIsVersionZero) {
    Project source;
    source.settingsUnlocked().brightness = 77;
    std::string bytes = writeProjectFile(source);
    // Version 0: no magic word, the tempo first, no brightness.
    std::string old = bytes.substr(4, 4 + 3 + 4 + 3 + 4 + 2);
    old.replace(0, 4, std::string("\x78\x00\x00\x00", 4));  // tempo 120
    old += bytes.substr(4 + 4 + 3 + 4 + 3 + 4 + 2 + 4);
    Project project;
    const ProjectReadResult result = readProjectFile(asBytes(old), project);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.version, 0);
    EXPECT_EQ(project.settingsUnlocked().tempo, 120);
    EXPECT_EQ(project.settingsUnlocked().brightness, 255);
}

TEST(ProjectFileLanes, StoredBoundsAreKeptAndEveryColumnBetweenThemIsRead) {
    Project source;
    source.lane(2).putNote(6, 0, Note{2, 2});
    source.lane(2).setBounds(5, 7);
    const std::string bytes = writeProjectFile(source);
    Project project;
    ASSERT_TRUE(readProjectFile(asBytes(bytes), project).ok);
    EXPECT_EQ(project.lane(2).firstUsedColumn(), 5);
    EXPECT_EQ(project.lane(2).lastUsedColumn(), 7);
    EXPECT_FALSE(project.lane(2).isPresent(5));
    // Three lanes of bounds plus exactly 9 notes of 8 bytes after the settings.
    const std::size_t emptyLanes = writeProjectFile(Project()).size();
    EXPECT_EQ(bytes.size(), emptyLanes + 9 * 8);
}

class ProjectFileMalformed : public ::testing::Test {
  protected:
    // A new project's file with lane 0's bounds replaced.
    static std::string withLaneBounds(std::int32_t first, std::int32_t last) {
        std::string bytes = writeProjectFile(Project());
        ArchiveWriter bounds;
        bounds.writeI32(first);
        bounds.writeI32(last);
        bytes.replace(bytes.size() - 24, 8, bounds.bytes());
        return bytes;
    }
    static ProjectReadResult read(const std::string& bytes) {
        Project project;
        return readProjectFile(asBytes(bytes), project);
    }
};

TEST_F(ProjectFileMalformed, TruncatedFilesFailAtEveryLength) {
    Project source;
    source.lane(0).putNote(3, 0, Note{1, 1});
    const std::string bytes = writeProjectFile(source);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const ProjectReadResult result = read(bytes.substr(0, length));
        EXPECT_FALSE(result.ok) << length;
        EXPECT_FALSE(result.error.empty()) << length;
    }
}

TEST_F(ProjectFileMalformed, ImpossibleLaneBoundsAreRefused) {
    EXPECT_FALSE(read(withLaneBounds(-5, 3)).ok);
    EXPECT_FALSE(read(withLaneBounds(-1, -1)).ok);
    EXPECT_FALSE(read(withLaneBounds(9, 4)).ok);
    EXPECT_FALSE(read(withLaneBounds(0, kMaxColumns)).ok);
    EXPECT_FALSE(read(withLaneBounds(0, 0)).ok) << "one column of notes that the file lacks";
    EXPECT_TRUE(read(withLaneBounds(INT_MAX, -1)).ok);
    EXPECT_TRUE(read(withLaneBounds(4, -1)).ok) << "what a clear can leave behind";
}

TEST_F(ProjectFileMalformed, TwoBillionColumnsAreRefusedAtOnce) {
    const auto started = std::chrono::steady_clock::now();
    const ProjectReadResult result = read(withLaneBounds(0, 2'000'000'000));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("lane 0"), std::string::npos) << result.error;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

TEST(ProjectSettingsRules, EffectiveTempoFollowsTheSequencersTimer) {
    ProjectSettings settings;
    const std::pair<int, int> expected[] = {{100, 99},  {120, 120},  {150, 148},  {200, 192},
                                            {333, 320}, {1000, 960}, {9999, 3840}};
    for (const auto& [tempo, effective] : expected) {
        settings.tempo = tempo;
        EXPECT_EQ(effectiveTempo(settings), effective) << tempo;
    }
    settings.emulateTempo = false;
    settings.tempo = 100;
    EXPECT_EQ(effectiveTempo(settings), 100);
    settings.tempo = 0;
    EXPECT_EQ(effectiveTempo(settings), 1) << "a score's tempo of 0 must not reach a division";
    settings.tempo = -30;
    settings.emulateTempo = true;
    EXPECT_GE(effectiveTempo(settings), 1);
}

class FixedFolders : public ApplicationSettings {
  public:
    std::string defaultWaveFolder(int lane) const override {
        return "/waves/" + std::to_string(lane);
    }
};

TEST(ProjectReset, RestoresDefaultsButKeepsOutputNameAndLabels) {
    const FixedFolders folders;
    Project project(&folders);
    EXPECT_EQ(project.settingsUnlocked().lanes[2].waveFolder, "/waves/2");
    ProjectSettings& settings = project.settingsUnlocked();
    settings.tempo = 180;
    settings.fps = 30;
    settings.outputFolder = "/out";
    settings.fileName = "song";
    settings.lanes[0].label = "bass";
    settings.lanes[0].waveFolder = "/elsewhere";
    settings.lanes[0].instruments[0].pan = 5;
    project.lane(0).putNote(0, 0, Note{1, 1});
    project.reset();
    EXPECT_EQ(settings.tempo, 100);
    EXPECT_EQ(settings.fps, 10);
    EXPECT_EQ(settings.outputFolder, "/out");
    EXPECT_EQ(settings.fileName, "song");
    EXPECT_EQ(settings.lanes[0].label, "bass");
    EXPECT_EQ(settings.lanes[0].waveFolder, "/waves/0");
    EXPECT_EQ(settings.lanes[0].instruments[0].pan, 32);
    EXPECT_EQ(project.columnCount(-1), 0);
}

TEST(ProjectOutputName, SplitsTheFolderAndTheNameWithoutExtension) {
    Project project;
    const ProjectSettings& settings = project.settingsUnlocked();
    project.outputFromPath("C:\\songs\\tune.vtq");
    EXPECT_EQ(settings.outputFolder, "C:\\songs");
    EXPECT_EQ(settings.fileName, "tune");
    project.outputFromPath("/home/me/a.b/tune");
    EXPECT_EQ(settings.outputFolder, "/home/me/a.b");
    EXPECT_EQ(settings.fileName, "") << "the last dot lies in the folder";
    project.outputFromPath("/music/night.song.vtq");
    EXPECT_EQ(settings.fileName, "night.song");
    project.outputFromPath("/root.vtq");
    EXPECT_EQ(settings.outputFolder, "/");
    EXPECT_EQ(settings.fileName, "root");
    project.outputFromPath("tune.vtq");
    project.outputFromPath("");
    EXPECT_EQ(settings.outputFolder, "/") << "no separator: nothing changes";
    project.outputFromPath("D:tune.vtq");
    EXPECT_EQ(settings.outputFolder, "D");
    EXPECT_EQ(settings.fileName, "tune");
}

TEST(ProjectQueries, LaneMinusOneIsTheLongestLaneAndBadLanesReadEmpty) {
    Project project;
    project.lane(0).putNote(4, 0, Note{1, 1});
    project.lane(2).putNote(9, 0, Note{1, 1});
    EXPECT_EQ(project.columnCount(-1), 10);
    EXPECT_EQ(project.columnCount(0), 5);
    EXPECT_EQ(project.columnCount(7), 0);
    EXPECT_EQ(project.pitch(2, 9, 0), 1);
    EXPECT_EQ(project.pitch(3, 9, 0), -1);
    EXPECT_EQ(project.firstColumn(1), INT_MAX);
}

}  // namespace
}  // namespace lantrel
