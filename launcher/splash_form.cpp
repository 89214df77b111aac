#include "splash_form.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>

#include "gif_image.h"
#include "identity.h"
#include "launch_sequence.h"

namespace {

constexpr wchar_t kFormClass[] = L"frmSplash";
constexpr UINT_PTR kTimer1 = 1;
constexpr int kFrame2Id = 1;
constexpr int kImage2Id = 2;
constexpr int kFirstLabelId = 10;

// Sent where the form is moved to a screen of another scale (Windows 8.1 and
// later; the headers name it only for builds that need those).
constexpr UINT kDpiChanged = 0x02E0;
// A fixed dialog frame: a caption with a close box, nothing to resize,
// minimize or maximize.
constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;

// A call of Windows 10 and later, or null: the launcher also runs where it
// does not exist.
template <typename Call>
Call* Later(const char* name) {
    return reinterpret_cast<Call*>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

SIZE InPixels(const splash::TwipsRect& box, int dotsPerInch) {
    return SIZE{splash::ToPixels(box.width, dotsPerInch), splash::ToPixels(box.height, dotsPerInch)};
}

// A control is made where it goes at the first layout, and moved there at a
// later one.
HWND Place(HINSTANCE instance, HWND parent, int id, const wchar_t* kind, const wchar_t* text, DWORD style,
           const splash::TwipsRect& box, int dotsPerInch) {
    const int left = splash::ToPixels(box.left, dotsPerInch), top = splash::ToPixels(box.top, dotsPerInch);
    const SIZE size = InPixels(box, dotsPerInch);
    if (const HWND made = GetDlgItem(parent, id)) return MoveWindow(made, left, top, size.cx, size.cy, FALSE), made;
    return CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, left, top, size.cx, size.cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

// The form's outline round its client area at a scale: the caption and the
// frame are drawn at the screen's scale too, from Windows 10 on.
SIZE FormSize(int dotsPerInch) {
    const SIZE client = InPixels(splash::kClientArea, dotsPerInch);
    RECT outline{0, 0, client.cx, client.cy};
    const auto forDpi = Later<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&outline, kFormStyle, FALSE, kFormExStyle, dotsPerInch))
        AdjustWindowRectEx(&outline, kFormStyle, FALSE, kFormExStyle);
    return SIZE{outline.right - outline.left, outline.bottom - outline.top};
}

// Where the form goes at a scale: centred on the primary screen.
RECT CentredOutline(int dotsPerInch) {
    const SIZE size = FormSize(dotsPerInch);
    const splash::Placement at =
        splash::Centred(size.cx, size.cy, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return RECT{at.left, at.top, at.left + size.cx, at.top + size.cy};
}

int CALLBACK NoteSize(const LOGFONTW*, const TEXTMETRICW* metrics, DWORD type, LPARAM installed) {
    auto& face = *reinterpret_cast<splash::InstalledFace*>(installed);
    face.raster = face.raster || type & RASTER_FONTTYPE;
    if (type & RASTER_FONTTYPE) face.characterHeights.push_back(metrics->tmHeight - metrics->tmInternalLeading);
    return 1;
}

// A raster face is listed once for each of its bitmaps.
splash::InstalledFace Installed(std::wstring_view face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = ANSI_CHARSET;
    std::copy_n(face.data(), std::min(face.size(), std::size(wanted.lfFaceName) - 1), wanted.lfFaceName);
    splash::InstalledFace installed;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteSize, reinterpret_cast<LPARAM>(&installed), 0);
    ReleaseDC(nullptr, screen);
    return installed;
}

HFONT CreateLabelFont(const splash::Font& font, int dotsPerInch) {
    LOGFONTW description{};
    description.lfHeight = splash::FontHeight(font.centipoints, dotsPerInch);
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = font.italic;
    description.lfCharSet = ANSI_CHARSET;
    description.lfPitchAndFamily =
        VARIABLE_PITCH | (font.family == splash::Family::kSerif ? FF_ROMAN : FF_SWISS);
    const std::wstring_view face =
        font.scalableFace.empty() ? font.face : splash::FaceToDraw(font, dotsPerInch, Installed(font.face));
    std::copy_n(face.data(), std::min(face.size(), std::size(description.lfFaceName) - 1), description.lfFaceName);
    return CreateFontIndirectW(&description);
}

std::optional<splash::GifImage> DecodeArtwork(HINSTANCE instance, int id) {
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    const void* bytes = size ? LockResource(LoadResource(instance, found)) : nullptr;
    if (!bytes) return std::nullopt;
    return splash::DecodeGif(static_cast<const std::uint8_t*>(bytes), size);
}

// A bitmap of the given format whose rows, from the top, are copied from
// pixels; rows of a DIB start on 4-byte boundaries.
HBITMAP MakeBitmap(const BITMAPINFO& format, const std::vector<std::uint8_t>& pixels) {
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const std::size_t row = std::size_t(format.bmiHeader.biWidth) * format.bmiHeader.biBitCount / 8;
    const std::size_t stride = (row + 3) & ~std::size_t{3};
    for (std::size_t y = 0; y < std::size_t(-format.bmiHeader.biHeight); ++y) {
        std::memcpy(static_cast<std::uint8_t*>(bits) + y * stride, pixels.data() + y * row, row);
    }
    return bitmap;
}

// The artwork is drawn at two sizes, Image2's at 96 dpi and at 192 dpi. A box
// of either size shows that one as it is, in its own 256 colours; any other
// scale gets the large one resampled to the box, which keeps what a smaller
// box can show, where the small one enlarged would only blur.
HBITMAP LoadArtwork(HINSTANCE instance, SIZE box) {
    const bool small = box.cx == splash::ToPixels(splash::kImage2.width, 96) &&
                       box.cy == splash::ToPixels(splash::kImage2.height, 96);
    const std::optional<splash::GifImage> gif =
        DecodeArtwork(instance, small ? IDR_SPLASH_ARTWORK : IDR_SPLASH_ARTWORK_LARGE);
    if (!gif) return nullptr;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } format{};
    if (gif->width == box.cx && gif->height == box.cy) {
        format.header = {sizeof format.header, gif->width, -gif->height, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
        for (std::size_t i = 0; i < 256; ++i) {
            format.colours[i] = {gif->palette[3 * i + 2], gif->palette[3 * i + 1], gif->palette[3 * i], 0};
        }
        return MakeBitmap(reinterpret_cast<const BITMAPINFO&>(format), gif->pixels);
    }
    const splash::TrueColourImage resampled = splash::Resample(*gif, box.cx, box.cy);
    format.header = {sizeof format.header, box.cx, -box.cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    return MakeBitmap(reinterpret_cast<const BITMAPINFO&>(format), resampled.pixels);
}

// Labels and the picture stand inside the frame, so the frame is asked for
// their colours; the form decides them. The frame also paints its own inside,
// which a group box would otherwise leave to whatever lies beneath.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) return SendMessageW(GetParent(frame), message, wParam, lParam);
    if (message == WM_ERASEBKGND) {
        RECT inside;
        GetClientRect(frame, &inside);
        FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    const auto groupBox = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(frame, GWLP_USERDATA));
    return CallWindowProcW(groupBox, frame, message, wParam, lParam);
}

// The application icon at a size the system uses; shared, so never destroyed.
HICON LoadAppIcon(HINSTANCE instance, int width, int height) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON,
                                         GetSystemMetrics(width), GetSystemMetrics(height), LR_SHARED));
}

}  // namespace

