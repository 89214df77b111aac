// The splash window under Wine: its definition as Windows reports it, what
// the screen shows, its timer, and the executable's identity.

#include <fstream>
#include <iterator>

#include "harness.h"

namespace wine_test {
namespace {

// Window style bits, as winuser.h has them.
constexpr unsigned long kCaption = 0x00C00000, kSysMenu = 0x00080000, kThickFrame = 0x00040000,
                        kMinimizeBox = 0x00020000, kMaximizeBox = 0x00010000, kDlgModalFrame = 0x00000001;

// The form's definition in pixels at 96 dpi (15 twips a pixel).
struct Expected {
    const char* kind;  // alignment, or the kind of control
    const char* box;   // x,y,w,h in the frame (the frame: in the form)
    const char* text;
    // How the text is drawn: face, height in pixels, weight, italic, family, colour.
    const char* face;
    int height, weight, italic;
    const char* family;
    const char* colour;
};

const Expected kControls[] = {
    {"groupbox", "0,0,519,373", "", nullptr, 0, 0, 0, nullptr, nullptr},
    {"bitmap", "56,88,400,200", "", nullptr, 0, 0, 0, nullptr, nullptr},
    {"center", "32,16,444,27", "Tessaly Software Systems", "MS Serif", -24, 700, 0, "serif", "800000"},
    {"center", "77,56,355,22", "Tessaly Push Gateway", "Times New Roman", -19, 700, 0, "serif", "000000"},
    {"right", "8,288,98,19", "Version 1.0.1", "Arial", -16, 700, 0, "sans", "000000"},
    {"left", "16,352,465,17", " ", "Arial", -11, 400, 0, "sans", "000000"},
    {"left", "344,304,161,17", "Tessaly Software Systems", "Arial", -10, 400, 1, "sans", "000000"},
    {"left", "344,288,161,17", "© 2007 All rights reserved.", "Arial", -10, 400, 1, "sans", "000000"},
    {"left", "8,312,186,16", "For Windows - 9X/NT/2000/XP", "Arial", -13, 700, 0, "sans", "000000"},
    {"left", "344,320,161,17", "Austin, Texas", "Arial", -10, 400, 1, "sans", "000000"},
    {"left", "16,336,473,13", "Ph: +1 512 555 0142, Web: www.tessaly.example, Email: info@tessaly.example", "Arial",
     -12, 700, 0, "sans", "000000"},
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

Rect ParseRect(const std::string& text) {
    Rect r;
    std::sscanf(text.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h);
    return r;
}

// Pixels of the area that differ from the picture laid there.
int Differences(const Image& screen, int left, int top, const Image& picture) {
    int differ = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) differ += screen.At(left + x, top + y) != picture.At(x, y);
    }
    return differ;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class SplashUnderWine : public LauncherUnderWine {
protected:
    void SetUp() override {
        LauncherUnderWine::SetUp();
        SetJavaHome("1.4.2", InstallJava(root / "jre"));
        exe = WindowsPath(InstallLauncher(root / "app"));
    }

    // The text as the form's label must show it, drawn by the probe itself.
    Image Rendered(const Expected& label, const Rect& box, int* lines) const {
        const fs::path out = root / "label.ppm";
        const std::string said =
            Wine({(gBuild / "ui_probe.exe").string(), "--render", WindowsPath(out), std::to_string(box.w),
                  std::to_string(box.h), label.kind, label.colour, label.face, std::to_string(label.height),
                  std::to_string(label.weight), std::to_string(label.italic), label.family, label.text});
        *lines = std::atoi(said.substr(said.find(' ') + 1).c_str());
        return ReadPpm(ReadFile(out));
    }

    std::string exe;
};

TEST_F(SplashUnderWine, ShowsTheFormAsDefinedCentredThenLaunches) {
    const Report report = Launch(exe, "", {"--freeze", "3000"});
    ASSERT_TRUE(report.splashShown);
    const std::string& window = report.window;
    EXPECT_EQ(window.substr(0, window.find('|')), "Tessaly Push Server");
    const unsigned long style = std::stoul(Field(window, "style"), nullptr, 16);
    EXPECT_EQ(style & (kCaption | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox), kCaption | kSysMenu);
    EXPECT_EQ(std::stoul(Field(window, "exstyle"), nullptr, 16) & kDlgModalFrame, kDlgModalFrame);
    const Rect outline = ParseRect(Field(window, "rect"));
    const Rect client = ParseRect(Field(window, "client"));
    const Rect screen = ParseRect("0,0," + Field(window, "screen"));
    EXPECT_EQ(client.w, 518);
    EXPECT_EQ(client.h, 376);
    EXPECT_EQ(outline.x, (screen.w - outline.w) / 2);
    EXPECT_EQ(outline.y, (screen.h - outline.h) / 2);

    ASSERT_EQ(report.controls.size(), std::size(kControls));
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const std::string& control = report.controls[i];
        SCOPED_TRACE(control);
        EXPECT_EQ(control.substr(0, control.find('|')), i == 0 ? "Button" : "Static");
        EXPECT_EQ(Field(control, "in"), i == 0 ? "frmSplash" : "Button");
        EXPECT_EQ(Field(control, "box"), kControls[i].box);
        EXPECT_EQ(Field(control, "kind"), kControls[i].kind);
        EXPECT_EQ(Field(control, "text"), kControls[i].text);
    }

