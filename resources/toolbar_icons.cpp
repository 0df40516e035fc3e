#include "toolbar_icons.h"

#include <cstddef>
#include <string_view>

#include "pixel_palette.h"

namespace lantrel {

namespace {

using ButtonArt = std::array<std::string_view, kToolbarIconHeight>;

struct ToolbarButtonArt {
    int command;
    ButtonArt art;
};

// One drawing per button, in toolbar order, outlined in black so that each reads on a light
// toolbar. Colours are listed in pixel_palette.h; '.' is transparent.
// clang-format off
constexpr std::array<ToolbarButtonArt, kToolbarCommands.size()> kButtonArt = {{
    // new: a blank sheet with its corner folded
    {57600, {"..KKKKKKKK......",
             "..KWWWWWWKK.....",
             "..KWWWWWWKlK....",
             "..KWWWWWWKllK...",
             "..KWWWWWWKKKKK..",
             "..KWWWWWWWWWlK..",
             "..KWWWWWWWWWlK..",
             "..KWWWWWWWWWlK..",
             "..KWWWWWWWWWlK..",
             "..KWWWWWWWWWlK..",
             "..KWWWWWWWWWlK..",
             "..KWWWWWWWWWlK..",
             "..KWWWWWWWWWlK..",
             "..KllllllllllK..",
             "..KKKKKKKKKKKK.."}},
    // open: a folder with its front flap falling open
    {57601, {"................",
             "................",
             ".KKKK...........",
             "KYYYYK..........",
             "KYYYYYKKKKKKK...",
             "KYYYYYYYYYYYYK..",
             "KYYYYYYYYYYYYK..",
             "KYYYKKKKKKKKKKKK",
             "KYYKvvvvvvvvvvvK",
             "KYYKyyyyyyyyyyK.",
             "KYKyyyyyyyyyyyK.",
             "KYKyyyyyyyyyyK..",
             "KKyyyyyyyyyyyK..",
             "KKKKKKKKKKKKKK..",
             "................"}},
    // save: a floppy disk, label on top, metal shutter below
    {57603, {"KKKKKKKKKKKKKKK.",
             "KuKWWWWWWWWWKuK.",
             "KuKWWWWWWWWWKuK.",
             "KuKWgggggggWKuK.",
             "KuKWWWWWWWWWKuK.",
             "KuKWgggggggWKuK.",
             "KuKWWWWWWWWWKuK.",
             "KuuKKKKKKKKKuuK.",
             "KuuuuuuuuuuuuuK.",
             "KuuuKKKKKKKuuuK.",
             "KuuuKssUUssKuuK.",
             "KuuuKssUUssKuuK.",
             "KuuuKssUUssKuuK.",
             ".KuuKssssssKuuK.",
             "..KKKKKKKKKKKKK."}},
    // place a score file: a sheet of staff lines with a note, and the arrow that places it
    {32808, {"KKKKKKKKKKK.....",
             "KWWWWWWWWWK.....",
             "KgggggggKgK.....",
             "KWWWWWWWKWK.....",
             "KgggggggKgK.....",
             "KWWWWWWWKWK.....",
             "KggggKKKKgK.....",
             "KWWWKKKKKWK.....",
             "KggggKKKggK.E...",
             "KWWWWWWWWWK.EE..",
             "KgggggggEEEEEEE.",
             "KWWWWWWWEEEEEEEE",
             "KgggggggEEEEEEE.",
             "KWWWWWWWWWK.EE..",
             "KKKKKKKKKKK.E..."}},
    // paste: a clipboard with a sheet on it
    {57637, {"....KKKKK.......",
             ".KKKsssssKKK....",
             "KbbKsKKKsKbbK...",
             "KbbbKKKKKbbbK...",
             "KbbbbbbbbbbbK...",
             "KbbbbKKKKKKKKKK.",
             "KbbbbKWWWWWWWWK.",
             "KbbbbKWggggggWK.",
             "KbbbbKWWWWWWWWK.",
             "KbbbbKWggggggWK.",
             "KbbbbKWWWWWWWWK.",
             "KbbbbKWggggWWWK.",
             "KbbbbKWWWWWWWWK.",
             ".KKKKKWWWWWWWWK.",
             ".....KKKKKKKKKK."}},
    // undo: an arrow that turns back to the left
    {57643, {"................",
             "...K............",
             "..KuK...........",
             ".KuuKKKKKKKK....",
             "KuuuuuuuuuuuKK..",
             ".KuuuuuuuuuuuuK.",
             "..KuKKKKKKKKuuuK",
             "...K........KuuK",
             "............KuuK",
             "............KuuK",
             "...........KuuK.",
             ".........KKuuK..",
             ".......KKuuuK...",
             ".......KKKKK....",
             "................"}},
    // redo: the same arrow turning to the right
    {32785, {"................",
             "............K...",
             "...........KuK..",
             "....KKKKKKKKuuK.",
             "..KKuuuuuuuuuuuK",
             ".KuuuuuuuuuuuuK.",
             "KuuuKKKKKKKKuK..",
             "KuuK........K...",
             "KuuK............",
             "KuuK............",
             ".KuuK...........",
             "..KuuKK.........",
             "...KuuuKK.......",
             "....KKKKK.......",
             "................"}},
    // play: the green triangle
    {32789, {"....KK..........",
             "....KhK.........",
             "....KheK........",
             "....KheeK.......",
             "....KheeeK......",
             "....KheeeeK.....",
             "....KheeeeeK....",
             "....KheeeeeeK...",
             "....KeeeeeeK....",
             "....KeeeeeK.....",
             "....KeeeeK......",
             "....KeeeK.......",
             "....KeeK........",
             "....KeK.........",
             "....KK.........."}},
    // sound only: a smaller triangle and a note
    {32794, {"................",
             "............KK..",
             "..KK........KKK.",
             "..KhK.......K.KK",
             "..KheK......K..K",
             "..KheeK.....K..K",
             "..KheeeK....K.K.",
             "..KheeeeK...K...",
             "..KeeeeK....K...",
             "..KeeeK...KKK...",
             "..KeeK...KKKK...",
             "..KeK....KKKK...",
             "..KK......KK....",
             "................",
             "................"}},
    // stop: the red square
    {32793, {"................",
             "................",
             "...KKKKKKKKKK...",
             "...KqqqqqqqqK...",
             "...KqrrrrrrrK...",
             "...KqrrrrrrrK...",
             "...KqrrrrrrrK...",
             "...KqrrrrrrrK...",
             "...KqrrrrrrrK...",
             "...KqrrrrrrrK...",
             "...KqrrrrrrrK...",
             "...KKKKKKKKKK...",
             "................",
             "................",
             "................"}},
    // to the first column: a bar and a triangle pointing at it
    {32819, {"................",
             "................",
             "..KKK.....KK....",
             "..KuK....KuK....",
             "..KuK...KuuK....",
             "..KuK..KuuuK....",
             "..KuK.KuuuuK....",
             "..KuKKiuuuuK....",
             "..KuK.KiuuuK....",
             "..KuK..KiuuK....",
             "..KuK...KiuK....",
             "..KuK....KiK....",
             "..KKK.....KK....",
             "................",
             "................"}},
    // to the arrangement's end: a triangle pointing at a bar
    {32820, {"................",
             "................",
             "....KK.....KKK..",
             "....KiK....KuK..",
             "....KiuK...KuK..",
             "....KiuuK..KuK..",
             "....KiuuuK.KuK..",
             "....KiuuuuKKuK..",
             "....KuuuuK.KuK..",
             "....KuuuK..KuK..",
             "....KuuK...KuK..",
             "....KuK....KuK..",
             "....KK.....KKK..",
             "................",
             "................"}},
    // movie settings: a frame of film and a gear
    {32800, {"KKKKKKKKKK......",
             "KWKWKWKWKK......",
             "KKKKKKKKKK......",
             "KcccKccccK......",
             "KcccKccccKKK....",
             "KeeeKeKKeKsK.KK.",
             "KKKKKKKsKKsKKsK.",
             "KWKWKWKKsssssK..",
             "KKKKKKKKssKssKKK",
             ".....KsssK.KsssK",
             ".....KKKssKssKKK",
             ".......KsssssK..",
             "......KsKKsKKsK.",
             "......KK.KsK.KK.",
             ".........KKK...."}},
    // movie output: a strip of film with an arrow leaving it
    {32772, {"................",
             "KKKKKKKKKKKKKKKK",
             "KWKKWKKWKKWKKWKK",
             "KKKKKKKKKKKKKKKK",
             "KccccKccccKccccK",
             "KccccKccccKccccK",
             "KeeeeKeeeeKeeeeK",
             "KKKKKKKKKKKKKKKK",
             "KWKKWKKWKKWKKWKK",
             "KKKKKKKKKKKKKKKK",
             "........R.......",
             "........RR......",
             "...RRRRRRrR.....",
             "...RrrrrrrrR....",
             "...RRRRRRrR....."}},
    // about: a question mark on a blue badge
    {57664, {"................",
             ".....UUUUU......",
             "...UUiiiiiUU....",
             "..UiiiWWWiiiU...",
             "..UiiWWiWWiiU...",
             ".UiiiiiiWWiiiU..",
             ".UiiiiiWWiiiiU..",
             ".UiiiiWWiiiiiU..",
             ".UiiiiWWiiiiiU..",
             ".UiiiiiiiiiiiU..",
             "..UiiiWWiiiiU...",
             "..UiiiWWiiiiU...",
             "...UUiiiiiUU....",
             ".....UUUUU......",
             "................"}},
}};
// clang-format on

constexpr bool buttonArtIsWellFormed() {
    for (std::size_t i = 0; i < kButtonArt.size(); ++i) {
        if (kButtonArt[i].command != kToolbarCommands[i]) return false;
        if (!isWellFormedArt(kButtonArt[i].art, kToolbarIconWidth, kToolbarIconHeight))
            return false;
    }
    return true;
}
static_assert(buttonArtIsWellFormed(),
              "every toolbar drawing is 16 x 15 known colours, in toolbar order");

constexpr std::array<ToolbarIcon, kButtonArt.size()> buttonPixels() {
    std::array<ToolbarIcon, kButtonArt.size()> icons{};
    for (std::size_t i = 0; i < kButtonArt.size(); ++i)
        icons[i] = artPixels<kToolbarIconWidth, kToolbarIconHeight>(kButtonArt[i].art);
    return icons;
}

constexpr std::array<ToolbarIcon, kButtonArt.size()> kButtonPixels = buttonPixels();

}  // namespace

const ToolbarIcon* toolbarIcon(int commandId) {
    for (std::size_t i = 0; i < kButtonArt.size(); ++i)
        if (kButtonArt[i].command == commandId) return &kButtonPixels[i];
    return nullptr;
}

}  // namespace lantrel