SplashForm::SplashForm(HINSTANCE instance) noexcept : instance_(instance) {
    try {
        Create();
    } catch (...) {
        // Half a form is no form: the launch goes ahead without one.
        if (window_) DestroyWindow(window_);
    }
}

void SplashForm::Create() {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = FormProc;
    form.hInstance = instance_;
    form.hIcon = LoadAppIcon(instance_, SM_CXICON, SM_CYICON);
    form.hIconSm = LoadAppIcon(instance_, SM_CXSMICON, SM_CYSMICON);
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    // Made hidden on the primary screen, where it goes at the system's scale:
    // the scale of that screen, unless the screen changed after sign-in.
    const HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const RECT atSystemDpi = CentredOutline(systemDpi);
    CreateWindowExW(kFormExStyle, kFormClass, messages::kSplashCaption.data(), kFormStyle, atSystemDpi.left,
                    atSystemDpi.top, atSystemDpi.right - atSystemDpi.left, atSystemDpi.bottom - atSystemDpi.top,
                    nullptr, nullptr, instance_, this);
    if (!window_) return;
    // A dialog frame may show no icon in its caption, nor in the taskbar or
    // Alt+Tab, unless the window itself is given one.
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(form.hIcon));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(form.hIconSm));
    // The launch sequence's two seconds count from here. Without a timer the
    // splash would wait for ever: the launch goes ahead at once instead.
    if (!SetTimer(window_, kTimer1, splash::kTimer1IntervalMs, nullptr)) PostMessageW(window_, WM_TIMER, kTimer1, 0);

    const auto windowDpi = Later<UINT WINAPI(HWND)>("GetDpiForWindow");
    const int dotsPerInch = splash::FormDpi(windowDpi ? int(windowDpi(window_)) : 0, systemDpi);
    LayOut(dotsPerInch, CentredOutline(dotsPerInch));
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