    // What the screen showed while the splash stood still.
    const Image& shot = report.screen;
    ASSERT_EQ(shot.width, screen.w);
    const auto at = [&](int x, int y) { return shot.At(client.x + x, client.y + y); };
    int surface[3] = {};
    std::sscanf(Field(window, "surface").c_str(), "%d,%d,%d", &surface[0], &surface[1], &surface[2]);
    EXPECT_EQ(at(10, 60), (std::array<int, 3>{surface[0], surface[1], surface[2]})) << "inside the frame";
    for (int x = 0; x < client.w; x += 37) {
        for (int y = 373; y < 376; ++y) EXPECT_EQ(at(x, y), (std::array<int, 3>{0, 0, 255})) << x << "," << y;
    }
    const Image artwork = ReadPpm(Output("convert " + ShellQuoted((gSource / "launcher/resources/splash.gif").string()) +
                                         " ppm:-"));
    ASSERT_EQ(artwork.width, 400);
    EXPECT_EQ(Differences(shot, client.x + 56, client.y + 88, artwork), 0) << "the picture, in place and unscaled";
    const Rect title = ParseRect(kControls[2].box);
    int darkRed = 0;
    for (int y = 0; y < title.h; ++y) {
        for (int x = 0; x < title.w; ++x) darkRed += at(title.x + x, title.y + y) == std::array<int, 3>{128, 0, 0};
    }
    EXPECT_GT(darkRed, 200) << "the company name in dark red";
    // Each label looks exactly like its text drawn in its font, colour and
    // alignment on the dialog surface, and that text takes one line.
    for (std::size_t i = 2; i < std::size(kControls); ++i) {
        SCOPED_TRACE(kControls[i].text);
        const Rect box = ParseRect(kControls[i].box);
        int lines = 0;
        const Image label = Rendered(kControls[i], box, &lines);
        ASSERT_EQ(label.width, box.w);
        EXPECT_EQ(lines, 1);
        EXPECT_EQ(Differences(shot, client.x + box.x, client.y + box.y, label), 0);
    }

    // The caption shows the application icon, drawn at its small size.
    Wine({(gBuild / "ui_probe.exe").string(), "--resources", exe, WindowsPath(root / "icon.ppm")});
    const Image icon = ReadPpm(ReadFile(root / "icon.ppm"));
    ASSERT_GT(icon.width, 0);
    bool iconShown = false;
    for (int y = outline.y; y < client.y && !iconShown; ++y) {
        for (int x = outline.x; x < outline.x + 40 && !iconShown; ++x) iconShown = Differences(shot, x, y, icon) == 0;
    }
    EXPECT_TRUE(iconShown);

