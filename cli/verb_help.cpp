#include "verb_help.h"

#include <algorithm>
#include <array>

namespace lantrel {

namespace {

struct VerbDetails {
    std::string_view verb;
    std::string_view text;
};

// Lines stay within 80 columns: this is read on a terminal. The manual page and the README
// say the same, option for option.
constexpr std::array<VerbDetails, 6> kDetails = {{
    {"info",
     "FILE is read as a project when its first bytes say so or its name ends in .vtm,\n"
     "and as a score otherwise.\n"},
    {"arrange",
     "Each LANE:COLUMN:SCORE.vtq places a score on a lane (upper, middle, lower or\n"
     "0, 1, 2) from COLUMN on, counted from 0, overwriting the lane's cells there as a\n"
     "placement in the window does; the placements are made in the order given.\n"
     "\n"
     "options:\n"
     "  --from PROJECT.vtm  start from that project instead of a new one\n"
     "  --out-dir DIR       store DIR as the folder of the project's exports (an empty\n"
     "                      DIR stores none)\n"
     "  --name NAME         store NAME as the name of the project's exported files (an\n"
     "                      empty NAME stores none)\n"
     "\n"
     "Without them, as in the window, the exports go to the folder of the first score\n"
     "placed and are named after it.\n"},
    {"play",
     "options:\n"
     "  --from COLUMN       start at that column (0 or more; default 0)\n"
     "  --seconds N         stop after N seconds (above 0)\n"
     "  --no-loop           play once, to the end\n"
     "\n"
     "Without a sound card, SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=FILE plays into FILE.\n"},
    {"render",
     "POSITION counts half-beats: two make a column, and -1 is before the start.\n"
     "\n"
     "options:\n"
     "  --allow-font-substitute\n"
     "                      draw even without the IPA fonts (fonts-ipafont-gothic),\n"
     "                      with other fonts and so another picture\n"},
    {"export",
     "options:\n"
     "  --out-dir DIR       write into DIR, which must exist\n"
     "  --name NAME         name the files NAME (without extension)\n"
     "  --video, --no-video write the video, or not\n"
     "  --audio, --no-audio write the sound, or not\n"
     "  --join, --no-join   join video and sound into one AVI, or keep two files\n"
     "  --fps N             video frames a second, 1 to 60\n"
     "  --rate 22050|44100  sample rate of the sound\n"
     "  --mono, --stereo    one or two sound channels\n"
     "  --stems             also each lane alone: NAME_upper.wav, NAME_middle.wav and\n"
     "                      NAME_lower.wav\n"
     "  --flac              the sound files as FLAC (NAME.flac); not with --join\n"
     "  --mp4               one NAME.mp4 (H.264 + AAC) instead; the video, sound and\n"
     "                      join switches do not apply\n"
     "  --scale N           with --mp4: each screen pixel becomes N x N pixels, 1 to 5\n"
     "                      (default 2)\n"
     "  --crf N             with --mp4: x264's quality, 0 (lossless) to 51 (default 18)\n"
     "  --preset NAME       with --mp4: x264's speed preset (default superfast)\n"
     "  --pad-16x9          with --mp4: the picture on a black 16:9 canvas\n"
     "  --loops N           N rounds of the song one after another, 1 to 99 (default\n"
     "                      1); notes still ringing at a round's end sound on into\n"
     "                      the next\n"
     "  --fade S            fade the sound out over the last S seconds of the last\n"
     "                      round, 0 to 60 (default 0); the decay after it is silent\n"
     "  --from COLUMN       start at that column, counted from 0 (default 0)\n"
     "  --to COLUMN         end with that column (default: the arrangement's last)\n"
     "  --allow-font-substitute\n"
     "                      draw even without the IPA fonts, with other fonts\n"
     "\n"
     "The rounds, the fade and the columns apply to every file of the run: the AVI,\n"
     "the WAV or FLAC, the MP4 and the stems. 'lantrel info' tells how long a round\n"
     "is.\n"
     "\n"
     "Without --out-dir the files go to the output folder the project stores (for a\n"
     "project arranged from scores, the folder of its first score), or to the current\n"
     "folder when it stores none; without --name they are named after the file name\n"
     "the project stores (the first score's), or after the project file.\n"
     "\n"
     "Ctrl+C, a closed terminal and SIGTERM cancel the run; no file of it is left.\n"},
    {"import",
     "Every file is checked first: one bad file refuses the whole import and leaves\n"
     "the folder as it was. The files go into the built-in resource folder when they\n"
     "can be written there, and into $XDG_DATA_HOME/lantrel/rsrc otherwise.\n"},
}};

}  // namespace

std::string_view verbDetails(std::string_view verb) {
    const auto found = std::ranges::find(kDetails, verb, &VerbDetails::verb);
    return found == kDetails.end() ? std::string_view() : found->text;
}

}  // namespace lantrel