SplashForm::~SplashForm() {
    if (window_) DestroyWindow(window_);
}

void SplashForm::LayOut(int dotsPerInch, const RECT& where) {
    // A move costs the window a round of messages and a redraw: the form made
    // where it goes stays there.
    RECT now{};
    if (!GetWindowRect(window_, &now) || !EqualRect(&now, &where))
        SetWindowPos(window_, nullptr, where.left, where.top, where.right - where.left, where.bottom - where.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    const bool first = !GetDlgItem(window_, kFrame2Id);
    const HWND frame = Place(instance_, window_, kFrame2Id, L"BUTTON", L"", BS_GROUPBOX | WS_CLIPCHILDREN,
                             splash::kFrame2, dotsPerInch);
    if (frame && first) {
        SetWindowLongPtrW(frame, GWLP_USERDATA, GetWindowLongPtrW(frame, GWLP_WNDPROC));
        SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc));
    }

    const HWND image = Place(instance_, frame, kImage2Id, L"STATIC", nullptr, SS_BITMAP, splash::kImage2, dotsPerInch);
    try {
        // The control lets go of the old picture before it is deleted.
        UniqueGdi<HBITMAP> artwork(LoadArtwork(instance_, InPixels(splash::kImage2, dotsPerInch)));
        if (image) SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(artwork.get()));
        artwork_ = std::move(artwork);
    } catch (...) {
        // Without memory for the picture the splash shows without it.
    }

    for (std::size_t i = 0; i < std::size(splash::kLabels); ++i) {
        const splash::Label& label = splash::kLabels[i];
        constexpr DWORD kAlignStyles[] = {SS_LEFT, SS_CENTER, SS_RIGHT};
        const HWND control = Place(instance_, frame, kFirstLabelId + static_cast<int>(i), L"STATIC", label.text.data(),
                                   SS_NOPREFIX | kAlignStyles[static_cast<int>(label.align)], label.box, dotsPerInch);
        // A font that cannot be had leaves the label the one it has.
        if (UniqueGdi<HFONT> font(CreateLabelFont(label.font, dotsPerInch)); font) {
            if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
            fonts_[i] = std::move(font);
        }
    }
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK SplashForm::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<SplashForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<SplashForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (form) return form->OnMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's frames; the message gets its
        // default handling.
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SplashForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;
    switch (message) {
    case WM_TIMER:
        // Its first step unloads the form, and Timer1 with it: this runs once.
        if (wParam == kTimer1) exitCode_ = RunTimer1(window);
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetDCBrushColor(dc, splash::kFormColour);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        // The frame and the picture have ids below the labels': they wrap
        // round to large numbers and get black.
        const std::size_t label = static_cast<std::size_t>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - kFirstLabelId);
        SetTextColor(dc, label < std::size(splash::kLabels) ? splash::kLabels[label].colour : splash::kBlack);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case kDpiChanged:
        // Windows suggests where the form goes, at the new scale, in the
        // rectangle it hands over.
        LayOut(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
