#pragma once
// frmSplash: the launcher's start-up form. It shows the product for two
// seconds, then its timer runs the launch sequence, which closes it.

#include <windows.h>

#include <array>
#include <memory>
#include <type_traits>

#include "exit_codes.h"
#include "splash_layout.h"

class SplashForm {
public:
    // Creates the window with its controls and Timer1, and shows it. When the
    // window cannot be had, the form is simply not loaded.
    explicit SplashForm(HINSTANCE instance) noexcept;
    ~SplashForm();
    SplashForm(const SplashForm&) = delete;
    SplashForm& operator=(const SplashForm&) = delete;

    // The launcher lives as long as its form is loaded.
    bool Loaded() const noexcept { return window_ != nullptr; }
    int ExitCode() const noexcept { return exitCode_; }

private:
    struct GdiDeleter {
        template <typename Object>
        void operator()(Object object) const { DeleteObject(object); }
    };
    template <typename Handle>
    using UniqueGdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDeleter>;

    void Create();
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Places the form, and makes or moves its controls, with their fonts and
    // picture, at a scale: once as it opens, and again when it is moved to a
    // screen of another.
    void LayOut(int dotsPerInch, const RECT& where);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    int exitCode_ = kExitClosedBeforeLaunch;
    // The bitmap Image2 shows and the labels' fonts, of the last layout; both
    // outlive the window.
    UniqueGdi<HBITMAP> artwork_;
    std::array<UniqueGdi<HFONT>, std::size(splash::kLabels)> fonts_;
};
