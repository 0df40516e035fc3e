// A lane whose folder holds 24 legal but long sounds: the verbs keep to the samples' own size,
// and where even that does not fit, they name the sound and fail instead of aborting.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>

#include "audio/sample_set.h"
#include "audio/wav_format.h"
#include "model/vtq_gui_doc.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimitWorks = false;  // AddressSanitizer reserves terabytes up front
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif

constexpr std::uint32_t kLongFrames = 10'000'000;  // 20 MB of 16-bit mono, almost four minutes

// One long sound under all 24 names (links, so that the test writes 20 MB, not 480).
void writeLongSounds(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const auto first = folder / kSoundNames[0].file;
    std::ofstream file(first, std::ios::binary);
    const auto header = makeWavHeader(false, 44100, kLongFrames);
    file.write(reinterpret_cast<const char*>(header.data()),
               static_cast<std::streamsize>(header.size()));
    const std::vector<std::int16_t> samples(kLongFrames, 1000);
    file.write(reinterpret_cast<const char*>(samples.data()),
               static_cast<std::streamsize>(samples.size() * 2));
    for (std::size_t index = 1; index < kSoundNames.size(); ++index)
        std::filesystem::create_symlink(first.filename(), folder / kSoundNames[index].file);
}

class LongSoundsTest : public ::testing::Test {
  protected:
    LongSoundsTest() {
        writeLongSounds(dir / "long");
        CVtqGuiDoc document;
        // Every instrument high and low, so that every one of the 24 sounds is played.
        for (int instrument = 1; instrument <= 15; ++instrument) {
            document.project().lane(0).putNote(2 * instrument, 0, Note{instrument, 9});
            document.project().lane(0).putNote(2 * instrument + 1, 0, Note{instrument, 1});
        }
        ProjectSettings settings = document.settings();
        settings.lanes[0].waveFolder = (dir / "long").string();
        settings.tempo = 2000;
        settings.outputFolder = dir.path().string();
        settings.fileName = "song";
        document.setSettings(settings);
        EXPECT_TRUE(document.save(dir / "p.vtm").ok());
    }
    std::optional<int> run(const std::string& verb, const std::vector<std::string>& options,
                           std::optional<rlim_t> memory) {
        std::vector<std::string> args = {LANTREL_EXECUTABLE, verb, (dir / "p.vtm").string()};
        args.insert(args.end(), options.begin(), options.end());
        test::ChildSetup setup;
        setup.output = dir / "said.txt";
        setup.addressSpaceLimit = memory;
        setup.environment = {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", "/dev/null"}};
        test::ChildProcess child(args, setup);
        return child.wait();
    }
    std::string said() const { return test::TempDir::read(dir / "said.txt"); }

    test::TempDir dir;
};

TEST_F(LongSoundsTest, ExportAndPlayFitInTheSizeOfTheSamples) {
    // 480 MB of samples. Their level tables alone used to take four times that.
    const std::optional<rlim_t> limit =
        kAddressSpaceLimitWorks ? std::optional<rlim_t>(rlim_t{1400} << 20) : std::nullopt;
    EXPECT_EQ(run("export", {"--no-video", "--stereo"}, limit), 0) << said();
    EXPECT_TRUE(std::filesystem::exists(dir / "song.wav"));
    EXPECT_EQ(run("play", {"--seconds", "0.3"}, limit), 0) << said();
}

TEST_F(LongSoundsTest, ASoundThatDoesNotFitIsNamedAndTheVerbFails) {
    if (!kAddressSpaceLimitWorks) GTEST_SKIP() << "no address space limit under AddressSanitizer";
    const rlim_t tooLittle = rlim_t{400} << 20;  // the program, and a dozen of the sounds
    EXPECT_EQ(run("export", {"--no-video"}, tooLittle), 1) << said();
    EXPECT_NE(said().find("lantrel export: not enough memory for the sound " +
                          (dir / "long").string() + "/"),
              std::string::npos)
        << said();
    EXPECT_FALSE(std::filesystem::exists(dir / "song.wav"));
    EXPECT_EQ(run("play", {"--seconds", "0.3"}, tooLittle), 1) << said();
    EXPECT_NE(said().find("lantrel play: not enough memory for the sound "), std::string::npos)
        << said();
}

}  // namespace
}  // namespace lantrel