    EXPECT_TRUE(report.splashGone);
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(Children(1).size(), 1u);
}

TEST_F(SplashUnderWine, LaunchesOnceNoSoonerThanTwoSecondsWhateverTheUserDoes) {
    const Report report = Launch(exe, "", {"--poke"});
    EXPECT_TRUE(report.splashShown);
    EXPECT_TRUE(report.splashGone);
    ExpectBoxes(report, {});
    EXPECT_EQ(report.exitCode, 0);
    const std::vector<Child> children = Children(1);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_GE(children[0].started, report.created + 2000 * 10000ull) << "started before the two seconds";
}

TEST_F(SplashUnderWine, ClosingTheSplashBeforeItsTimeEndsTheLauncherWithoutJava) {
    const Report report = Launch(exe, "", {"--close"});
    EXPECT_TRUE(report.splashShown);
    EXPECT_TRUE(report.splashGone);
    ExpectBoxes(report, {});
    EXPECT_EQ(report.exitCode, 3);
    EXPECT_TRUE(Children().empty());
}

TEST_F(SplashUnderWine, TwentyStartsAtOnceShowTwentySplashesAndStartTwentyJavas) {
    constexpr int kStarts = 20;
    const std::string probe = WineCommand({(gBuild / "ui_probe.exe").string(), exe, "120000"});
    std::string all;
    for (int i = 0; i < kStarts; ++i) all += probe + " >" + ShellQuoted((root / std::to_string(i)).string()) + " & ";
    Output(all + "wait");
    for (int i = 0; i < kStarts; ++i) {
        std::FILE* file = std::fopen((root / std::to_string(i)).c_str(), "r");
        ASSERT_NE(file, nullptr);
        const Report report = Read(file, false);
        std::fclose(file);
        // An exit code means the launcher has gone; no box came up.
        EXPECT_TRUE(report.splashShown) << i;
        EXPECT_TRUE(report.boxes.empty()) << i;
        EXPECT_EQ(report.exitCode, 0) << i;
    }
    EXPECT_EQ(Children(kStarts).size(), std::size_t{kStarts});
}

TEST_F(LauncherUnderWine, ExeCarriesItsVersionIconAndManifest) {
    // Both builds, read from the file: the 32-bit one cannot run here.
    for (const fs::path& build : {gBuild, gBuild / ".." / "mingw-i686"}) {
        const std::string exe = WindowsPath(build / "TessalyPushGateway.exe");
        EXPECT_EQ(Wine({(gBuild / "ui_probe.exe").string(), "--resources", exe, WindowsPath(root / "icon.ppm")}),
                  "fixed file=1.0.0.0|product=1.0.0.0\n"
                  "translation 0409 04b0\n"
                  "string 040904B0/CompanyName=Tessaly Software Systems|length=25\n"
                  "string 040904B0/FileVersion=1.00|length=5\n"
                  "string 040904B0/InternalName=TessalyPushGateway|length=19\n"
                  "string 040904B0/OriginalFilename=TessalyPushGateway.exe|length=23\n"
                  "string 040904B0/ProductName=Tessaly Web Gateway|length=20\n"
                  "string 040904B0/ProductVersion=1.00|length=5\n"
                  "icon 32x32|group-bits=8|bits=8|palette=256|mask=1\n"
                  "manifest level=asInvoker|dpi-aware=0\n")
            << build;
    }
}

TEST(Artwork, HasItsFormatsAndIsRebuiltByTheScript) {
    const fs::path resources = gSource / "launcher/resources";
    const std::string gif = ReadFile(resources / "splash.gif");
    ASSERT_GT(gif.size(), 13u);
    EXPECT_EQ(gif.substr(0, 6), "GIF89a");
    EXPECT_EQ(static_cast<unsigned char>(gif[10]) & 0x87, 0x87) << "a global table of 256 colours";
    // A line a frame: one image, 400 x 200, with no transparency, not interlaced.
    EXPECT_EQ(Output("identify -format '%w %h %A %[interlace]\\n' " +
                     ShellQuoted((resources / "splash.gif").string())),
              "400 200 False None\n");

    const fs::path again = fs::path(std::getenv("WINEPREFIX")).parent_path() / "artwork";
    fs::remove_all(again);
    Output(ShellQuoted((gSource / "tools/make-artwork").string()) + " " + ShellQuoted(again.string()));
    EXPECT_EQ(ReadFile(again / "splash.gif"), gif);
    // The icon's format is read back from the exe, through Windows.
    EXPECT_EQ(ReadFile(again / "app.ico"), ReadFile(resources / "app.ico"));
}

}  // namespace
}  // namespace wine_test
