#pragma once
// How the splash window is laid out. Positions and sizes are in twips, as the
// form has always been drawn: 1440 twips an inch, so 15 a pixel at 96 dpi.
// Every label stands inside Frame2 and is measured from the frame's corner.

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "messages.h"

namespace splash {

struct TwipsRect {
    int left, top, width, height;
};

enum class Align { kLeft, kCenter, kRight };

// The family lets a system that lacks the face pick the nearest one it has.
enum class Family { kSerif, kSans };

struct Font {
    std::wstring_view face;
    int centipoints;  // 14.25 pt is 1425
    bool bold;
    bool italic;
    Family family;
    // A scalable face of the same design, for where the face is a raster one
    // without a bitmap of the height asked: GDI enlarges a bitmap only by whole
    // multiples, blocky, and to no size between them.
    std::wstring_view scalableFace{};
};

struct Label {
    TwipsRect box;
    std::wstring_view text;  // a whole literal, so the platform may read it up to its NUL
    Font font;
    std::uint32_t colour;  // 0x00BBGGRR, as the platform takes it
    Align align;
};

inline constexpr TwipsRect kClientArea{0, 0, 7770, 5640};
// One pixel wider than the client area and three short of its height: the
// form's own colour shows in the strip below it.
inline constexpr TwipsRect kFrame2{0, 0, 7785, 5595};
inline constexpr TwipsRect kImage2{840, 1320, 6000, 3000};
inline constexpr unsigned kTimer1IntervalMs = 2000;

inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kDarkRed = 0x000080;
// The form's own colour, pure blue.
inline constexpr std::uint32_t kFormColour = 0xFF0000;

constexpr Font Arial(int centipoints, bool bold, bool italic) {
    return Font{L"Arial", centipoints, bold, italic, Family::kSans};
}

// In the order the controls are created, after Frame2, Timer1 and Image2.
inline constexpr Label kLabels[] = {
    // Label13
    {{480, 240, 6660, 405}, messages::kCompanyName,
     {L"MS Serif", 1800, true, false, Family::kSerif, L"Times New Roman"}, kDarkRed, Align::kCenter},
    // Label12
    {{1155, 840, 5325, 330}, messages::kProductName, {L"Times New Roman", 1425, true, false, Family::kSerif}, kBlack,
     Align::kCenter},
    // Label10. Hinting makes bold Arial relatively wider at larger sizes: the
    // text that fills 98 of its pixels at 96 dpi takes 199 at 192. The box
    // reaches 90 twips further left, to the frame's edge: its text is aligned
    // right, so it stays where it always was.
    {{30, 4320, 1560, 285}, messages::kSplashVersion, Arial(1200, true, false), kBlack, Align::kRight},
    // Label9
    {{240, 5280, 6975, 255}, messages::kWarning, Arial(825, false, false), kBlack, Align::kLeft},
    // lblCompany(3)
    {{5160, 4560, 2415, 255}, messages::kCompanyName, Arial(750, false, true), kBlack, Align::kLeft},
    // Label8
    {{5160, 4320, 2415, 255}, messages::kRightsNotice, Arial(750, false, true), kBlack, Align::kLeft},
    // Label7: 185 of its 186 pixels at 96 dpi, 283 at 144 where it has 279.
    // The box reaches 300 twips further right, into space nothing else takes.
    {{120, 4680, 3090, 240}, messages::kPlatforms, Arial(975, true, false), kBlack, Align::kLeft},
    // lblCompany(2)
    {{5160, 4800, 2415, 255}, messages::kCity, Arial(750, false, true), kBlack, Align::kLeft},
    // Label6
    {{240, 5040, 7095, 195}, messages::kContactLine, Arial(900, true, false), kBlack, Align::kLeft},
};

// Twips to pixels at the screen's dots per inch, to the nearest pixel.
constexpr int ToPixels(int twips, int dotsPerInch) { return (twips * dotsPerInch + 720) / 1440; }

// A font's height in pixels for the platform: negative, so the size is that of
// the characters rather than of the cell.
constexpr int FontHeight(int centipoints, int dotsPerInch) { return -((centipoints * dotsPerInch + 3600) / 7200); }

// What the system has of a face: nothing or a scalable font, or bitmaps of
// these character heights in pixels. Which bitmaps a machine has depends on
// the scale it was set up at.
struct InstalledFace {
    bool raster = false;
    std::vector<int> characterHeights;
};

// The face a label is drawn in at this scale: its own where that is sharp,
// else its scalable one. A face the system lacks is left to the system's font
// mapper, which gives a scalable one of the family.
inline std::wstring_view FaceToDraw(const Font& font, int dotsPerInch, const InstalledFace& installed) {
    const int height = -FontHeight(font.centipoints, dotsPerInch);
    const auto& heights = installed.characterHeights;
    const bool sharp = !installed.raster || std::find(heights.begin(), heights.end(), height) != heights.end();
    return sharp || font.scalableFace.empty() ? font.face : font.scalableFace;
}

// The scale the form is drawn at: the screen's it opens on, where Windows can
// tell it (0 where it cannot: before Windows 10), else the one the system
// was signed in with.
constexpr int FormDpi(int monitorDpi, int systemDpi) { return monitorDpi > 0 ? monitorDpi : systemDpi; }

struct Placement {
    int left, top;
};

// Centred on the screen; on a screen too small for it, its caption stays on
// the screen, where it can be dragged by.
constexpr Placement Centred(int width, int height, int screenWidth, int screenHeight) {
    return {std::max(0, (screenWidth - width) / 2), std::max(0, (screenHeight - height) / 2)};
}

}  // namespace splash
