#pragma once
// frmSplash: the launcher's start-up form. It shows the product for two
// seconds, then its timer runs the launch sequence, which closes it.

#include <windows.h>
#include <ocidl.h>

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
        void operator()(HFONT font) const { DeleteObject(font); }
    };
    struct ComReleaser {
        void operator()(IUnknown* object) const { object->Release(); }
    };
    using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;

    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance, SIZE dotsPerInch) noexcept;

    HWND window_ = nullptr;
    int exitCode_ = kExitClosedBeforeLaunch;
    // The picture owns the bitmap that Image2 shows; the fonts are the labels'.
    // Both outlive the window.
    std::unique_ptr<IPicture, ComReleaser> artwork_;
    std::array<UniqueFont, std::size(splash::kLabels)> fonts_;
};
